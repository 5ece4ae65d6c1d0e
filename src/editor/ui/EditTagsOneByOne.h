#pragma once

#include "editor/EditorSequence.h"
#include "editor/TagEditorSession.h"

#include "platform/Language.h"
#include "tags/Id3v2Write.h"

#include <QStringList>

#include <functional>

class QWidget;

namespace kaz {

class MediaPlayer;
class PageHost;
class Prompter;

struct TagEditorOptions {
    Language language = kDefaultLanguage;
    // OK reads "&Save && next" while more files follow (the preview's editor).
    bool saveAndNext = false;
    Prompter *prompter = nullptr; // rename and write failures
    MediaPlayer *player = nullptr; // none: the null player
    bool useId3v2 = false;         // the tag-source setting
    id3v2::WriteMode id3v2Write = id3v2::WriteMode::Off; // the ID3v2-write setting
    std::function<void()> help;
    // Called with each dialog before it is shown (tests drive it from here).
    std::function<void(class TagEditorDialog &)> beforeShow;
};

// The editor's clipboard, carry-over and properties, kept while the program runs.
TagEditorSession &programTagEditorSession();

// The options of every tag editor the main window opens, wherever it is
// opened from: the window's language, prompter, player and tag source, and
// its help.
TagEditorOptions programTagEditorOptions(PageHost &host);

// "Edit ID3Tag/filename": shows the tag editor for each file in turn until
// the user chooses Exit. The caller re-reads its file list afterwards.
EditorSequenceResult editTagsOneByOne(const QStringList &paths, TagEditorSession &session,
                                      const TagEditorOptions &options, QWidget *parent = nullptr);

} // namespace kaz
