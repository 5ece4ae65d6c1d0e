#include "CleanupPage.h"

#include "CleanupOptionsBox.h"
#include "CleanupSaveDeleteDialog.h"
#include "LiveView.h"
#include "SavedRulesMenu.h"
#include "UpDown.h"

#include "cleanup/CleanupComputation.h"
#include "cleanup/CleanupLog.h"
#include "cleanup/CleanupRun.h"
#include "cleanup/CleanupTexts.h"
#include "cleanup/ScriptEditing.h"
#include "rename/RenameTexts.h"

#include "platform/Messages.h"
#include "platform/PathParts.h"
#include "platform/Prompter.h"
#include "widgets/PageHost.h"
#include "widgets/RunFrame.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace kaz {
namespace {

const char kRuler[] = "....5....1....5....2....5....3....5....4....5....5....5....6....5....7....5....8....5....9....5...."
                      "1....5....2....5....3....5....4....5....";

// Characters, not UTF-16 units, before index of text.
int charactersBefore(const QString &text, int index)
{
    return int(text.left(index).toUcs4().size());
}

} // namespace

CleanupPage::CleanupPage(PageHost &host, QWidget *parent)
    : NotebookPage(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("page1"));
    buildControls();
    buildMenus();
    setOptions(CleanupOptions());
    if (QMenu *files = m_host.menu(HostMenu::FileList)) {
        m_fileListEntry = new QAction(this);
        m_fileListEntry->setObjectName(QStringLiteral("Cleanupfilenames1"));
        connect(m_fileListEntry, &QAction::triggered, this, [this] { m_host.showPage(1); });
        files->insertAction(files->actions().value(1), m_fileListEntry);
    }
    enableControls();
}

CleanupPage::~CleanupPage() = default;

void CleanupPage::buildControls()
{
    m_goButton = new QPushButton(this);
    m_goButton->setObjectName(QStringLiteral("BitBtn7"));
    QFont bold = m_goButton->font();
    bold.setBold(true);
    m_goButton->setFont(bold);
    m_undoButton = new QPushButton(this);
    m_undoButton->setObjectName(QStringLiteral("BitBtn8"));
    connect(m_goButton, &QPushButton::clicked, this, &CleanupPage::go);
    connect(m_undoButton, &QPushButton::clicked, this, &CleanupPage::undo);

    auto *groups = new QHBoxLayout;
    groups->setSpacing(4);
    groups->addWidget(buildScriptGroup(), 1);
    m_optionsBox = new CleanupOptionsBox(this);
    connect(m_optionsBox, &CleanupOptionsBox::changed, this, &CleanupPage::computePreview);
    groups->addWidget(m_optionsBox);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_goButton, 1);
    buttons->addWidget(m_undoButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);
}

QWidget *CleanupPage::buildScriptGroup()
{
    m_scriptGroup = new QGroupBox(this);
    m_scriptGroup->setObjectName(QStringLiteral("GroupBox3"));
    m_view = new LiveView(m_scriptGroup);
    const QFont fixed = m_view->font();

    m_rulesButton = new QToolButton(m_scriptGroup);
    m_rulesButton->setObjectName(QStringLiteral("SpeedButton8"));
    m_rulesButton->setText(QStringLiteral("\u2261"));
    m_rulesButton->setAutoRaise(true);
    m_rulesButton->setContextMenuPolicy(Qt::CustomContextMenu);
    m_script = new QLineEdit(m_scriptGroup);
    m_script->setObjectName(QStringLiteral("Edit_b"));
    QFont scriptFont = fixed;
    scriptFont.setBold(false);
    m_script->setFont(scriptFont);
    m_script->setContextMenuPolicy(Qt::CustomContextMenu);
    m_script->installEventFilter(this);
    m_deleteLastButton = new QToolButton(m_scriptGroup);
    m_deleteLastButton->setObjectName(QStringLiteral("SpeedButton7"));
    m_deleteLastButton->setText(QStringLiteral("\u2190"));
    m_deleteLastButton->setAutoRaise(true);
    m_deleteLastButton->setContextMenuPolicy(Qt::CustomContextMenu);

    m_rulerRow = new QWidget(m_scriptGroup);
    m_ruler = new QLabel(QString::fromLatin1(kRuler), m_rulerRow);
    m_ruler->setObjectName(QStringLiteral("StaticText1"));
    QFont rulerFont = fixed;
    rulerFont.setBold(QFontMetrics(scriptFont).horizontalAdvance(QLatin1Char('0')) != m_view->characterWidth());
    m_ruler->setFont(rulerFont);
    // A palette, not a style sheet: a style sheet would colour the tool tip too.
    QPalette grey = m_ruler->palette();
    grey.setColor(QPalette::WindowText, Qt::gray);
    m_ruler->setPalette(grey);
    m_ruler->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto *rulerLayout = new QHBoxLayout(m_rulerRow);
    rulerLayout->setContentsMargins(0, 0, 0, 0);
    rulerLayout->addWidget(m_ruler);
    m_firstMark = new QLabel(m_rulerRow);
    m_firstMark->setObjectName(QStringLiteral("StaticText3"));
    m_lastMark = new QLabel(m_rulerRow);
    m_lastMark->setObjectName(QStringLiteral("StaticText4"));
    for (QLabel *mark : {m_firstMark, m_lastMark}) {
        QFont markFont = mark->font();
        markFont.setBold(true);
        markFont.setPointSizeF(markFont.pointSizeF() * 0.8);
        mark->setFont(markFont);
        mark->setAutoFillBackground(true);
        mark->installEventFilter(this);
    }
    m_ruler->installEventFilter(this);

    m_view->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_upDown = new UpDown(QStringLiteral("UpDown1"), m_scriptGroup);
    m_preview = new QLabel(m_scriptGroup);
    m_preview->setObjectName(QStringLiteral("view2"));
    m_preview->setFont(scriptFont);
    m_preview->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_preview->setTextFormat(Qt::PlainText);

    auto *layout = new QGridLayout(m_scriptGroup);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setVerticalSpacing(2);
    auto *scriptRow = new QHBoxLayout;
    scriptRow->addWidget(m_rulesButton);
    scriptRow->addWidget(m_script, 1);
    scriptRow->addWidget(m_deleteLastButton);
    layout->addLayout(scriptRow, 0, 0, 1, 2);
    layout->addWidget(m_rulerRow, 1, 0);
    layout->addWidget(m_view, 2, 0);
    layout->addWidget(m_upDown, 1, 1, 2, 1);
    layout->addWidget(m_preview, 3, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(4, 1);

    connect(m_script, &QLineEdit::textChanged, this, &CleanupPage::computePreview);
    connect(m_view, &LiveView::rightPressed, this, [this](const QPoint &p) { rightPressInView(p.x()); });
    connect(m_view, &LiveView::selectionMoved, this, &CleanupPage::updateMarks);
    connect(m_view, &QLineEdit::selectionChanged, this, &CleanupPage::updateMarks);
    connect(m_deleteLastButton, &QToolButton::clicked, this, &CleanupPage::deleteLast);
    connect(m_upDown, &UpDown::up, this, [this] { stepSelection(true); });
    connect(m_upDown, &UpDown::down, this, [this] { stepSelection(false); });
    return m_scriptGroup;
}

void CleanupPage::buildMenus()
{
    m_scriptMenu = new QMenu(this);
    m_scriptMenu->setObjectName(QStringLiteral("PopupMenu4"));
    const auto item = [](QMenu *menu, const char *name) {
        QAction *action = menu->addAction(QString());
        action->setObjectName(QLatin1String(name));
        return action;
    };
    connect(item(m_scriptMenu, "deletelast1"), &QAction::triggered, this, &CleanupPage::deleteLast);
    connect(item(m_scriptMenu, "clean5"), &QAction::triggered, this, [this] { m_script->clear(); });
    m_scriptMenu->addSeparator();
    item(m_scriptMenu, "cancel1");
    const auto showScriptMenu = [this] { m_scriptMenu->popup(QCursor::pos() + QPoint(5, -5)); };
    connect(m_deleteLastButton, &QWidget::customContextMenuRequested, this, showScriptMenu);
    connect(m_script, &QWidget::customContextMenuRequested, this, showScriptMenu);

    m_rulesMenu = new SavedRulesMenu(this);
    connect(m_rulesMenu, &SavedRulesMenu::scriptChosen, this, &CleanupPage::chooseSavedScript);
    connect(m_rulesMenu, &SavedRulesMenu::saveDeleteRequested, this, &CleanupPage::openSaveDelete);
    const auto showRules = [this] {
        m_rulesMenu->rebuild();
        m_rulesMenu->popup(QCursor::pos() + QPoint(-5, 5));
    };
    connect(m_rulesButton, &QToolButton::clicked, this, showRules);
    connect(m_rulesButton, &QWidget::customContextMenuRequested, this, showRules);
}

QString CleanupPage::tabCaption(Language language) const
{
    return text(language, "Cleanup filenames", "Dateinamen bereinigen");
}

void CleanupPage::applyLanguage(Language l)
{
    m_language = l;
    m_scriptGroup->setTitle(text(l, "replace characters", "Zeichen tauschen"));
    m_script->setToolTip(text(l, "use script-field manually or with Drag&Drop with shown filename below",
                              "Script-Feld kann manuell oder per Drag&Drop mit dem unten angezeigten Dateinamen "
                              "benutzt werden"));
    m_ruler->setToolTip(text(l, "rightclick and use Drag&Drop with editfield above",
                             "Rechtsklicken und mit Drag&Drop in das Eingabefeld darüber ziehen"));
    m_view->setToolTip(text(l, "select text with left button, rightclick and use Drag&Drop with editfield above",
                            "Text mit linker Maustaste auswaehlen, Rechtsklicken und mit Drag&Drop in das "
                            "Eingabefeld darüber ziehen"));
    m_preview->setToolTip(text(l, "live view for new name", "Sofortansicht des neuen Dateinamens"));
    m_deleteLastButton->setToolTip(text(l, "delete last", "delete last"));
    m_optionsBox->applyLanguage(l);
    m_goButton->setText(text(l, "&Go!", "&Start!"));
    m_undoButton->setText(text(l, "&Undo", "&Rückg."));
    for (QAction *a : m_scriptMenu->actions()) {
        if (a->objectName() == QLatin1String("deletelast1"))
            a->setText(QStringLiteral("delete last"));
        else if (a->objectName() == QLatin1String("clean5"))
            a->setText(QStringLiteral("clean"));
        else if (a->objectName() == QLatin1String("cancel1"))
            a->setText(QStringLiteral("cancel"));
    }
    m_rulesMenu->applyLanguage(l);
    if (m_fileListEntry)
        m_fileListEntry->setText(text(l, "Cleanup filenames", "Dateinamen bereinigen"));
}

CleanupOptions CleanupPage::options() const
{
    return m_optionsBox->options();
}

void CleanupPage::setOptions(const CleanupOptions &o)
{
    m_optionsBox->setOptions(o);
    computePreview();
}

void CleanupPage::loadSettings(const KazSettings &settings, bool)
{
    setOptions(cleanupOptionsFrom(settings));
}

void CleanupPage::storeSettings(KazSettings &settings) const
{
    storeCleanupOptions(options(), settings);
}

void CleanupPage::computePreview()
{
    if (m_computing || m_view->text().isEmpty())
        return;
    m_computing = true;
    CleanupResult result = computeCleanName(m_view->text(), m_script->text(), options());
    while (result.empty && !m_script->text().isEmpty()) {
        m_host.prompter().inform(MessageKind::Error, message(Msg::WholeNameRemoved, m_language));
        m_script->setText(removeLastEntry(m_script->text()));
        result = computeCleanName(m_view->text(), m_script->text(), options());
    }
    m_preview->setText(result.name);
    m_computing = false;
}

void CleanupPage::updateMarks()
{
    const QString name = m_view->text();
    const int s = m_view->hasSelectedText() ? m_view->selectionStart() : m_view->cursorPosition();
    const int n = int(m_view->selectedText().size());
    const int first = charactersBefore(name, s);
    const int last = charactersBefore(name, s + n);
    const auto xInRow = [this](int index) {
        const QPoint inGroup = m_view->mapTo(m_scriptGroup, QPoint(m_view->boundaryX(index), 0));
        return m_rulerRow->mapFrom(m_scriptGroup, inGroup).x();
    };
    // The ruler counts from the live view's first character.
    m_ruler->setIndent(qMax(0, xInRow(0) - m_ruler->x()));
    m_firstMark->setText(QString::number(first + 1));
    m_lastMark->setText(QString::number(last));
    for (QLabel *mark : {m_firstMark, m_lastMark})
        mark->adjustSize();
    m_firstMark->move(xInRow(s), 0);
    m_lastMark->move(xInRow(s + n), 0);
    m_firstMark->raise();
    m_lastMark->raise();
}

void CleanupPage::resizeEvent(QResizeEvent *event)
{
    NotebookPage::resizeEvent(event);
    updateMarks();
}

void CleanupPage::rightPressInView(int x)
{
    if (!m_view->isEnabled())
        return;
    if (!m_view->hasSelectedText()) {
        const int character = m_view->characterAt(x);
        // The caret index counts UTF-16 units; step over whole characters.
        const QList<uint> ucs4 = m_view->text().toUcs4();
        m_view->setCursorPosition(int(QString::fromUcs4(reinterpret_cast<const char32_t *>(ucs4.constData()),
                                                        qMin<qsizetype>(character, ucs4.size()))
                                          .size()));
    }
    updateMarks();
    startDrag(false);
}

void CleanupPage::startDrag(bool fromRuler)
{
    m_dragging = true;
    if (m_dragStarter) {
        m_dragStarter(fromRuler);
        return;
    }
    auto *drag = new QDrag(m_view);
    auto *data = new QMimeData;
    data->setData(QStringLiteral("application/x-kaz-cleanup-drag"), fromRuler ? "statictext1" : "view1");
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
    m_dragging = false;
}

void CleanupPage::dropOnScript(bool fromRuler)
{
    const QString name = m_view->text();
    const int s = m_view->hasSelectedText() ? m_view->selectionStart() : m_view->cursorPosition();
    const QString selected = m_view->selectedText();
    const int start = charactersBefore(name, s);
    QString entry;
    if (!selected.isEmpty() && !fromRuler)
        entry = stringEntry(selected);
    else if (!selected.isEmpty())
        entry = rangeEntry(start, int(selected.toUcs4().size()));
    else
        entry = insertionEntry(start);
    m_script->setText(appendEntry(m_script->text(), entry));
    m_script->setFocus();
    m_script->setCursorPosition(qMax(0, int(m_script->text().size()) - 2));
    m_dragging = false;
    computePreview();
}

bool CleanupPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_script && m_dragging) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            static_cast<QDropEvent *>(event)->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            dropOnScript(drop->mimeData()->data(QStringLiteral("application/x-kaz-cleanup-drag")) == "statictext1");
            drop->acceptProposedAction();
            return true;
        }
    }
    if ((watched == m_ruler || watched == m_firstMark || watched == m_lastMark)
        && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton && m_view->isEnabled()) {
        startDrag(true);
        return true;
    }
    return NotebookPage::eventFilter(watched, event);
}

void CleanupPage::deleteLast()
{
    m_script->setText(removeLastEntry(m_script->text()));
    m_script->setFocus();
    m_script->setCursorPosition(int(m_script->text().size()));
}

void CleanupPage::showFile(int index)
{
    const QStringList names = m_host.files().fileNames();
    if (index < 0 || index >= names.size())
        return;
    m_current = index;
    m_view->setText(splitFileName(names[index]).base);
    m_view->setCursorPosition(0);
    if (m_view->text().isEmpty())
        m_preview->clear();
    computePreview();
    updateMarks();
}

void CleanupPage::stepSelection(bool up)
{
    const QStringList names = m_host.files().fileNames();
    const QStringList selectedNames = m_host.files().selectedNames();
    const QSet<QString> selected(selectedNames.cbegin(), selectedNames.cend());
    const int count = int(names.size());
    for (int k = 1; k <= count; ++k) {
        const int i = up ? (m_current + k) % count : ((m_current - k) % count + count) % count;
        if (selected.contains(names[i])) {
            showFile(i);
            return;
        }
    }
}

void CleanupPage::listChanged(const ListState &state)
{
    selectionChanged(state);
}

void CleanupPage::selectionChanged(const ListState &state)
{
    m_state = state;
    const QStringList selected = m_host.files().selectedNames();
    if (selected.isEmpty()) {
        m_current = -1;
        if (state.afterActivation || m_host.files().fileNames().isEmpty()) {
            m_view->clear();
            m_preview->clear();
        }
    } else {
        showFile(int(m_host.files().fileNames().indexOf(selected.first())));
    }
    enableControls();
}

void CleanupPage::enableControls()
{
    const bool running = m_state.running || m_host.runFrame().running();
    const int selected = int(m_host.files().selectedNames().size());
    const bool free = !m_deactivated && !running;
    for (QWidget *w : std::initializer_list<QWidget *>{m_view, m_ruler, m_firstMark, m_lastMark})
        w->setEnabled(selected > 0);
    m_upDown->setEnabled(selected >= 2);
    m_goButton->setEnabled(free && selected > 0);
    m_undoButton->setEnabled(free && m_undoAvailable);
    m_rulesButton->setEnabled(!m_deactivated);
    for (QWidget *w : m_optionsBox->controls())
        w->setEnabled(!m_deactivated);
}

void CleanupPage::setDeactivated(bool deactivated)
{
    m_deactivated = deactivated;
    enableControls();
}

void CleanupPage::registerLocks(RunFrame &frame)
{
    for (QWidget *w : m_optionsBox->controls() + QList<QWidget *>{m_rulesButton, m_script, m_deleteLastButton,
                                                                  m_goButton, m_undoButton, m_upDown})
        frame.addLocked(w);
}

void CleanupPage::chooseSavedScript(const QString &script)
{
    m_script->setText(appendEntry(m_script->text(), script));
    m_script->setFocus();
    m_script->setCursorPosition(qMax(0, int(m_script->text().size()) - 2));
}

void CleanupPage::openSaveDelete()
{
    CleanupSaveDeleteDialog dialog(m_script->text(), m_host.prompter(), this);
    dialog.applyLanguage(m_language);
    const QRect frame = window()->geometry();
    dialog.move(frame.left() + 114, frame.top() + frame.height() - 324);
    connect(&dialog, &CleanupSaveDeleteDialog::rulesChanged, m_rulesMenu, &SavedRulesMenu::rebuild);
    dialog.exec();
}

void CleanupPage::reportRun(qint64 notCleaned, const QStringList &reasons)
{
    if (notCleaned == 0)
        return;
    QString report = cleanupText(CleanupText::KeptNames, m_language).arg(notCleaned);
    for (const QString &reason : reasons.mid(0, 20))
        report += QStringLiteral("\n\r") + reason;
    if (reasons.size() > 20)
        report += QStringLiteral("\n\r...");
    m_host.prompter().inform(MessageKind::Warning, report);
}

void CleanupPage::go()
{
    const QStringList selected = m_host.files().selectedNames();
    if (!m_goButton->isEnabled() || selected.isEmpty())
        return;
    CleanupRequest request;
    for (const QString &name : selected)
        request.paths.append(m_host.files().currentFolder() + QLatin1Char('/') + name);
    request.script = m_script->text();
    request.options = options();
    CleanupEnvironment environment;
    environment.prompter = &m_host.prompter();
    environment.language = m_language;
    environment.hooks.processEvents = [this] { m_host.processEvents(); };
    environment.showFile = [this](const CleanupItem &item) {
        // The run has computed the name already: the view only shows it.
        const QSignalBlocker blocker(m_view);
        m_view->setText(splitFileName(item.oldName().toString()).base);
        m_preview->setText(item.newBase);
    };
    environment.hooks.progress = [this](qint64 position, qint64 total) {
        m_host.files().fileProgress()->setMaximum(int(total));
        m_host.files().fileProgress()->setValue(int(position));
    };
    CleanupOutcome outcome;
    {
        const RunGuard guard(m_host.runFrame());
        outcome = cleanupFiles(request, environment);
        m_host.files().fileProgress()->setValue(0);
    }
    if (outcome.busy) {
        m_host.prompter().inform(MessageKind::Warning, runLockRefusal(outcome.lockProblem, m_language));
        return;
    }
    if (outcome.script != m_script->text()) {
        const QSignalBlocker blocker(m_script);
        m_script->setText(outcome.script);
    }
    if (outcome.cancelled)
        return;
    m_undoAvailable = cleanupLogExists();
    enableControls();
    QStringList reasons;
    for (const CleanupFileResult &file : outcome.files)
        if (file.outcome == CleanupFileResult::Skipped || file.outcome == CleanupFileResult::Failed)
            reasons.append(fileNameOf(file.oldPath) + QStringLiteral(": ")
                           + file.reason);
    reportRun(outcome.notCleaned(), reasons);
}

void CleanupPage::undo()
{
    if (!m_undoButton->isEnabled())
        return;
    RunHooks hooks;
    hooks.processEvents = [this] { m_host.processEvents(); };
    CleanupUndoOutcome outcome;
    {
        const RunGuard guard(m_host.runFrame());
        outcome = undoCleanup(hooks);
    }
    if (outcome.busy) {
        m_host.prompter().inform(MessageKind::Warning, runLockRefusal(outcome.lockProblem, m_language));
        return;
    }
    // Lines that could not be done stay in the log: Undo stays for them.
    m_undoAvailable = outcome.keptLines > 0 && cleanupLogExists();
    enableControls();
    if (!outcome.failures.isEmpty())
        m_host.prompter().report(MessageKind::Error, cleanupText(CleanupText::UndoStopped, m_language).arg(outcome.keptLines),
                                 outcome.failures);
}

} // namespace kaz
