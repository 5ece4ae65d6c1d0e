#include "UserEntries.h"

#include "config/ConfigFile.h"
#include "platform/Messages.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QProcess>

namespace kaz {
namespace {

EntryOutcome removeAndAsk(const QString &value, const QString &iniPath, Prompter *prompter, Msg question,
                          Language language)
{
    // Removed before the question, so that a cancelled question leaves no
    // dead entry behind.
    QString problem;
    if (!removeUserEntry(iniPath, value, &problem) && !problem.isEmpty() && prompter)
        prompter->inform(MessageKind::Error, message(Msg::SettingsNotWritten, language) + problem);
    if (prompter && prompter->ask(MessageKind::Warning, ButtonSet::YesCancel, message(question, language)) == Button::Yes)
        return EntryOutcome::RemovedChooseNew;
    return EntryOutcome::Removed;
}

} // namespace

EntryOutcome openUserFolder(const QString &folder, const QString &iniPath, Prompter *prompter, Language language)
{
    if (folder.size() <= 2 && folder != QLatin1String("/"))
        return EntryOutcome::Ignored;
    if (QFileInfo(folder).isDir())
        return EntryOutcome::Open;
    return removeAndAsk(folder, iniPath, prompter, Msg::UserFolderMissing, language);
}

EntryOutcome startExternalProgram(const QString &program, const QString &iniPath, Prompter *prompter,
                                  Language language)
{
    if (program.size() <= 2)
        return EntryOutcome::Ignored;
    const QFileInfo info(program);
    if (!info.isFile())
        return removeAndAsk(program, iniPath, prompter, Msg::ExternalProgramMissing, language);
    // Its own folder is its working folder; the program's own current
    // folder stays as it is.
    if (!QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath()))
        return EntryOutcome::StartFailed;
    return EntryOutcome::Started;
}

QString programNotStartedText(const QString &program, Language language)
{
    return QString::fromUtf8(tr2(language, "The program could not be started:\n\r\n\r",
                                 "Das Programm konnte nicht gestartet werden:\n\r\n\r"))
           + program;
}

} // namespace kaz
