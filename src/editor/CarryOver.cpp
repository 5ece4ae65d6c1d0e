#include "CarryOver.h"

namespace kaz {

void CarryOver::remember(const EditorFields &fields, bool sampler)
{
    m_values = fields;
    if (sampler)
        m_values.artist.clear();
    m_active = true;
}

void CarryOver::applyTo(EditorFields &fields) const
{
    if (!m_active)
        return;
    fields.artist = m_values.artist;
    fields.album = m_values.album;
    fields.comment = m_values.comment;
    fields.year = m_values.year;
    fields.genre = m_values.genre;
    fields.track = 0;
}

} // namespace kaz
