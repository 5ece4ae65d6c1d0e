#include "SendToDialog.h"

#include "FolderPicker.h"

#include "tools/SendTexts.h"
#include "widgets/RadioGroup.h"

#include "platform/Prompter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kaz {
namespace {

// The destination of the last run of this session: the next one often
// goes to the same place.
QString g_lastDestination;

} // namespace

SendToDialog::SendToDialog(Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_names(new QListWidget(this))
    , m_destinationLabel(new QLabel(this))
    , m_destination(new QLineEdit(this))
    , m_operation(new RadioGroup(QStringLiteral("RadioGroup1"), this))
    , m_browser(new FolderPicker(this))
    , m_browse(new QPushButton(this))
    , m_ok(new QPushButton(QStringLiteral("&OK"), this))
    , m_cancel(new QPushButton(this))
    , m_progress(new QProgressBar(this))
    , m_summary(new QLabel(this))
{
    setObjectName(QStringLiteral("Tsendto"));
    m_names->setObjectName(QStringLiteral("ListBox1"));
    m_destinationLabel->setObjectName(QStringLiteral("Label1"));
    m_destination->setObjectName(QStringLiteral("Edit1"));
    m_browse->setObjectName(QStringLiteral("BitBtn3"));
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_cancel->setObjectName(QStringLiteral("BitBtn2"));
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_summary->setObjectName(QStringLiteral("Label2"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(10);
    m_ok->setDefault(true);
    m_destinationLabel->setBuddy(m_destination);
    m_names->setSelectionMode(QAbstractItemView::NoSelection);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_operation);
    buttons->addStretch(1);
    buttons->addWidget(m_browse);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *left = new QVBoxLayout;
    left->addWidget(m_names, 1);
    left->addWidget(m_browser, 1);
    left->addWidget(m_summary);
    left->addWidget(m_destinationLabel);
    left->addWidget(m_destination);
    left->addWidget(m_progress);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    m_browser->hide();

    connect(m_operation, &RadioGroup::clicked, this, &SendToDialog::operationChosen);
    connect(m_browse, &QPushButton::clicked, this, &SendToDialog::browse);
    connect(m_ok, &QPushButton::clicked, this, &SendToDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        // Cancel closes the browser first, then the dialog.
        if (m_browser->isVisible())
            showBrowser(false);
        else
            reject();
    });
    connect(m_browser, &FolderPicker::folderOpened, this, [this](const QString &folder) {
        if (m_browser->isVisible())
            m_destination->setText(folder);
    });
    resize(460, 320);
    applyLanguage(kDefaultLanguage);
}

void SendToDialog::applyLanguage(Language language)
{
    m_language = language;
    const int operation = qMax(0, m_operation->itemIndex());
    setWindowTitle(QString::fromUtf8(tr2(language, "  send to any folder...", "  sende an beliebiges Verzeichnis...")));
    m_operation->setTitle(QString::fromUtf8(tr2(language, "Operation", "Arbeitsweise")));
    m_operation->setItems({QString::fromUtf8(tr2(language, "c&opy", "k&opieren")),
                           QString::fromUtf8(tr2(language, "&move", "&verschieben")),
                           QString::fromUtf8(tr2(language, "&delete", "&löschen"))});
    m_operation->setItemIndex(operation);
    m_destinationLabel->setText(QString::fromUtf8(tr2(language, "destination:", "Ziel:")));
    m_browse->setText(QString::fromUtf8(tr2(language, "&Browse", "&Durchsuchen")));
    m_cancel->setText(QString::fromUtf8(tr2(language, "&Cancel", "Abbruch")));
    reload();
}

void SendToDialog::showEvent(QShowEvent *event)
{
    reload();
    QDialog::showEvent(event);
}

void SendToDialog::reload()
{
    m_list = SendToList::read();
    m_names->clear();
    m_names->addItems(m_list.names);
    m_summary->setText(QString::fromUtf8(tr2(m_language, "%1 files, %2", "%1 Dateien, %2"))
                           .arg(m_list.count())
                           .arg(QLocale().formattedDataSize(m_list.totalBytes)));
    if (m_destination->text().isEmpty()) {
        const QString start = !g_lastDestination.isEmpty() ? g_lastDestination : m_browser->folder();
        m_destination->setText(start);
    }
}

void SendToDialog::operationChosen(int index)
{
    const bool transfer = index != 2;
    m_destination->setEnabled(transfer);
    m_destinationLabel->setEnabled(transfer);
    m_browse->setEnabled(transfer);
    if (!transfer)
        showBrowser(false);
}

void SendToDialog::browse()
{
    const QString wanted = m_destination->text().trimmed();
    if (QFileInfo(wanted).isDir())
        m_browser->setFolder(wanted);
    showBrowser(true);
}

void SendToDialog::showBrowser(bool shown)
{
    m_browser->setVisible(shown);
    m_names->setVisible(!shown);
}

void SendToDialog::accept()
{
    m_refresh = true;
    showBrowser(false);
    const int index = m_operation->itemIndex();
    SendRequest request;
    request.operation = index == 1 ? SendOperation::Move : index == 2 ? SendOperation::Delete : SendOperation::Copy;
    request.destination = m_destination->text().trimmed();
    request.paths = m_list.paths;
    RunHooks hooks;
    hooks.processEvents = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    hooks.progress = [this](qint64 position, qint64 total) {
        m_progress->setMaximum(int(qMax<qint64>(total, 1)));
        m_progress->setValue(int(position));
    };
    m_lastOperation = request.operation;
    m_outcome = sendFiles(request, &m_prompter, m_language, hooks);
    m_progress->reset();
    if (m_outcome.refusal == SendOutcome::Refusal::BadDestination || m_outcome.refusal == SendOutcome::Refusal::Cancelled)
        return; // stays open for another destination or choice
    if (request.operation != SendOperation::Delete && !m_outcome.refused())
        g_lastDestination = m_outcome.destination;
    reportOutcome();
    m_operation->setItemIndex(0);
    operationChosen(0);
    QDialog::accept();
}

// Single failures do not stop a run; they are told once at its end.
void SendToDialog::reportOutcome()
{
    if (!m_outcome.deletedForGood.isEmpty())
        m_prompter.inform(MessageKind::Information,
                          QString::number(m_outcome.deletedForGood.size()) + sendText(SendText::DeletedForGood, m_language));
    const QStringList failures = m_outcome.failures + m_outcome.notTrashed;
    if (!failures.isEmpty())
        m_prompter.inform(MessageKind::Error, QString::number(failures.size()) + sendText(SendText::NotHandled, m_language)
                                                  + failures.mid(0, 20).join(QStringLiteral("\n\r")));
}

} // namespace kaz
