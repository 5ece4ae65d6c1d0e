#pragma once

#include "StructurePropertiesDialog.h"

#include "platform/Language.h"
#include "platform/RunHooks.h"
#include "rename/RunState.h"
#include "structure/StructureRun.h"

#include <QObject>

#include <functional>

namespace kaz {

class MediaPlayer;
class Prompter;
class RunFrame;

// What the structure commands need from the main window.
struct StructureCommandContext {
    QWidget *window = nullptr;
    Prompter *prompter = nullptr;
    RunFrame *frame = nullptr; // the run frame; none in tests
    RunState *state = nullptr;
    MediaPlayer *player = nullptr; // stopped before files move; none when null
    Language language = kDefaultLanguage;
    RunHooks hooks;
    QString iniPath; // KAZ.INI; empty: the usual one
    std::function<void(int context)> help; // the settings dialog's Help and F1
};

// The folder pop-up's "  create", "  reorganize" and "  break" and the main
// menu's "Directory structure": the questions, the settings dialog where its
// show settings ask for it, and the runs.
class StructureCommands : public QObject
{
    Q_OBJECT
public:
    explicit StructureCommands(StructureCommandContext context, QObject *parent = nullptr);

    void setLanguage(Language language) { m_context.language = language; }

    struct PopupState {
        bool create = false;
        bool reorganize = false;
        bool breakUp = false;
    };
    // The three items are off at the root of a volume; "  create" also when
    // the file list is empty.
    static PopupState popupState(const QString &folder, bool fileListEmpty);

    // Opens the settings dialog modally; true when it closed with Save.
    bool showSettings(StructurePropertiesDialog::Source source);

    // Each returns nullopt when a question or the dialog ended it before anything moved.
    std::optional<StructureOutcome> create(const QString &folder);
    std::optional<StructureOutcome> reorganize(const QString &folder);
    std::optional<StructureOutcome> breakUp(const QString &folder);

private:
    KazSettings loadSettings() const;
    StructureRequest request(const QString &folder, const KazSettings &settings) const;
    StructureEnvironment environment() const;
    bool settingsAllowRun(const KazSettings &settings);

    StructureCommandContext m_context;
};

} // namespace kaz
