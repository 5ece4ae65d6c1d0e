#pragma once

#include "platform/Language.h"

#include <QDialog>

namespace kaz {

class FolderPicker;

// "  Select directory": a drive box and a folder list, OK and Cancel.
class FolderSelectDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FolderSelectDialog(Language language, QWidget *parent = nullptr);

    void setFolder(const QString &folder);
    QString folder() const;
    FolderPicker *browser() const { return m_browser; }

private:
    FolderPicker *m_browser;
};

} // namespace kaz
