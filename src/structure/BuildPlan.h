#pragma once

#include "StructureRow.h"

#include "config/KazSettings.h"
#include "platform/RunHooks.h"
#include "tags/TagIO.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kaz {

// One file of the builder's input.
struct StructureItem {
    QString path;         // where it stands in the base folder when the build starts
    QString restoredName; // picture files: the name to give back; empty for MP3 files
    qint64 pictureBlock = 0; // picture files: bytes to cut off
    // An MP3 file that a reorganisation's break gave a numbered name: the
    // name it had, taken again in its new folder where it is free there.
    QString formerName;
    quint32 mode = 0; // the file's mode as the scan found it; 0 when not known
    StructureRow row;
};

// What the builder needs besides the structure settings.
struct BuildContext {
    StructureSettings settings;
    QString replacements = QStringLiteral("___   --_"); // the nine stand-ins, as line 27
    TagContext tags;
};

// The item for a file whose tag was read; nullopt for a file the builder
// leaves where it is (untagged, or without artist and album). pictureBlock
// is the size of its picture block, 0 for an MP3 file.
std::optional<StructureItem> structureItem(const QString &path, TagRecord tag, qint64 pictureBlock,
                                           const BuildContext &context);

struct BuildInput {
    std::vector<StructureItem> items;
    qint64 files = 0;          // MP3 files looked at
    QStringList lineBreakPaths; // left alone: their path cannot be logged
};

// The MP3 files directly in the base folder, in name order, read into items.
BuildInput scanBaseFolder(const QString &base, const BuildContext &context, const RunHooks &hooks = {});

// One planned move of the builder.
struct StructureMove {
    QString from;      // in the base folder
    QString to;        // in its new folder under the same name, or its former one (== from for a file that stays)
    QString restoreTo; // picture files: the path with the former name; empty otherwise
    qint64 pictureBlock = 0;
    StructureClass cls = StructureClass::Stay;
    int cd = -1;
    quint32 mode = 0; // as StructureItem::mode
};

struct BuildPlan {
    std::vector<StructureMove> moves; // in table order; files that stay appear only to get a picture restored
    StructurePlan structure;
    bool tooBig() const { return structure.tooBig; }
    QStringList unsafePictureNames; // picture files whose former name cannot be used: they keep their name
};

// From the items to the moves: classes, CDs and folders, no disk access.
BuildPlan planBuild(const QString &base, const std::vector<StructureItem> &items, const StructureSettings &settings);

} // namespace kaz
