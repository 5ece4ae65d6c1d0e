#pragma once

#include "tools/SendRun.h"
#include "tools/SendToList.h"

#include "platform/Language.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kaz {

class FolderPicker;
class Prompter;
class RadioGroup;

// "send to any folder...": copies, moves or deletes the files listed in
// "sendto.kaz", with a folder browser for the destination.
class SendToDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SendToDialog(Prompter &prompter, QWidget *parent = nullptr);

    void applyLanguage(Language language);
    // Reads "sendto.kaz" again; the dialog does this whenever it is shown.
    void reload();

    // Whether the main window must re-read its lists; and whether its file
    // list too (not after a copy).
    bool refreshNeeded() const { return m_refresh; }
    SendOperation lastOperation() const { return m_lastOperation; }
    const SendOutcome &lastOutcome() const { return m_outcome; }

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void operationChosen(int index);
    void browse();
    void showBrowser(bool shown);
    void reportOutcome();

    Prompter &m_prompter;
    Language m_language = kDefaultLanguage;
    SendToList m_list;
    bool m_refresh = false;
    SendOperation m_lastOperation = SendOperation::Copy;
    SendOutcome m_outcome;
    QListWidget *m_names;
    QLabel *m_destinationLabel;
    QLineEdit *m_destination;
    RadioGroup *m_operation;
    FolderPicker *m_browser;
    QPushButton *m_browse;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QProgressBar *m_progress;
    QLabel *m_summary;
};

} // namespace kaz
