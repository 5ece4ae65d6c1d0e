#pragma once

#include <QObject>

class QToolButton;

namespace kaz {

class FolderBrowser;
class MainWindow;
struct ListState;

// "Edit ID3Tag/filename": the tag editor over the selected files, from the
// file pop-up (Alt+I), the "ID3Tag" button and a double click or Enter in
// the file list.
class TagEditorCommand : public QObject
{
    Q_OBJECT
public:
    TagEditorCommand(MainWindow &window, FolderBrowser &browser);

    // The button and the key work on a selection of *.mp3 files outside a run.
    void selectionChanged(const ListState &state);
    void openTagEditor();

private:
    MainWindow &m_window;
    QToolButton *m_button = nullptr;
};

} // namespace kaz
