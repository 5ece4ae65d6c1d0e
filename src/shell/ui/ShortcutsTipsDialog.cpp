#include "ShortcutsTipsDialog.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kaz {
namespace {

struct Shortcut {
    const char *keys;
    const char *english;
    const char *german;
};

constexpr Shortcut kShortcuts[] = {
    {"F1", "help", "Hilfe"},
    {"F5", "refresh the folder and the file list", "Verzeichnis- und Dateiliste neu einlesen"},
    {"Ctrl+A", "select all files", "alle Dateien auswählen"},
    {"Ctrl+I", "invert the selection", "Auswahl invertieren"},
    {"Ctrl+Ins", "KAZ size: increase", "KAZ Größe: vergrößern"},
    {"Ctrl+Del", "KAZ size: standard", "KAZ Größe: Vorgabe"},
    {"Ctrl+U / Ctrl+B", "userdefined directories", "benutzerdefinierte Verzeichnisse"},
    {"Ctrl+E", "external programs", "externe Programme"},
    {"Ctrl+D / Ctrl+V", "directory structure settings", "Einstellungen der Verzeichnisstruktur"},
    {"Ctrl+W", "WinAmp path", "WinAmp-Pfad"},
    {"Alt+1 .. Alt+6", "open a userdefined directory", "benutzerdefiniertes Verzeichnis öffnen"},
    {"Ctrl+1", "open the startup directory", "Startverzeichnis öffnen"},
    {"Alt+I", "edit ID3Tag/filename of the selected files", "ID3Tag/Dateinamen der ausgewählten Dateien ändern"},
    {"Alt+G / Alt+S", "Go! / Start!", "Go! / Start!"},
    {"Alt+P / Alt+V", "preview", "Vorschau"},
    {"Alt+U / Alt+R", "undo the last run", "letzten Lauf rückgängig machen"},
    {"Alt+X / Alt+N", "exit", "Ende"},
    {"Alt+Up", "WinAmp: stop", "WinAmp: Stopp"},
    {"Alt+Down", "WinAmp: play/pause", "WinAmp: Wiedergabe/Pause"},
    {"Alt+Left", "WinAmp: seek backward", "WinAmp: zurückspulen"},
    {"Alt+Right", "WinAmp: seek forward", "WinAmp: vorspulen"},
};

} // namespace

ShortcutsTipsDialog::ShortcutsTipsDialog(QWidget *parent)
    : QDialog(parent)
    , m_tabs(new QTabWidget(this))
    , m_shortcuts(new QListWidget(this))
    , m_tips(new QTextBrowser(this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("TShortcutsTips"));
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_shortcuts->setObjectName(QStringLiteral("ShortcutList"));
    m_shortcuts->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_tips->setObjectName(QStringLiteral("TipsText"));
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_tabs->addTab(m_shortcuts, QString());
    m_tabs->addTab(m_tips, QString());
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_ok);
    layout->addLayout(row);
    resize(560, 420);
}

void ShortcutsTipsDialog::applyLanguage(Language language)
{
    setWindowTitle(QString::fromUtf8(tr2(language, "Shortcuts & tips", "Kurzbefehle & Tips")));
    m_tabs->setTabText(0, QString::fromUtf8(tr2(language, "Shortcuts", "Kurzbefehle")));
    m_tabs->setTabText(1, QString::fromUtf8(tr2(language, "Tips", "Tips")));
    m_shortcuts->clear();
    for (const Shortcut &s : kShortcuts)
        m_shortcuts->addItem(QStringLiteral("%1  %2").arg(QLatin1String(s.keys), -16)
                                 .arg(QString::fromUtf8(tr2(language, s.english, s.german))));
    m_tips->setHtml(QString::fromUtf8(tr2(
        language,
        "<ul>"
        "<li>Right-click the file list for its pop-up menu: select, invert, change the mask, rename "
        "the selection.</li>"
        "<li>Right-click the folder list to rename, create or delete a directory or to open it in the "
        "file manager.</li>"
        "<li>Right-click the mask or the filter button to choose a mask or a filter directly.</li>"
        "<li>Double-click the status line to show the new name of the selected file again; hold the left "
        "mouse button on it and move the mouse to scroll a long name.</li>"
        "<li>Use the preview before renaming many files: files can be excluded there.</li>"
        "<li>Undo reverses the last run, also after the program was restarted.</li>"
        "</ul>",
        "<ul>"
        "<li>Rechtsklick in die Dateiliste öffnet ihr Menü: auswählen, invertieren, Dateifilter ändern, "
        "Auswahl umbenennen.</li>"
        "<li>Rechtsklick in die Verzeichnisliste: Verzeichnis umbenennen, anlegen, löschen oder im "
        "Dateimanager öffnen.</li>"
        "<li>Rechtsklick auf den Filter-Knopf wählt Dateifilter und Tag-Filter direkt.</li>"
        "<li>Doppelklick in die Statuszeile zeigt den neuen Namen der ausgewählten Datei wieder an; mit "
        "gedrückter linker Maustaste und Mausbewegung wird ein langer Name gerollt.</li>"
        "<li>Vor dem Umbenennen vieler Dateien die Vorschau nutzen: dort können Dateien ausgeschlossen "
        "werden.</li>"
        "<li>Rückg. macht den letzten Lauf rückgängig, auch nach einem Neustart.</li>"
        "</ul>")));
}

} // namespace kaz
