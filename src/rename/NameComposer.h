#pragma once

#include "RenameSettings.h"

#include "tags/TagRecord.h"

#include <QList>
#include <QString>

namespace kaz {

// A composed name is held in at most this many characters.
inline constexpr int kMaxComposedLength = 231;
// A file name on disk holds at most this many bytes in UTF-8.
inline constexpr int kMaxFileNameBytes = 255;

// The fields of the selection groups in order, None left out ("ARALTI").
QList<NameField> selectedFields(const RenameSettings &settings);
// The selected fields whose ID3 field (trimmed) is not empty.
QList<NameField> availableFields(const RenameSettings &settings, const TagRecord &tag);
// The two-letter codes of fields: "AR", "AL", "TI".
QString fieldCodes(const QList<NameField> &fields);

// Replaces the nine characters a file name may not hold in the texts of a
// tag just read, the way the rename run reads tags; a stand-in blank at the
// end of an ID3 field is trimmed like the field's own blanks. The track and
// genre numbers stay as they are.
void replaceForbiddenCharacters(TagRecord &tag, const QString &replacements);

// The name the rename run gives a file (without folder and extension), from
// a tag read with replaceForbiddenCharacters: composition, Joliet
// shortening, at most kMaxComposedLength characters, no control character.
// fileName serves only to find a number when the tag has none.
QString compose_name(const TagRecord &tag, const QString &fileName, const RenameSettings &settings);

// The composed name for the status bar: the same composition without
// character replacement, Joliet shortening, user-defined name and limit.
QString statusBarName(const TagRecord &tag, const QString &fileName, const RenameSettings &settings);

// The name of a user-defined run for the counter: "01 - Mix" with keep
// numbers off, the bare "Mix" with it on.
QString userDefinedName(const RenameSettings &settings, int counter);
// The counter with at least two digits.
QString counterText(int counter);
// Whether the user-defined text leaves nothing of a name.
bool userTextIsEmpty(const RenameSettings &settings);

// What the rename run does with one file: its new name, or a mark when the
// tag lacks a selected field or the name came out empty.
struct NamePlan {
    QString name; // without folder and extension; empty when marked
    bool complete = false;
};
NamePlan planName(const TagRecord &tag, QStringView fileName, const RenameSettings &settings);

// The marked name of a file: "! " + its name without a leading "! " and
// without its extension; the caller adds suffix and extension.
QString markedBase(const QString &fileName);
// A file name's extension with its dot, when it has a short one (".mp3").
QString extensionOf(const QString &fileName);

// base cut at a character boundary so that base + tail fits the file-name
// byte limit in UTF-8.
QString fitFileName(const QString &base, QStringView tail);

} // namespace kaz
