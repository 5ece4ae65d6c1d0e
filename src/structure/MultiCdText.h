#pragma once

#include <QString>
#include <QStringView>

namespace kaz {

// Whether text reads as an integer the way the Pascal runtime reads one:
// leading blanks, one sign, decimal digits or a hexadecimal number written
// with a leading "$", "x" or "0x"; nothing after it; within 32 bits.
bool readsAsInteger(QStringView text);

// The multi-CD text at the end of a comment ("Live CD2" gives "CD 2",
// "cd10" gives "CD10"); empty when the comment ends in none or when
// enabled is false.
QString multiCdText(const QString &comment, bool enabled = true);

// The comment as a picture block carries it: normalised as above when it
// ends in a multi-CD text (whatever the setting), an empty one as one blank,
// then cut to its last 10 characters.
QString pictureComment(const QString &comment);

} // namespace kaz
