// Collections tagged with ID3v2: the Properties item that lets an ID3v2 tag
// stand in for a missing ID3v1 tag, and the file pop-up item that writes
// ID3v1 tags from the ID3v2 tags of the selection.
#include "MainWindow.h"

#include "browser/ui/FolderBrowser.h"
#include "tags/Id3v2Conversion.h"
#include "widgets/Captions.h"
#include "widgets/ReportDialog.h"

#include <QAction>
#include <QDir>
#include <QMenu>

namespace kaz {
namespace {

constexpr Caption kId3v2Captions[] = {
    {"UseID3v2tag1", "Use ID3v2 tag where no ID3v1 tag", "ID3v2-Tag nutzen, wo kein ID3v1-Tag ist"},
    {"ID3v1fromID3v21", "Write ID3v1 tag from ID3v2 tag", "ID3v1-Tag aus ID3v2-Tag schreiben"},
};

QString text(Language l, const char *english, const char *german)
{
    return QString::fromUtf8(tr2(l, english, german));
}

} // namespace

void MainWindow::addId3v2MenuItems()
{
    auto *useId3v2 = new QAction(this);
    useId3v2->setObjectName(QStringLiteral("UseID3v2tag1"));
    useId3v2->setCheckable(true);
    m_propertiesMenu->insertAction(findChild<QAction *>(QStringLiteral("Exit1")), useId3v2);
    // Only the user's click is stored; loading the settings checks it too.
    connect(useId3v2, &QAction::triggered, this, [this](bool on) {
        setUseId3v2(on);
        Q_EMIT tagSourceChanged(on);
    });

    auto *convert = new QAction(this);
    convert->setObjectName(QStringLiteral("ID3v1fromID3v21"));
    m_filePopup->insertAction(findChild<QAction *>(QStringLiteral("invertselection1")), convert);
    m_runFrame.addLocked(convert);
    connect(convert, &QAction::triggered, this, &MainWindow::convertSelectionFromId3v2);
}

void MainWindow::applyId3v2Captions()
{
    applyCaptions(*this, m_language, kId3v2Captions);
}

void MainWindow::setUseId3v2(bool on)
{
    m_useId3v2 = on;
    if (auto *item = findChild<QAction *>(QStringLiteral("UseID3v2tag1")); item && item->isChecked() != on)
        item->setChecked(on);
    m_browser->setUseId3v2(on);
    if (m_activated)
        resetStatus();
}

void MainWindow::convertSelectionFromId3v2()
{
    const QStringList names = selectedNames();
    if (names.isEmpty() || m_runFrame.running() || browserState().mask != MaskState::Mp3)
        return;
    ConversionCounts counts;
    QStringList lines;
    {
        RunGuard guard(m_runFrame);
        TagContext context;
        context.prompter = m_prompter;
        context.language = m_language;
        const QDir folder(currentFolder());
        QList<ConversionResult> results(names.size());
        ConversionBatch batch(false, context);
        for (qsizetype i = 0; i < names.size(); ++i) {
            processEvents();
            batch.add(folder.filePath(names.at(i)), [&results, i](const ConversionResult &r) { results[i] = r; });
        }
        batch.commit();
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString &name = names.at(i);
            const ConversionResult &result = results.at(i);
            counts.add(result.outcome);
            switch (result.outcome) {
            case ConversionOutcome::Written:
                lines << text(m_language, "written: ", "geschrieben: ") + name;
                break;
            case ConversionOutcome::KeptId3v1:
                lines << text(m_language, "has an ID3v1 tag, left: ", "hat einen ID3v1-Tag, belassen: ") + name;
                break;
            case ConversionOutcome::NoId3v2:
                lines << text(m_language, "no ID3v2 tag: ", "kein ID3v2-Tag: ") + name;
                break;
            case ConversionOutcome::Failed:
                lines << text(m_language, "failed: ", "fehlgeschlagen: ") + name + QStringLiteral(": ")
                             + result.status.errorText();
                break;
            }
        }
    }
    const QString summary = text(m_language,
                                 "ID3v1 tags written from ID3v2 tags: %1\nFiles that kept their ID3v1 tag: %2\n"
                                 "Files without ID3v2 tag: %3\nFailed: %4",
                                 "ID3v1-Tags aus ID3v2-Tags geschrieben: %1\nDateien, die ihren ID3v1-Tag behielten: %2\n"
                                 "Dateien ohne ID3v2-Tag: %3\nFehlgeschlagen: %4")
                                .arg(counts.written)
                                .arg(counts.kept)
                                .arg(counts.withoutId3v2)
                                .arg(counts.failed);
    ReportDialog report(counts.failed ? MessageKind::Warning : MessageKind::Information, summary, lines, this);
    report.setObjectName(QStringLiteral("Id3v2Report"));
    report.exec();
}

} // namespace kaz
