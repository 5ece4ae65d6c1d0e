#pragma once

#include "EditTagsOneByOne.h"

#include "tags/TagIO.h"

namespace kaz {

// The TagEditor that get_id3tag consults before it writes, with the edit
// flag (the file-name grid's "old ID3Tag" / "new ID3Tag"): it shows the
// values handed in, may rename the file, and hands the values back on Save;
// get_id3tag writes them. "(Strip)" with Save removes the tag at once and counts as no Save.
class BeforeWriteTagEditor : public TagEditor
{
public:
    BeforeWriteTagEditor(TagEditorSession &session, TagEditorOptions options, QWidget *parent = nullptr);
    bool edit(QString &fileName, TagValues &values) override;

private:
    TagEditorSession &m_session;
    TagEditorOptions m_options;
    QWidget *m_parent;
};

} // namespace kaz
