#include "MainWindow.h"

#include "widgets/GuiPrompter.h"
#include "widgets/StatusLine.h"

#include "platform/ThreadPriority.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
    m_folder = QDir::cleanPath(options.startFolder.isEmpty() ? QDir::homePath() : options.startFolder);
    m_lastFolder = m_folder;

    buildWidgets();
    buildLayout();
    buildMenus();
    buildPopups();
    registerLocks();
    applyFont();
    setHints(options.showHints);
    connect(&m_runFrame, &RunFrame::finished, this, [this](bool refill) {
        updateMaskButtons();
        if (refill) {
            fillFolderList();
            fillFileList();
        } else {
            notifyListChanged();
        }
    });
    // The program releases the user's folder while it is in the background.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && !m_activated && !m_firstActivation)
            reactivate();
        else if (state != Qt::ApplicationActive && m_activated && !QApplication::activeModalWidget())
            deactivate();
    });
    fillDrives();
    applyLanguage();
    setDeactivatedView(true);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWidgets()
{
    m_driveBox = new QComboBox(this);
    m_driveBox->setObjectName(QStringLiteral("DriveComboBox1"));
    m_driveBox->installEventFilter(this);
    connect(m_driveBox, &QComboBox::activated, this, &MainWindow::driveChosen);

    m_folderList = new QListWidget(this);
    m_folderList->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_folderList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_folderList->setIconSize(QSize(16, 16));
    m_folderList->viewport()->installEventFilter(this);
    connect(m_folderList, &QListWidget::itemClicked, this, &MainWindow::folderListClicked);
    connect(m_folderList, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        m_folderButton = Qt::LeftButton;
        folderListClicked(item);
    });
    connect(m_folderList, &QWidget::customContextMenuRequested, this, &MainWindow::folderPopup);

    m_includeSubdirs = new QCheckBox(this);
    m_includeSubdirs->setObjectName(QStringLiteral("CheckBox1"));
    connect(m_includeSubdirs, &QCheckBox::toggled, this, &MainWindow::includeSubdirectoriesToggled);

    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setObjectName(QStringLiteral("RenameEdit"));
    m_folderEdit->hide();
    m_folderEdit->installEventFilter(this);
    connect(m_folderEdit, &QLineEdit::returnPressed, this, &MainWindow::finishFolderEdit);
    connect(m_folderEdit, &QLineEdit::textChanged, this, [this] {
        if (!m_folderEdit->hasFocus())
            hideRenameEdit();
    });

    m_folderProgress = new QProgressBar(this);
    m_folderProgress->setObjectName(QStringLiteral("ProgressBar1"));
    m_fileProgress = new QProgressBar(this);
    m_fileProgress->setObjectName(QStringLiteral("ProgressBar2"));
    for (QProgressBar *bar : {m_folderProgress, m_fileProgress}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setMaximumHeight(12);
        bar->installEventFilter(this);
    }

    m_maskButton = smallButton("MaskButton", this);
    connect(m_maskButton, &QToolButton::clicked, this, &MainWindow::maskButtonClicked);
    m_filterButton = smallButton("FilterButton", this);
    connect(m_filterButton, &QToolButton::clicked, this, &MainWindow::filterButtonClicked);
    m_sortButton = smallButton("SortButton", this);
    m_sortButton->setText(QStringLiteral("A..Z"));
    m_sortButton->setCheckable(true);
    connect(m_sortButton, &QToolButton::clicked, this, &MainWindow::sortButtonClicked);
    for (QToolButton *b : {m_maskButton, m_filterButton}) {
        b->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(b, &QWidget::customContextMenuRequested, this,
                [this, b](const QPoint &pos) { m_maskPopup->popup(b->mapToGlobal(pos)); });
    }
    m_fontUpButton = smallButton("FontUpButton", this);
    m_fontUpButton->setText(QStringLiteral("A+"));
    connect(m_fontUpButton, &QToolButton::clicked, this, &MainWindow::fontLarger);
    m_fontDownButton = smallButton("FontDownButton", this);
    m_fontDownButton->setText(QStringLiteral("A-"));
    connect(m_fontDownButton, &QToolButton::clicked, this, &MainWindow::fontSmaller);

    m_fileList = new QListWidget(this);
    m_fileList->setObjectName(QStringLiteral("FileListBox1"));
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_fileList, &QListWidget::itemSelectionChanged, this, &MainWindow::fileListClicked);
    connect(m_fileList, &QWidget::customContextMenuRequested, this, &MainWindow::filePopup);

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

    m_orderLine = new QLabel(this);
    m_orderLine->setObjectName(QStringLiteral("StatusBar1"));
    m_orderLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_orderLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_statusLine = new StatusLine(QStringLiteral("StatusBar2"), this);
    connect(m_statusLine, &StatusLine::resetRequested, this, [this] {
        if (selectedNames().size() == 1)
            resetStatus();
    });

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

    // Left: drive box, folder list, include-subdirectories box with the
    // rename edit in the same place, folder progress bar.
    auto *left = new QVBoxLayout;
    left->setSpacing(3);
    left->addWidget(m_driveBox);
    left->addWidget(m_folderList, 1);
    auto *checkCell = new QGridLayout;
    checkCell->setContentsMargins(0, 0, 0, 0);
    checkCell->addWidget(m_includeSubdirs, 0, 0);
    checkCell->addWidget(m_folderEdit, 0, 0);
    left->addLayout(checkCell);
    left->addWidget(m_folderProgress);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    m_maskButton->setMinimumWidth(84);
    m_filterButton->setMinimumWidth(72);
    for (QToolButton *b : {m_maskButton, m_filterButton, m_sortButton, m_fontUpButton, m_fontDownButton})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto *right = new QVBoxLayout;
    right->setSpacing(3);
    right->addLayout(buttons);
    right->addWidget(m_fileList, 1);
    right->addWidget(m_fileProgress);

    m_browser = new QWidget(this);
    m_browser->setObjectName(QStringLiteral("Browser"));
    auto *browserLayout = new QHBoxLayout(m_browser);
    browserLayout->setContentsMargins(0, 0, 0, 0);
    browserLayout->addLayout(left, 2);
    browserLayout->addLayout(right, 3);

    // The large label stands where the browser was while it is hidden.
    auto *browserStack = new QStackedWidget(this);
    browserStack->setObjectName(QStringLiteral("BrowserStack"));
    browserStack->addWidget(m_browser);
    browserStack->addWidget(m_largeLabel);

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

    auto *root = new QVBoxLayout(central);
    root->setContentsMargins(4, 4, 4, 2);
    root->setSpacing(3);
    root->addWidget(browserStack, 1);
    root->addLayout(tabRow);
    root->addWidget(m_pages);
    root->addLayout(statusRow);
}

void MainWindow::registerLocks()
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_includeSubdirs, m_exitButton, m_folderEdit, m_orderLine,
                                                       m_statusLine, m_maskButton, m_filterButton, m_sortButton,
                                                       m_fontUpButton, m_fontDownButton, m_tabs, m_driveBox,
                                                       m_folderList})
        m_runFrame.addLocked(w);
    for (const char *name : {"prperties1", "Language1"})
        if (auto *menu = findChild<QMenu *>(QLatin1String(name)))
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
    m_includeSubdirs->setEnabled(index == 0 && !m_runFrame.running());
}

void MainWindow::tabClicked(int index)
{
    m_tabClickedSinceActivation = true;
    showPage(index);
}

void MainWindow::processEvents()
{
    QCoreApplication::processEvents();
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

} // namespace kaz
