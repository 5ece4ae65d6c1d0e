#include "TagClipboard.h"

#include "tags/Genres.h"

namespace kaz {

void TagClipboard::store(const EditorFields &fields)
{
    m_values = fields;
    m_genre = genreNumber(fields.genre);
    if (m_genre < 0)
        m_genre = 255;
    m_filled = true;
}

bool TagClipboard::insertInto(EditorFields &fields) const
{
    if (!m_filled)
        return false;
    if (m_chosen[Title])
        fields.title = m_values.title;
    if (m_chosen[Artist])
        fields.artist = m_values.artist;
    if (m_chosen[Album])
        fields.album = m_values.album;
    if (m_chosen[Comment])
        fields.comment = m_values.comment;
    if (m_chosen[Year])
        fields.year = m_values.year;
    if (m_chosen[Genre])
        fields.genre = genreName(m_genre);
    return true;
}

} // namespace kaz
