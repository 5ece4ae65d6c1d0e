#include "BeforeWriteTagEditor.h"

#include "TagEditorDialog.h"

#include "platform/MediaPlayer.h"

namespace kaz {

BeforeWriteTagEditor::BeforeWriteTagEditor(TagEditorSession &session, TagEditorOptions options, QWidget *parent)
    : m_session(session)
    , m_options(std::move(options))
    , m_parent(parent)
{
}

bool BeforeWriteTagEditor::edit(QString &fileName, TagValues &values)
{
    TagContext context;
    context.prompter = m_options.prompter;
    context.language = m_options.language;
    context.useId3v2 = m_options.useId3v2;
    context.id3v2Write = m_options.id3v2Write;
    TagEditorDialog dialog(m_session, context, m_options.player ? *m_options.player : nullMediaPlayer(), m_parent);
    dialog.setHelp(m_options.help);
    dialog.setSequence(1, 1);
    dialog.openFile(fileName);
    dialog.model().setWritesTag(false);
    dialog.showValues(values);
    if (m_options.beforeShow)
        m_options.beforeShow(dialog);
    dialog.exec();
    fileName = dialog.path();
    const EditorClose close = dialog.closeReason();
    if (close != EditorClose::Save && close != EditorClose::SaveAndCopy)
        return false;
    values = valuesForSave(dialog.model().fields());
    return true;
}

} // namespace kaz
