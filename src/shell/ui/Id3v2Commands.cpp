#include "Id3v2Commands.h"

#include "MainWindow.h"

#include "tags/Id3v2Conversion.h"
#include "widgets/ReportDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QMenu>

namespace kaz {
namespace {

QString reportLine(const ConversionResult &result, const QString &name, Language l)
{
    switch (result.outcome) {
    case ConversionOutcome::Written:
        return text(l, "written: ", "geschrieben: ") + name;
    case ConversionOutcome::KeptId3v1:
        return text(l, "has an ID3v1 tag, left: ", "hat einen ID3v1-Tag, belassen: ") + name;
    case ConversionOutcome::NoId3v2:
        return text(l, "no ID3v2 tag: ", "kein ID3v2-Tag: ") + name;
    case ConversionOutcome::Failed:
        break;
    }
    return text(l, "failed: ", "fehlgeschlagen: ") + name + QStringLiteral(": ") + result.status.errorText();
}

} // namespace

Id3v2Commands::Id3v2Commands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    m_useId3v2 = new QAction(&window);
    m_useId3v2->setObjectName(QStringLiteral("UseID3v2tag1"));
    m_useId3v2->setCheckable(true);
    window.menu(HostMenu::Properties)->insertAction(window.findChild<QAction *>(QStringLiteral("Exit1")), m_useId3v2);
    // Only the user's click is stored; loading the settings checks it too.
    connect(m_useId3v2, &QAction::triggered, this, &Id3v2Commands::tagSourceChosen);

    // What tag writes do with ID3v2 tags, right below the tag source.
    auto *writes = new QMenu(&window);
    writes->setObjectName(QStringLiteral("WriteID3v2tag1"));
    window.menu(HostMenu::Properties)->insertMenu(window.findChild<QAction *>(QStringLiteral("Exit1")), writes);
    auto *group = new QActionGroup(writes);
    for (const char *mode : {"update", "add", "off"}) {
        QAction *item = writes->addAction(QString());
        item->setObjectName(QStringLiteral("WriteID3v2%1").arg(QLatin1String(mode)) + QLatin1Char('1'));
        item->setCheckable(true);
        item->setData(QLatin1String(mode));
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { Q_EMIT id3v2WriteChosen(item->data().toString()); });
        m_writeModes << item;
    }
    m_writeModes.first()->setChecked(true);

    auto *convert = new QAction(&window);
    convert->setObjectName(QStringLiteral("ID3v1fromID3v21"));
    window.menu(HostMenu::FileList)
        ->insertAction(window.findChild<QAction *>(QStringLiteral("invertselection1")), convert);
    window.runFrame().addLocked(convert);
    connect(convert, &QAction::triggered, this, &Id3v2Commands::convertSelection);
}

void Id3v2Commands::showTagSource(bool useId3v2)
{
    if (m_useId3v2->isChecked() != useId3v2)
        m_useId3v2->setChecked(useId3v2);
}

void Id3v2Commands::showId3v2Write(const QString &mode)
{
    for (QAction *item : std::as_const(m_writeModes))
        item->setChecked(item->data().toString() == mode);
}

void Id3v2Commands::convertSelection()
{
    const QStringList names = m_window.files().selectedNames();
    if (names.isEmpty() || m_window.runFrame().running() || m_window.maskState() != MaskState::Mp3)
        return;
    const Language language = m_window.language();
    ConversionCounts counts;
    QStringList lines;
    {
        RunGuard guard(m_window.runFrame());
        TagContext context;
        context.prompter = &m_window.prompter();
        context.language = language;
        const QDir folder(m_window.files().currentFolder());
        QList<ConversionResult> results(names.size());
        ConversionBatch batch(false, context);
        for (qsizetype i = 0; i < names.size(); ++i) {
            m_window.processEvents();
            batch.add(folder.filePath(names.at(i)), [&results, i](const ConversionResult &r) { results[i] = r; });
        }
        batch.commit();
        for (qsizetype i = 0; i < names.size(); ++i) {
            counts.add(results.at(i).outcome);
            lines << reportLine(results.at(i), names.at(i), language);
        }
    }
    const QString summary = text(language,
                                 "ID3v1 tags written from ID3v2 tags: %1\nFiles that kept their ID3v1 tag: %2\n"
                                 "Files without ID3v2 tag: %3\nFailed: %4",
                                 "ID3v1-Tags aus ID3v2-Tags geschrieben: %1\nDateien, die ihren ID3v1-Tag behielten: %2\n"
                                 "Dateien ohne ID3v2-Tag: %3\nFehlgeschlagen: %4")
                                .arg(counts.written)
                                .arg(counts.kept)
                                .arg(counts.withoutId3v2)
                                .arg(counts.failed);
    ReportDialog report(counts.failed ? MessageKind::Warning : MessageKind::Information, summary, lines, &m_window);
    report.setObjectName(QStringLiteral("Id3v2Report"));
    report.exec();
}

} // namespace kaz
