#pragma once

#include "EditorFields.h"

namespace kaz {

// The editor's own clipboard: one set of tag values kept for the whole run
// of the program, and which of them an insert writes back.
class TagClipboard
{
public:
    enum Field { Title, Artist, Album, Comment, Year, Genre, FieldCount };

    bool isFilled() const { return m_filled; }
    // Keeps artist, album, title, comment, year and the genre number.
    void store(const EditorFields &fields);
    // Writes the chosen fields into fields; false when nothing was stored.
    bool insertInto(EditorFields &fields) const;

    bool isChosen(Field field) const { return m_chosen[field]; }
    void setChosen(Field field, bool chosen) { m_chosen[field] = chosen; }
    void toggle(Field field) { m_chosen[field] = !m_chosen[field]; }

private:
    bool m_filled = false;
    EditorFields m_values;
    int m_genre = 255;
    // The title is left out by default: it is the one value that differs
    // from file to file.
    bool m_chosen[FieldCount] = {false, true, true, true, true, true};
};

} // namespace kaz
