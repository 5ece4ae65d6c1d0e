#pragma once

#include "StructureRow.h"

#include "config/KazSettings.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace kaz {

// A folder name taken from a tag, made safe: control characters and "/"
// become "_", leading dots become "_" (no ".", "..", nor a hidden folder),
// and the name is cut to the file system's limit. Empty stays empty (the
// part is left out).
QString safeFolderName(const QString &name);

// "CD1_66min (573MB)": the CD number with its minutes and megabytes, each
// the used bytes divided and rounded up by one.
QString cdFolderName(int cd, qint64 usedBytes);

// The folders below the base folder where a row goes, outermost first;
// empty for a row that stays.
QStringList targetFolders(const StructureRow &row, const StructurePlacement &placement, const StructurePlan &plan,
                          const StructureSettings &settings);

// Gives every folder the spelling it was first written with, letter case
// ignored, as a file system that ignores case would: "Abba" and "ABBA" end
// in one folder.
class FolderSpelling
{
public:
    // The relative path of the folders, with a trailing "/" ("" for none).
    QString spell(const QStringList &folders);

private:
    QHash<QString, QString> m_first; // upper-cased path -> first spelling
};

} // namespace kaz
