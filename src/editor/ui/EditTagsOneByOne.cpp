#include "EditTagsOneByOne.h"

#include "TagEditorDialog.h"

#include "platform/HelpFiles.h"
#include "platform/MediaPlayer.h"
#include "widgets/PageHost.h"

namespace kaz {

TagEditorSession &programTagEditorSession()
{
    static TagEditorSession session;
    return session;
}

TagEditorOptions programTagEditorOptions(PageHost &host)
{
    TagEditorOptions options;
    options.language = host.language();
    options.prompter = &host.prompter();
    options.player = &host.mediaPlayer();
    options.useId3v2 = host.useId3v2();
    options.id3v2Write = id3v2::writeModeFromName(host.id3v2Write()).value_or(id3v2::WriteMode::Update);
    options.help = [&host] { host.showHelp(helpcontext::TagEditor); };
    return options;
}

EditorSequenceResult editTagsOneByOne(const QStringList &paths, TagEditorSession &session,
                                      const TagEditorOptions &options, QWidget *parent)
{
    TagContext context;
    context.prompter = options.prompter;
    context.language = options.language;
    context.useId3v2 = options.useId3v2;
    context.id3v2Write = options.id3v2Write;
    // One dialog for the whole sequence, so that it keeps its place on the screen.
    TagEditorDialog dialog(session, context, options.player ? *options.player : nullMediaPlayer(), parent);
    dialog.setHelp(options.help);
    const int count = int(paths.size());
    return runEditorSequence(paths, [&](qsizetype index, QString &path) {
        dialog.setSequence(int(index) + 1, count);
        dialog.setSaveAndNext(options.saveAndNext && count > 1);
        dialog.openFile(path);
        if (options.beforeShow)
            options.beforeShow(dialog);
        dialog.exec();
        path = dialog.path();
        return dialog.closeReason();
    });
}

} // namespace kaz
