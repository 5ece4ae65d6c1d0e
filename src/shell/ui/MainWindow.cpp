#include "MainWindow.h"
#include "MenuBarRows.h"

#include "browser/ui/FolderBrowser.h"
#include "widgets/GuiPrompter.h"
#include "widgets/StatusLine.h"

#include "platform/ThreadPriority.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
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
namespace {

QToolButton *smallButton(const char *name, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

} // namespace

MainWindow::MainWindow(const MainWindowOptions &options, QWidget *parent)
    : QMainWindow(parent)
    , m_options(options)
    , m_language(options.language)
    , m_ownPrompter(std::make_unique<GuiPrompter>(this))
    , m_prompter(m_ownPrompter.get())
    , m_runFrame(this)
    , m_selectName(options.selectName)
    , m_fontSize(options.fontSize)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("KAZ  (Quillbay)  V3.2"));
    resize(601, 471);

    m_activationTimer = new QTimer(this);
    m_activationTimer->setSingleShot(true);
    connect(m_activationTimer, &QTimer::timeout, this, &MainWindow::finishReactivation);
    buildWidgets();
    buildTagEditorControls();
    buildLayout();
    connectBrowser();
    buildMenus();
    buildPopups();
    addTagEditorMenuItem();
    addId3v2MenuItems();
    registerLocks();
    applyFont();
    setHints(options.showHints);
    connect(&m_runFrame, &RunFrame::finished, this, [this](bool refill) {
        updateMaskButtons();
        if (refill)
            m_browser->refill();
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

MainWindow::~MainWindow() = default;

void MainWindow::setPrompter(Prompter *prompter)
{
    m_prompter = prompter;
    m_browser->setPrompter(prompter);
}

const BrowserState &MainWindow::browserState() const
{
    return m_browser->state();
}

void MainWindow::buildWidgets()
{
    m_browser = new FolderBrowser(m_runFrame, m_options.startFolder, this);
    m_browser->setPrompter(m_prompter);
    m_browser->setEventsProcessedObserver(m_options.eventsProcessed);
    m_fontUpButton = smallButton("FontUpButton", this);
    m_fontUpButton->setText(QStringLiteral("A+"));
    connect(m_fontUpButton, &QToolButton::clicked, this, &MainWindow::fontLarger);
    m_fontDownButton = smallButton("FontDownButton", this);
    m_fontDownButton->setText(QStringLiteral("A-"));
    connect(m_fontDownButton, &QToolButton::clicked, this, &MainWindow::fontSmaller);
    m_browser->addToolButton(m_fontUpButton);
    m_browser->addToolButton(m_fontDownButton);

    buildTabRow();
    buildStatusRow();

    m_largeLabel = new QLabel(this);
    m_largeLabel->setObjectName(QStringLiteral("LargeLabel"));
    QFont big = m_largeLabel->font();
    big.setPixelSize(24);
    big.setBold(true);
    big.setUnderline(true);
    m_largeLabel->setFont(big);
    m_largeLabel->setAlignment(Qt::AlignCenter);
}

void MainWindow::buildTabRow()
{
    m_helpButton = new QPushButton(this);
    m_helpButton->setObjectName(QStringLiteral("HelpButton"));
    connect(m_helpButton, &QPushButton::clicked, this, [this] {
        const int page = currentPage();
        openHelp(page >= 0 && page < m_pageList.size() ? m_pageList.at(page)->helpContext() : 0);
    });
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("TabSet1"));
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    // Three German captions must fit between "Help" and "Exit" at the minimum width.
    m_tabs->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 3px 6px; margin-right: 1px; border: 1px solid palette(mid);"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
        " background: palette(button); }"
        "QTabBar::tab:selected { background: palette(base); }"
        "QTabBar::tab:!selected { margin-top: 2px; }"));
    m_tabs->setElideMode(Qt::ElideNone);
    connect(m_tabs, &QTabBar::tabBarClicked, this, &MainWindow::tabClicked);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            m_pages->setCurrentIndex(index);
    });
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("Notebook1"));
    m_exitButton = new QPushButton(this);
    m_exitButton->setObjectName(QStringLiteral("Button1"));
    connect(m_exitButton, &QPushButton::clicked, this, &MainWindow::exitClicked);
}

void MainWindow::buildStatusRow()
{
    m_orderLine = new QLabel(this);
    m_orderLine->setObjectName(QStringLiteral("StatusBar1"));
    m_orderLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_orderLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_statusLine = new StatusLine(QStringLiteral("StatusBar2"), this);
    connect(m_statusLine, &StatusLine::resetRequested, this, [this] {
        if (selectedNames().size() == 1)
            resetStatus();
    });
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

    auto *tabRow = new QHBoxLayout;
    tabRow->setSpacing(4);
    m_helpButton->setMaximumWidth(64);
    m_exitButton->setMaximumWidth(64);
    tabRow->addWidget(m_helpButton);
    tabRow->addWidget(m_tabs, 1);
    tabRow->addWidget(m_exitButton);

    auto *statusRow = new QHBoxLayout;
    statusRow->setSpacing(2);
    statusRow->addWidget(m_orderLine, 2);
    statusRow->addWidget(m_statusLine, 3);

    // Menu items that do not fit the window's width wrap into a second row.
    m_menuRow2 = new QMenuBar(central);
    m_menuRow2->setObjectName(QStringLiteral("MenuBarRow2"));
    m_menuRows = new MenuBarRows(menuBar(), m_menuRow2, this);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(m_menuRow2);
    auto *root = new QVBoxLayout;
    outer->addLayout(root, 1);
    root->setContentsMargins(4, 4, 4, 2);
    root->setSpacing(3);
    root->addWidget(m_browserStack, 1);
    root->addLayout(tabRow);
    root->addWidget(m_pages);
    root->addLayout(statusRow);
}

void MainWindow::registerLocks()
{
    m_browser->registerLocks(m_runFrame);
    for (QWidget *w : std::initializer_list<QWidget *>{m_exitButton, m_orderLine, m_statusLine, m_fontUpButton,
                                                       m_fontDownButton, m_tabs})
        m_runFrame.addLocked(w);
    for (QMenu *menu : {m_propertiesMenu, m_languageMenu})
        m_runFrame.addLocked(menu->menuAction());
}

void MainWindow::addPage(NotebookPage *page)
{
    m_pageList.append(page);
    m_pages->addWidget(page);
    m_tabs->addTab(page->tabCaption(m_language));
    page->applyLanguage(m_language);
    page->registerLocks(m_runFrame);
    if (m_pageList.size() - 1 == m_options.page)
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
    return m_pages->currentIndex();
}

void MainWindow::showPage(int index)
{
    if (index < 0 || index >= m_pageList.size())
        return;
    m_tabs->setCurrentIndex(index);
    m_pages->setCurrentIndex(index);
    m_browser->setIncludeSubdirectoriesEnabled(index == 0 && !m_runFrame.running());
}

void MainWindow::tabClicked(int index)
{
    m_tabClickedSinceActivation = true;
    showPage(index);
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

void MainWindow::addToolButton(QToolButton *button)
{
    m_browser->addToolButton(button);
}

} // namespace kaz
