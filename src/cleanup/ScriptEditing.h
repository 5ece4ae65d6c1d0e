#pragma once

#include <QString>

namespace kaz {

// Edits of the script field's text, shared by the page, the saved rules and
// the command line.

// The script without its last entry: everything after the ":" that stands
// before the final character is cut off; a script of one entry becomes empty.
QString removeLastEntry(const QString &script);
// The last entry with its closing ":" (the whole script when it has one entry).
QString lastEntry(const QString &script);
// script with entry at its end, unless it holds entry already (as whole
// entries: a range ending at 5 does not hold an insertion at 5). A script
// that lacks its closing ":" gets one first, so that entries never run together.
QString appendEntry(const QString &script, const QString &entry);

// The entries a drop from the live view makes (start is 0-based, length the
// selection length): a deleting string rule for the selected text, a
// deleting range from the ruler, an insertion point when nothing is selected.
QString stringEntry(const QString &selectedText);
QString rangeEntry(int start, int length);
QString insertionEntry(int start);

} // namespace kaz
