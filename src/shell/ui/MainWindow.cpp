#include "MainWindow.h"

#include "HelpCommands.h"
#include "Id3v2Commands.h"
#include "MainMenus.h"
#include "MainWindowTexts.h"
#include "MenuBarRows.h"
#include "Notebook.h"
#include "StatusRow.h"
#include "TagEditorCommand.h"
#include "WindowScale.h"

#include "browser/ui/FolderBrowser.h"
#include "widgets/GuiPrompter.h"
#include "widgets/QtTranslations.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kaz {

MainWindow::MainWindow(const MainWindowOptions &options, QWidget *parent)
    : QMainWindow(parent)
    , m_options(options)
    , m_language(options.language)
    , m_ownPrompter(std::make_unique<GuiPrompter>(this))
    , m_prompter(m_ownPrompter.get())
    , m_runFrame(this)
    , m_selectName(options.selectName)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("KAZ  (Quillbay)  V3.2"));
    resize(601, 471);

    m_activationTimer = new QTimer(this);
    m_activationTimer->setSingleShot(true);
    connect(m_activationTimer, &QTimer::timeout, this, &MainWindow::finishReactivation);
    buildWidgets();
    buildLayout();
    connectBrowser();
    m_menus = new MainMenus(*this, *m_browser, *m_scale, *m_help);
    m_tagEditor = new TagEditorCommand(*this, *m_browser);
    m_id3v2 = new Id3v2Commands(*this);
    connect(m_id3v2, &Id3v2Commands::tagSourceChosen, this, [this](bool on) {
        setUseId3v2(on);
        Q_EMIT tagSourceChanged(on);
    });
    connect(m_id3v2, &Id3v2Commands::id3v2WriteChosen, this, [this](const QString &mode) {
        setId3v2Write(mode);
        Q_EMIT id3v2WriteChanged(mode);
    });
    registerLocks();
    m_menus->setHints(options.showHints);
    connect(&m_runFrame, &RunFrame::finished, this, [this](bool refill) {
        updateMaskButtons();
        if (refill)
            m_browser->refillFileList();
        else
            notifyListChanged();
    });
    // The program releases the user's folder while it is in the background.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && !m_activated && !m_firstActivation)
            reactivate();
        else if (state != Qt::ApplicationActive && m_activated && !QApplication::activeModalWidget())
            deactivate();
    });
    m_browser->fillDrives();
    applyLanguage();
    setDeactivatedView(true);
}

MainWindow::~MainWindow()
{
    // The controls go while the window is still whole: filters and handlers
    // of the menus and pages that watch them may still ask it something.
    delete takeCentralWidget();
}

void MainWindow::setPrompter(Prompter *prompter)
{
    m_prompter = prompter;
    m_browser->setPrompter(prompter);
}

void MainWindow::buildWidgets()
{
    m_browser = new FolderBrowser(m_runFrame, m_options.startFolder, this);
    m_browser->setPrompter(m_prompter);
    m_browser->setEventsProcessedObserver(m_options.eventsProcessed);
    m_scale = new WindowScale(*this, *m_browser, m_options.fontSize);
    m_help = new HelpCommands(*this, *this);
    m_notebook = new Notebook(*this);
    connect(m_notebook, &Notebook::helpRequested, this, &MainWindow::showHelp);
    connect(m_notebook, &Notebook::exitRequested, this, &MainWindow::exitClicked);
    connect(m_notebook, &Notebook::tabClicked, this, &MainWindow::showPage);
    m_status = new StatusRow(*this);

    m_largeLabel = new QLabel(this);
    m_largeLabel->setObjectName(QStringLiteral("LargeLabel"));
    QFont big = m_largeLabel->font();
    big.setPixelSize(24);
    big.setBold(true);
    big.setUnderline(true);
    m_largeLabel->setFont(big);
    m_largeLabel->setAlignment(Qt::AlignCenter);
}

void MainWindow::buildLayout()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form"));
    central->installEventFilter(this);
    setCentralWidget(central);

    // The large label stands where the browser was while it is hidden.
    m_browserStack = new QStackedWidget(this);
    m_browserStack->setObjectName(QStringLiteral("BrowserStack"));
    m_browserStack->addWidget(m_browser);
    m_browserStack->addWidget(m_largeLabel);

    // Menu items that do not fit the window's width wrap into a second row.
    auto *menuRow2 = new QMenuBar(central);
    menuRow2->setObjectName(QStringLiteral("MenuBarRow2"));
    m_menuRows = new MenuBarRows(menuBar(), menuRow2, this);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(menuRow2);
    auto *root = new QVBoxLayout;
    outer->addLayout(root, 1);
    root->setContentsMargins(4, 4, 4, 2);
    root->setSpacing(3);
    root->addWidget(m_browserStack, 1);
    root->addLayout(m_notebook->tabRow());
    root->addWidget(m_notebook->stack());
    root->addLayout(m_status->layout());
}

void MainWindow::registerLocks()
{
    m_browser->registerLocks(m_runFrame);
    m_status->registerLocks(m_runFrame);
    m_scale->registerLocks(m_runFrame);
    m_menus->registerLocks(m_runFrame);
    m_notebook->registerLocks(m_runFrame);
}

void MainWindow::addPage(NotebookPage *page)
{
    m_notebook->addPage(page, m_language);
    page->registerLocks(m_runFrame);
    if (m_notebook->count() - 1 == m_options.page)
        showPage(m_options.page);
    page->listChanged(listState());
    if (isVisible())
        updateMinimumSize();
}

void MainWindow::updateMinimumSize()
{
    // Only a shown window knows the sizes its style gives the controls.
    // 601 x 471 at least; more where the captions of the language need it.
    setMinimumSize(QSize(601, 471).expandedTo(minimumSizeHint()));
    m_menuRows->arrange(width());
}

int MainWindow::currentPage() const
{
    return m_notebook->currentPage();
}

void MainWindow::showPage(int index)
{
    if (m_notebook->showPage(index))
        m_browser->setIncludeSubdirectoriesEnabled(index == 0 && !m_runFrame.running());
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A click anywhere else ends the folder edit, as leaving it does.
    if (event->type() == QEvent::MouseButtonPress)
        m_browser->hideRenameEdit();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::processEvents()
{
    QCoreApplication::processEvents();
    if (m_options.eventsProcessed)
        m_options.eventsProcessed();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window is the same as "E&xit", and like it refused during a run.
    if (m_runFrame.running()) {
        event->ignore();
        return;
    }
    if (!m_closing) {
        m_closing = true;
        Q_EMIT exiting();
    }
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (!isMaximized() && !isFullScreen())
        m_lastNormalSize = size();
    if (isVisible())
        m_menuRows->arrange(width());
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    updateMinimumSize();
    // The first activation fills the browser, also where no window manager
    // ever reports the application as active.
    if (m_firstActivation)
        QTimer::singleShot(0, this, [this] {
            if (m_firstActivation)
                reactivate();
        });
}

void MainWindow::showHelp(int context)
{
    m_help->openHelp(context);
}

void MainWindow::exitClicked()
{
    if (!m_notebook->exitButton()->isEnabled() || m_runFrame.running())
        return;
    close();
}

void MainWindow::setLanguage(Language language)
{
    m_language = language;
    applyLanguage();
    Q_EMIT languageChanged(language);
}

void MainWindow::applyLanguage()
{
    useQtTranslations(m_language);
    applyMainWindowTexts(*this, m_language);
    if (auto *english = findChild<QAction *>(QStringLiteral("English1")))
        english->setChecked(m_language == Language::English);
    if (auto *german = findChild<QAction *>(QStringLiteral("German1")))
        german->setChecked(m_language == Language::German);
    m_notebook->applyLanguage(m_language);
    m_browser->setLanguage(m_language);
    m_menus->setFilterEnabled(browserState().mask == MaskState::Mp3);
    if (isVisible())
        updateMinimumSize();
}

void MainWindow::setId3v2Write(const QString &mode)
{
    m_id3v2Write = mode;
    m_id3v2->showId3v2Write(mode);
}

void MainWindow::setUseId3v2(bool on)
{
    m_useId3v2 = on;
    m_id3v2->showTagSource(on);
    m_browser->setUseId3v2(on);
    if (m_activated)
        m_status->reset();
}

} // namespace kaz
