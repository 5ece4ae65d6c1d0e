#include "FromNamePage.h"

#include "FilenameToTagDialog.h"

#include "editor/ui/BeforeWriteTagEditor.h"
#include "editor/ui/EditTagsOneByOne.h"
#include "platform/Messages.h"
#include "platform/Prompter.h"
#include "platform/Volumes.h"
#include "rename/FileGathering.h"
#include "tags/Genres.h"
#include "widgets/PageHost.h"
#include "widgets/RunFrame.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kaz {
namespace {

constexpr TagWord kWords[4] = {TagWord::Title, TagWord::Artist, TagWord::Album, TagWord::Comment};

QCheckBox *checkBox(const char *name, QWidget *parent)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

FromNamePage::FromNamePage(PageHost &host, QWidget *parent)
    : NotebookPage(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("page2"));
    m_pattern = translatePattern(FromNameSettings().pattern, m_language);
    buildControls();
    if (QMenu *files = m_host.menu(HostMenu::FileList)) {
        m_listEntry = new QAction(this);
        m_listEntry->setObjectName(QStringLiteral("FilenametoID3Tag1"));
        connect(m_listEntry, &QAction::triggered, this, &FromNamePage::go);
        // Third, after the entries of the pages before: in front of the
        // first separator or of the selection commands.
        QAction *before = nullptr;
        for (QAction *a : files->actions()) {
            if (a->isSeparator() || a->objectName() == QLatin1String("EditID3Tagfilename1")
                || a->objectName() == QLatin1String("invertselection1")) {
                before = a;
                break;
            }
        }
        files->insertAction(before, m_listEntry);
    }
    if (QMenu *folders = m_host.menu(HostMenu::FolderList)) {
        m_folderEntry = new QAction(this);
        m_folderEntry->setObjectName(QStringLiteral("extractID3Tagsfromfilesincurrentdirectory1"));
        connect(m_folderEntry, &QAction::triggered, this, &FromNamePage::goWithAllFiles);
        QAction *before = nullptr;
        for (QAction *a : folders->actions()) {
            if (a->objectName() == QLatin1String("rename1"))
                before = a;
        }
        folders->insertAction(before, m_folderEntry);
    }
    enableControls();
}

FromNamePage::~FromNamePage() = default;

void FromNamePage::buildControls()
{
    m_syncGroup = new QGroupBox(this);
    m_syncGroup->setObjectName(QStringLiteral("GroupBox4"));
    m_sync = checkBox("Sync1", m_syncGroup);
    m_sync->setChecked(true);
    auto *sync = new QVBoxLayout(m_syncGroup);
    sync->setContentsMargins(6, 2, 6, 4);
    sync->addWidget(m_sync);

    m_fieldLabel = lineEdit("Edit9", this);
    m_fieldLabel->setReadOnly(true);
    m_fieldLabel->setFocusPolicy(Qt::NoFocus);
    QFont bold = m_fieldLabel->font();
    bold.setBold(true);
    m_fieldLabel->setFont(bold);
    m_fieldLabel->setStyleSheet(QStringLiteral("QLineEdit { background: #ffffe1; border: 1px solid #a0a0a0; }"));
    m_fieldLabel->hide();

    m_go = new QPushButton(this);
    m_go->setObjectName(QStringLiteral("BitBtn6"));
    QFont goFont = m_go->font();
    goFont.setBold(true);
    m_go->setFont(goFont);
    connect(m_go, &QPushButton::clicked, this, &FromNamePage::go);

    auto *left = new QVBoxLayout;
    left->addWidget(m_syncGroup);
    left->addWidget(buildExtraction(), 1);
    auto *groups = new QHBoxLayout;
    groups->setSpacing(4);
    groups->addLayout(left);
    groups->addWidget(buildGeneralInfos(), 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addLayout(groups);
    layout->addWidget(m_go);
}

QGroupBox *FromNamePage::buildGeneralInfos()
{
    m_infoGroup = new QGroupBox(this);
    m_infoGroup->setObjectName(QStringLiteral("GroupBox5"));
    QWidget *g = m_infoGroup;
    m_useTitle = checkBox("Check4", g);
    m_useArtist = checkBox("Check5", g);
    m_useAlbum = checkBox("Check6", g);
    m_useComment = checkBox("Check7", g);
    m_useGenre = checkBox("Check9", g);
    m_useYear = checkBox("Check8", g);
    m_title = lineEdit("Edit4", g);
    m_artist = lineEdit("Edit5", g);
    m_album = lineEdit("Edit6", g);
    m_comment = lineEdit("Edit7", g);
    m_comment->setMaxLength(30);
    m_year = lineEdit("Edit8", g);
    m_year->setMaxLength(4);
    m_year->setMaximumWidth(56);
    m_year->setMinimumWidth(56);
    m_genre = new QComboBox(g);
    m_genre->setObjectName(QStringLiteral("ComboBox1"));
    m_genre->addItems(sortedGenreNames());
    m_yearFromFile = checkBox("Check10", g);
    m_yearFromFile->setChecked(true);
    m_yearFromSystem = checkBox("Check11", g);
    connect(m_yearFromFile, &QCheckBox::clicked, this, [this] { yearSourceChosen(m_yearFromFile); });
    connect(m_yearFromSystem, &QCheckBox::clicked, this, [this] { yearSourceChosen(m_yearFromSystem); });
    connect(m_year, &QLineEdit::textEdited, this, [this] {
        m_yearFromFile->setChecked(false);
        m_yearFromSystem->setChecked(false);
    });
    for (QLineEdit *field : {m_title, m_artist, m_album, m_comment, m_year})
        field->installEventFilter(this);

    m_folderNames = new QPushButton(g);
    m_folderNames->setObjectName(QStringLiteral("Button4"));
    m_folderNames->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_folderNames, &QPushButton::clicked, this, &FromNamePage::folderNamesClicked);
    connect(m_folderNames, &QWidget::customContextMenuRequested, this,
            [this] { showPropertiesMenu(QCursor::pos() + QPoint(-5, 5)); });
    m_properties = new QMenu(this);
    m_properties->setObjectName(QStringLiteral("PopupMenu3"));
    m_noticeAlbum = m_properties->addAction(QString());
    m_noticeAlbum->setObjectName(QStringLiteral("noticealbum1"));
    m_noticeCd = m_properties->addAction(QString());
    m_noticeCd->setObjectName(QStringLiteral("noticeCD1"));
    for (QAction *a : {m_noticeAlbum, m_noticeCd}) {
        a->setCheckable(true);
        a->setChecked(true);
        // The menu opens again where it was, so that both can be changed in one go.
        connect(a, &QAction::triggered, this, [this] {
            const QPoint at = m_properties->pos();
            QTimer::singleShot(0, this, [this, at] { showPropertiesMenu(at); });
        });
    }
    m_properties->addSeparator();
    m_exitMenu = m_properties->addAction(QString());
    m_exitMenu->setObjectName(QStringLiteral("Exit2"));

    auto *grid = new QGridLayout(m_infoGroup);
    grid->setContentsMargins(6, 14, 6, 4);
    grid->setVerticalSpacing(4);
    grid->addWidget(m_useTitle, 0, 0);
    grid->addWidget(m_title, 0, 1);
    grid->addWidget(m_useArtist, 0, 2);
    grid->addWidget(m_artist, 0, 3, 1, 3);
    grid->addWidget(m_useAlbum, 1, 0);
    grid->addWidget(m_album, 1, 1);
    grid->addWidget(m_useComment, 1, 2);
    grid->addWidget(m_comment, 1, 3, 1, 3);
    grid->addWidget(m_useGenre, 2, 0);
    grid->addWidget(m_genre, 2, 1);
    grid->addWidget(m_useYear, 2, 2);
    grid->addWidget(m_year, 2, 3);
    grid->addWidget(m_yearFromFile, 2, 4);
    grid->addWidget(m_yearFromSystem, 2, 5);
    grid->addWidget(m_folderNames, 3, 0, 1, 6);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);
    return m_infoGroup;
}

QGroupBox *FromNamePage::buildExtraction()
{
    m_extractionGroup = new QGroupBox(this);
    m_extractionGroup->setObjectName(QStringLiteral("GroupBox3"));
    m_patternEdit = lineEdit("Edit3", m_extractionGroup);
    m_patternEdit->setReadOnly(true);
    const char *names[4] = {"Title_button", "artist_button", "Album_button", "Comment_button"};
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        m_wordButtons[i] = new QPushButton(m_extractionGroup);
        m_wordButtons[i]->setObjectName(QLatin1String(names[i]));
        m_wordButtons[i]->setCheckable(true);
        connect(m_wordButtons[i], &QPushButton::clicked, this, [this, i] { toggleWord(kWords[i]); });
        buttons->addWidget(m_wordButtons[i]);
    }
    m_clearPattern = new QPushButton(QStringLiteral("X"), m_extractionGroup);
    m_clearPattern->setObjectName(QStringLiteral("SpeedButton4"));
    m_clearPattern->setFixedWidth(24);
    connect(m_clearPattern, &QPushButton::clicked, this, [this] {
        m_pattern.clear();
        showPattern();
    });
    buttons->addWidget(m_clearPattern);
    m_underscore = checkBox("CheckBox5", m_extractionGroup);
    m_underscore->setChecked(true);
    m_splitAt = lineEdit("Edit10", m_extractionGroup);
    m_splitAt->setMaxLength(3);
    m_splitAt->setFixedWidth(m_splitAt->fontMetrics().horizontalAdvance(QStringLiteral("automatisch")) + 12);
    m_splitAtLabel = new QLabel(m_extractionGroup);
    m_splitAtLabel->setObjectName(QStringLiteral("Label10"));
    m_splitAtLabel->setBuddy(m_splitAt);
    auto *options = new QHBoxLayout;
    options->addWidget(m_underscore);
    options->addStretch(1);
    options->addWidget(m_splitAtLabel);
    options->addWidget(m_splitAt);
    auto *layout = new QVBoxLayout(m_extractionGroup);
    layout->setContentsMargins(6, 14, 6, 4);
    layout->addWidget(m_patternEdit);
    layout->addLayout(buttons);
    layout->addLayout(options);
    showPattern();
    return m_extractionGroup;
}

QString FromNamePage::tabCaption(Language language) const
{
    return text(language, "Filename -> ID3Tag", "Dateiname -> ID3Tag");
}

void FromNamePage::applyLanguage(Language l)
{
    m_language = l;
    m_syncGroup->setTitle(text(l, "syncronization (highest priority)", "Syncronisation (höchste Priorität)"));
    m_sync->setText(text(l, "if ID3Tag exists already", "falls der ID3Tag bereits existiert"));
    m_infoGroup->setTitle(text(l, "use as generally infos (normal priority)", "Vordefinierte Tag-Infos (normale Priorität)"));
    m_title->setPlaceholderText(tagWordText(TagWord::Title, l));
    m_artist->setPlaceholderText(tagWordText(TagWord::Artist, l));
    m_album->setPlaceholderText(tagWordText(TagWord::Album, l));
    m_comment->setPlaceholderText(tagWordText(TagWord::Comment, l));
    m_year->setPlaceholderText(text(l, "year", "Jahr"));
    m_yearFromFile->setText(text(l, "file", "Datei"));
    m_yearFromSystem->setText(text(l, "system", "System"));
    m_folderNames->setText(text(l, "Get artist && album tag from directorynames", "Hole Interperet && Album von Verzeichnisnamen"));
    m_folderNames->setToolTip(text(l, "rightclick for properties", "Rechtsklick für Eigenschaften"));
    m_noticeAlbum->setText(text(l, "notice album/sampler directory", "Album-/Sampler-Verzeichnisse beachten"));
    m_noticeCd->setText(text(l, "notice CD-directories using comment", "CD-Verzeichnisse als Kommentar beachten"));
    m_exitMenu->setText(text(l, "Exit", "Ende"));
    m_extractionGroup->setTitle(text(l, "extraction setting (low priority)", "Erkennungsoptionen (niedrige Priorität)"));
    for (int i = 0; i < 4; ++i)
        m_wordButtons[i]->setText(tagWordText(kWords[i], l));
    m_clearPattern->setToolTip(text(l, "empty the pattern", "Muster leeren"));
    m_underscore->setText(QStringLiteral("\"_\" -> Space"));
    m_splitAtLabel->setText(text(l, "&Delimiter:", "&Trennzeichen:"));
    m_splitAt->setPlaceholderText(text(l, "automatic", "automatisch"));
    m_splitAt->setToolTip(text(l, "split every file name here (up to 3 characters); empty: each name's own delimiter",
                               "jeden Dateinamen hier trennen (bis zu 3 Zeichen); leer: das Trennzeichen jedes Namens"));
    m_go->setText(text(l, "&Go!", "&Start!"));
    m_go->setToolTip(text(l, "tags from the names of the selected files", "Tags aus den Namen der ausgewählten Dateien"));
    if (m_listEntry)
        m_listEntry->setText(text(l, "Filename -> ID3Tag", "Dateiname -> ID3Tag"));
    if (m_folderEntry)
        m_folderEntry->setText(text(l, "extract ID3Tags from files in current directory",
                                    "ID3Tags aus den Dateien des aktuellen Verzeichnisses"));
    // Words already in the pattern follow the language.
    m_pattern = translatePattern(m_pattern, l);
    showPattern();
    m_fieldLabel->hide();
}

void FromNamePage::toggleWord(TagWord word)
{
    const qsizetype before = m_pattern.size();
    m_pattern.erase(std::remove_if(m_pattern.begin(), m_pattern.end(),
                                   [word](const QString &w) { return tagWordOf(w) == word; }),
                    m_pattern.end());
    if (m_pattern.size() == before)
        m_pattern << tagWordText(word, m_language);
    showPattern();
}

void FromNamePage::showPattern()
{
    m_patternEdit->setText(patternText(m_pattern));
    for (int i = 0; i < 4; ++i) {
        const bool present = std::any_of(m_pattern.begin(), m_pattern.end(),
                                         [i](const QString &w) { return tagWordOf(w) == kWords[i]; });
        m_wordButtons[i]->setChecked(present);
    }
}

void FromNamePage::yearSourceChosen(QCheckBox *chosen)
{
    QCheckBox *other = chosen == m_yearFromFile ? m_yearFromSystem : m_yearFromFile;
    if (chosen->isChecked())
        other->setChecked(false);
    m_year->clear();
}

FromNameSettings FromNamePage::settings() const
{
    FromNameSettings s;
    s.sync = m_sync->isChecked();
    s.useTitle = m_useTitle->isChecked();
    s.title = m_title->text();
    s.useArtist = m_useArtist->isChecked();
    s.artist = m_artist->text();
    s.useAlbum = m_useAlbum->isChecked();
    s.album = m_album->text();
    s.useComment = m_useComment->isChecked();
    s.comment = m_comment->text();
    s.useGenre = m_useGenre->isChecked();
    s.genre = m_genre->currentText();
    s.useYear = m_useYear->isChecked();
    s.yearSource = m_yearFromFile->isChecked()     ? YearSource::FileDate
                   : m_yearFromSystem->isChecked() ? YearSource::Today
                                                   : YearSource::Typed;
    s.year = m_year->text();
    s.pattern = m_pattern;
    s.underscoreToSpace = m_underscore->isChecked();
    s.splitAt = m_splitAt->text();
    return s;
}

void FromNamePage::loadSettings(const KazSettings &settings, bool /*applySelection*/)
{
    m_splitAt->setText(settings.fromNameSplitAt.left(3));
}

void FromNamePage::storeSettings(KazSettings &settings) const
{
    settings.fromNameSplitAt = m_splitAt->text();
}

FolderNameOptions FromNamePage::folderNameOptions() const
{
    return {m_noticeAlbum->isChecked(), m_noticeCd->isChecked()};
}

void FromNamePage::folderNamesClicked()
{
    const QString folder = m_host.files().currentFolder();
    FolderNameFields fields{m_artist->text(), m_album->text(), m_comment->text()};
    guessFromFolderNames(folder, volumeRootOf(folder), folderNameOptions(), m_swap, fields);
    m_artist->setText(fields.artist);
    m_album->setText(fields.album);
    m_comment->setText(fields.comment);
}

void FromNamePage::showPropertiesMenu(const QPoint &at)
{
    m_properties->popup(at);
}

void FromNamePage::showFieldLabel(QLineEdit *field)
{
    m_fieldLabel->setText(field->placeholderText());
    const int height = m_fieldLabel->sizeHint().height() - 4;
    const int width = m_fieldLabel->fontMetrics().horizontalAdvance(m_fieldLabel->text()) + 14;
    const QPoint at = field->mapTo(this, QPoint(0, -height + 2));
    m_fieldLabel->setGeometry(at.x(), qMax(0, at.y()), width, height);
    m_fieldLabel->show();
    m_fieldLabel->raise();
}

bool FromNamePage::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field && field != m_fieldLabel) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseButtonPress:
        case QEvent::FocusIn:
            showFieldLabel(field);
            break;
        case QEvent::FocusOut:
            m_fieldLabel->hide();
            break;
        case QEvent::Leave:
            if (!field->hasFocus())
                m_fieldLabel->hide();
            break;
        default:
            break;
        }
    }
    return NotebookPage::eventFilter(watched, event);
}

void FromNamePage::listChanged(const ListState &state)
{
    m_hasFiles = state.count > 0;
    m_canRun = !state.driveRoot && state.count > 0;
    if (!state.running)
        enableControls();
}

void FromNamePage::enableControls()
{
    const bool on = !m_deactivated;
    for (QWidget *w : std::initializer_list<QWidget *>{m_syncGroup, m_infoGroup, m_extractionGroup})
        w->setEnabled(on);
    m_folderNames->setEnabled(on && m_hasFiles);
    m_go->setEnabled(on && m_canRun);
    if (m_folderEntry)
        m_folderEntry->setEnabled(m_hasFiles);
}

void FromNamePage::setDeactivated(bool deactivated)
{
    m_deactivated = deactivated;
    enableControls();
}

void FromNamePage::registerLocks(RunFrame &frame)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_syncGroup, m_infoGroup, m_extractionGroup, m_go})
        frame.addLocked(w);
}

void FromNamePage::go()
{
    QStringList names = m_host.files().selectedNames();
    if (names.isEmpty())
        names = m_host.files().fileNames();
    openGrid(names);
}

void FromNamePage::goWithAllFiles()
{
    openGrid(m_host.files().fileNames());
}

void FromNamePage::openGrid(const QStringList &listed)
{
    if (m_host.runFrame().running() || listed.isEmpty())
        return;
    // A tag at the end of a text, picture or WAV file damages it: as on
    // page "1", the user decides whether other files take part.
    QStringList names = listed;
    const qsizetype others = std::count_if(names.begin(), names.end(), [](const QString &n) { return !isMp3Name(n); });
    if (others > 0) {
        const Button answer = m_host.prompter().ask(
            MessageKind::Warning, ButtonSet::YesCancelIgnore,
            QString::number(others)
                + message(others == 1 ? Msg::OneNonMp3FileTag : Msg::SeveralNonMp3FilesTag, m_language));
        if (answer == Button::Cancel)
            return;
        if (answer == Button::Yes)
            names.removeIf([](const QString &n) { return !isMp3Name(n); });
        if (names.isEmpty())
            return;
    }
    m_host.showPage(2);
    const QString folder = m_host.files().currentFolder();
    QStringList paths;
    paths.reserve(names.size());
    for (const QString &name : std::as_const(names))
        paths << folder + QLatin1Char('/') + name;
    RunGuard frame(m_host.runFrame());
    FilenameToTagDialog dialog(m_language, m_host.prompter(), this);
    // "old ID3Tag" and "new ID3Tag" open the program's tag editor.
    const TagEditorOptions options = programTagEditorOptions(m_host);
    BeforeWriteTagEditor editor(programTagEditorSession(), options, &dialog);
    dialog.setTagEditor(m_tagEditor ? m_tagEditor : &editor, options.useId3v2, options.id3v2Write);
    dialog.setHelp([this] { m_host.showHelp(helpContext()); });
    dialog.load(paths, folder + QLatin1Char('/'), settings(), options.useId3v2);
    dialog.exec();
}

} // namespace kaz
