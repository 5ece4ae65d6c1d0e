#pragma once

#include "EditorFields.h"

namespace kaz {

// Values that "Save and copy" hands to the dialog of the next file. With
// the sampler box checked the artist is not carried (a sampler's artists
// differ); the track is never carried.
class CarryOver
{
public:
    bool isActive() const { return m_active; }
    void remember(const EditorFields &fields, bool sampler);
    void clear() { m_active = false; }
    // The next file's fields: its own title, the remembered rest, no track.
    void applyTo(EditorFields &fields) const;

private:
    bool m_active = false;
    EditorFields m_values;
};

} // namespace kaz
