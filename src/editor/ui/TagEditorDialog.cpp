#include "TagEditorDialog.h"

#include "EditorPlayerControls.h"

#include "tags/Genres.h"

#include "platform/MediaPlayer.h"
#include "platform/PathParts.h"
#include "widgets/HelpWindow.h"
#include "widgets/StatusLine.h"
#include "widgets/Captions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kaz {
namespace {

constexpr int kLongFieldLimit = 255;

// The track field: emptied, it holds no track (0) instead of taking its
// number back when the focus leaves it.
class TrackBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString &input, int &pos) const override
    {
        return input.trimmed().isEmpty() ? QValidator::Acceptable : QSpinBox::validate(input, pos);
    }
    int valueFromText(const QString &text) const override
    {
        return text.trimmed().isEmpty() ? minimum() : QSpinBox::valueFromText(text);
    }
};

} // namespace

TagEditorDialog::TagEditorDialog(TagEditorSession &session, const TagContext &context, MediaPlayer &player,
                                 QWidget *parent)
    : QDialog(parent)
    , m_model(session, context)
    , m_player(player)
    , m_beep([] { QApplication::beep(); })
{
    setObjectName(QStringLiteral("TOKHelpRightDlg"));
    setModal(true);
    buildControls();
    buildMenus();
    buildLayout();
    connectControls();
    applyLanguage(context.language);
}

TagEditorDialog::~TagEditorDialog()
{
    // The values "Save and copy" remembered belong to this editor run.
    m_model.session().carryOver.clear();
}

void TagEditorDialog::buildControls()
{
    m_header = named(new QLabel(this), "Label7");
    QFont bold = m_header->font();
    bold.setBold(true);
    m_header->setFont(bold);
    m_writes = named(new QLabel(this), "WritesLabel");
    m_source = named(new QLabel(this), "SourceLabel");
    m_source->hide();
    m_nameLabel = named(new QLabel(this), "Label8");
    m_titleLabel = named(new QLabel(this), "Label1");
    m_artistLabel = named(new QLabel(this), "Label2");
    m_albumLabel = named(new QLabel(this), "Label3");
    m_commentLabel = named(new QLabel(this), "Label4");
    m_trackLabel = named(new QLabel(this), "Label9");
    m_yearLabel = named(new QLabel(this), "Label5");
    m_genreLabel = named(new QLabel(this), "Label6");

    m_name = named(new QLineEdit(this), "Trackname");
    m_title = named(new QLineEdit(this), "Edit3");
    m_artist = named(new QLineEdit(this), "Edit1");
    m_album = named(new QLineEdit(this), "Edit2");
    m_comment = named(new QLineEdit(this), "Edit4");
    m_year = named(new QLineEdit(this), "Edit5");
    for (QLineEdit *edit : {m_title, m_artist, m_album})
        edit->setMaxLength(kLongFieldLimit);
    m_comment->setMaxLength(30);
    m_year->setMaxLength(4);
    m_year->setMaximumWidth(60);
    m_track = named(new TrackBox(this), "SpinEdit1");
    // Typed values above 255 are taken and turned into 0 (no track).
    m_track->setRange(0, 999);
    m_track->setSpecialValueText(QStringLiteral(" ")); // 0: no track, shown empty
    m_genre = named(new QComboBox(this), "ComboBox1");
    m_genre->addItem(QString());
    m_genre->addItems(sortedGenreNames());
    m_genre->setMaxVisibleItems(20);
    m_sampler = named(new QCheckBox(this), "CheckBox1");

    m_ok = named(new QPushButton(this), "OKBtn");
    m_ok->setDefault(true);
    m_saveCopy = named(new QPushButton(this), "Button6");
    m_skip = named(new QPushButton(this), "Button5");
    m_cancel = named(new QPushButton(this), "CancelBtn");
    m_helpButton = named(new QPushButton(this), "HelpBtn");
    m_copy = named(new QPushButton(this), "Button1");
    m_insert = named(new QPushButton(this), "Button2");
    // The clipboard outlives the dialog: what an earlier run copied can be inserted.
    m_insert->setEnabled(m_model.session().clipboard.isFilled());
    m_folders = named(new QPushButton(this), "Button3");
    m_strip = named(new QPushButton(this), "BitBtn2");
    m_unstrip = named(new QPushButton(this), "BitBtn1");
    m_unstrip->setCheckable(true); // looks pressed while the tag is marked for removal
    m_unstrip->setChecked(true);
    m_unstrip->hide();
    m_undo = named(new QPushButton(this), "Button4");
    m_undo->setEnabled(false);
    for (QPushButton *button : {m_saveCopy, m_skip, m_cancel, m_helpButton, m_copy, m_insert, m_folders, m_strip,
                                m_unstrip, m_undo})
        button->setAutoDefault(false);

    m_rename = named(new QToolButton(this), "BitBtn3");
    m_rename->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_playerControls = new EditorPlayerControls(*this, m_player, [this] { return m_model.path(); });

    m_folderLine = new StatusLine(QStringLiteral("StatusBar1"), this);
    m_folderLine->setScrollable(true);
    m_folderLine->setFrameShape(QFrame::Panel);
    m_folderLine->setFrameShadow(QFrame::Sunken);
    m_orderLine = named(new QLabel(this), "StatusBar2");
    m_orderLine->setFrameShape(QFrame::Panel);
    m_orderLine->setFrameShadow(QFrame::Sunken);
    m_orderLine->setAlignment(Qt::AlignCenter);
    m_orderLine->setMinimumWidth(60);
}

void TagEditorDialog::buildMenus()
{
    m_clipboardMenu = named(new QMenu(this), "PopupMenu2");
    const char *fields[] = {"Title1", "Artist1", "Album1", "Comment1", "Year1", "Genre1"};
    for (int f = 0; f < TagClipboard::FieldCount; ++f) {
        QAction *item = m_clipboardMenu->addAction(QString());
        item->setObjectName(QLatin1String(fields[f]));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, f](bool on) {
            m_model.session().clipboard.setChosen(TagClipboard::Field(f), on);
            popupAtSameSpot(m_clipboardMenu, m_clipboardMenu->pos());
        });
    }
    m_clipboardMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    m_clipboardMenu->addAction(QStringLiteral("Exit"))->setObjectName(QStringLiteral("Exit1"));

    m_folderMenu = named(new QMenu(this), "PopupMenu1");
    QAction *album = m_folderMenu->addAction(QString());
    album->setObjectName(QStringLiteral("noticealbum1"));
    QAction *cd = m_folderMenu->addAction(QString());
    cd->setObjectName(QStringLiteral("noticeCD1"));
    for (QAction *item : {album, cd}) {
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, album, cd] {
            m_model.session().folderNames = {album->isChecked(), cd->isChecked()};
            popupAtSameSpot(m_folderMenu, m_folderMenu->pos());
        });
    }
    m_folderMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
    m_folderMenu->addAction(QStringLiteral("Exit"))->setObjectName(QStringLiteral("Exit2"));

    for (QPushButton *button : {m_insert, m_folders})
        button->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_insert, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        const TagClipboard &clip = m_model.session().clipboard;
        const QList<QAction *> items = m_clipboardMenu->actions();
        for (int f = 0; f < TagClipboard::FieldCount; ++f)
            items[f]->setChecked(clip.isChosen(TagClipboard::Field(f)));
        m_clipboardMenu->popup(m_insert->mapToGlobal(p) + QPoint(-5, 5));
    });
    connect(m_folders, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        const FolderNameOptions &props = m_model.session().folderNames;
        m_folderMenu->actions().at(0)->setChecked(props.noticeAlbum);
        m_folderMenu->actions().at(1)->setChecked(props.noticeCd);
        m_folderMenu->popup(m_folders->mapToGlobal(p) + QPoint(-5, 5));
    });
}

void TagEditorDialog::buildLayout()
{
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(m_name, 1);
    nameRow->addWidget(m_rename);
    nameRow->addWidget(m_undo);

    auto *numbers = new QHBoxLayout;
    numbers->addWidget(m_year);
    numbers->addSpacing(8);
    numbers->addWidget(m_trackLabel);
    numbers->addWidget(m_track);
    numbers->addSpacing(8);
    numbers->addWidget(m_genreLabel);
    numbers->addWidget(m_genre, 1);
    numbers->addWidget(m_sampler);

    auto *grid = new QGridLayout;
    grid->addWidget(m_nameLabel, 0, 0);
    grid->addLayout(nameRow, 0, 1);
    grid->addWidget(m_titleLabel, 1, 0);
    grid->addWidget(m_title, 1, 1);
    grid->addWidget(m_artistLabel, 2, 0);
    grid->addWidget(m_artist, 2, 1);
    grid->addWidget(m_albumLabel, 3, 0);
    grid->addWidget(m_album, 3, 1);
    grid->addWidget(m_commentLabel, 4, 0);
    grid->addWidget(m_comment, 4, 1);
    grid->addWidget(m_yearLabel, 5, 0);
    grid->addLayout(numbers, 5, 1);
    grid->setColumnMinimumWidth(0, 120);

    auto *stripButtons = new QHBoxLayout;
    stripButtons->addStretch(1);
    stripButtons->addWidget(m_strip);
    stripButtons->addWidget(m_unstrip);
    auto *tools = new QGridLayout;
    tools->addWidget(m_copy, 0, 0);
    tools->addWidget(m_insert, 1, 0);
    tools->addWidget(m_folders, 0, 1);
    tools->addLayout(stripButtons, 1, 1);

    QHBoxLayout *player = m_playerControls->makeLayout();

    auto *bevel = named(new QFrame(this), "Bevel1");
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_saveCopy);
    buttons->addWidget(m_skip);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_helpButton);

    auto *status = new QHBoxLayout;
    status->addWidget(m_orderLine);
    status->addWidget(m_folderLine, 1);

    auto *headerRow = new QHBoxLayout;
    headerRow->addWidget(m_header);
    headerRow->addSpacing(12);
    headerRow->addWidget(m_writes);
    headerRow->addWidget(m_source, 1, Qt::AlignRight);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(headerRow);
    layout->addLayout(grid);
    layout->addLayout(tools);
    layout->addLayout(player);
    layout->addWidget(bevel);
    layout->addLayout(buttons);
    layout->addLayout(status);
    setMinimumWidth(560);

    // The Enter order of the fields.
    for (QWidget *w : {static_cast<QWidget *>(m_title), static_cast<QWidget *>(m_artist),
                       static_cast<QWidget *>(m_album), static_cast<QWidget *>(m_comment),
                       static_cast<QWidget *>(m_year), static_cast<QWidget *>(m_genre)})
        w->installEventFilter(this);
    m_name->installEventFilter(this);
}

void TagEditorDialog::connectControls()
{
    connect(m_ok, &QPushButton::clicked, this, [this] { closeWith(EditorClose::Save); });
    connect(m_saveCopy, &QPushButton::clicked, this, [this] { closeWith(EditorClose::SaveAndCopy); });
    connect(m_skip, &QPushButton::clicked, this, [this] { closeWith(EditorClose::Skip); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { closeWith(EditorClose::Exit); });
    addHelpButtonAndKey(this, m_helpButton, [this] {
        if (m_help)
            m_help();
    });
    connect(m_copy, &QPushButton::clicked, this, &TagEditorDialog::copyToClipboard);
    connect(m_insert, &QPushButton::clicked, this, &TagEditorDialog::insertFromClipboard);
    connect(m_folders, &QPushButton::clicked, this, &TagEditorDialog::guessFromFolderNames);
    connect(m_strip, &QPushButton::clicked, this, &TagEditorDialog::strip);
    connect(m_unstrip, &QPushButton::clicked, this, &TagEditorDialog::takeBackStrip);
    connect(m_rename, &QToolButton::clicked, this, &TagEditorDialog::renameNow);
    connect(m_undo, &QPushButton::clicked, this, &TagEditorDialog::undoName);
    connect(m_name, &QLineEdit::textEdited, this, &TagEditorDialog::nameEdited);
    connect(m_name, &QLineEdit::textChanged, this, &TagEditorDialog::updateUndoButton);
    for (QLineEdit *edit : {m_title, m_artist, m_album})
        connect(edit, &QLineEdit::textEdited, this, &TagEditorDialog::updateLabels);
    connect(m_track, &QSpinBox::valueChanged, this, [this](int value) {
        if (value > 255)
            m_track->setValue(0);
    });
    connect(m_folderLine, &StatusLine::resetRequested, this, [this] {
        m_folderLine->setText(folderOf(m_model.path()));
    });
    connect(m_sampler, &QCheckBox::toggled, this, [this](bool on) { m_model.session().sampler = on; });
}

void TagEditorDialog::applyLanguage(Language l)
{
    m_language = l;
    setWindowTitle(text(l, "Edit ID3Tag/filename", "Ändere ID3Tag/Dateiname"));
    m_nameLabel->setText(text(l, "Filename", "Dateiname"));
    m_commentLabel->setText(text(l, "Comment", "Kommentar"));
    m_trackLabel->setText(text(l, "Track #", "Lied #"));
    m_yearLabel->setText(text(l, "Year", "Jahr"));
    m_genreLabel->setText(QStringLiteral("Genre"));
    m_sampler->setText(QStringLiteral("Sa&mpler"));
    m_ok->setText(m_saveAndNext ? text(l, "&Save && next", "&Speichern && weiter") : text(l, "&Save", "&Speichern"));
    m_saveCopy->setText(text(l, "Save and c&opy", "Speichern und k&opiere"));
    m_skip->setText(text(l, "S&kip", "&Überspringen"));
    m_cancel->setText(text(l, "E&xit", "E&nde"));
    m_helpButton->setText(text(l, "&Help", "&Hilfe"));
    m_copy->setText(text(l, "Save tags to internal clipboard", "Kopiere Tags in int. Zwischenablage"));
    m_insert->setText(text(l, "Insert tags from internal clipboard", "Lade Tags aus int. Zwischenablage"));
    const QString rightClick = text(l, "rightclick for properties", "Rechtsklick für Eigenschaften");
    m_insert->setToolTip(rightClick);
    m_folders->setText(text(l, "&Get artist && album from directorynames", "Ho&le Interpret && Album von Verzeichnisnamen"));
    m_folders->setToolTip(rightClick);
    m_strip->setText(text(l, "(Strip)", "(Löschen)"));
    m_unstrip->setText(text(l, "(Strip)", "(Löschen)"));
    const QString stripsEnd = text(l, "removes the ID3v1 tag and the Lyrics3 block at the file's end; an ID3v2 tag stays",
                                   "entfernt ID3v1-Tag und Lyrics3-Block am Dateiende; ein ID3v2-Tag bleibt");
    m_strip->setToolTip(stripsEnd);
    m_unstrip->setToolTip(stripsEnd);
    m_undo->setText(text(l, "&Undo", "&Rückgängig"));
    m_rename->setToolTip(text(l, "save filename", "Spechern des Dateinamen"));
    m_folderLine->setToolTip(text(l, "text scrolls while moving and pressing down left mousebutton, doubleclick resets text",
                                  "Text rollt bei Mausbewegung mit gedrückter linker Maustaste, Doppelklick setzt den Text zurück"));
    m_orderLine->setToolTip(text(l, "order of selections are shown here", "Reihenfolge der Auswahl wird hier angezeigt"));
    const char *clipboardItems[][2] = {{"Title", "Titel"}, {"Artist", "Interpret"}, {"Album", "Album"},
                                       {"Comment", "Kommentar"}, {"Year", "Jahr"}, {"Genre", "Genre"}};
    const QList<QAction *> items = m_clipboardMenu->actions();
    for (int f = 0; f < TagClipboard::FieldCount; ++f)
        items[f]->setText(text(l, clipboardItems[f][0], clipboardItems[f][1]));
    m_folderMenu->actions().at(0)->setText(QStringLiteral("notice album/sampler directory"));
    m_folderMenu->actions().at(1)->setText(QStringLiteral("notice CD-directories using comment"));
    resetLongLabels();
    showSource();
}

void TagEditorDialog::showSource()
{
    const TagRecord &tag = m_model.tag();
    m_source->setText(id3v2SourceText(tag.fromId3v2 ? tag.id3v2->version : 0, m_language));
    m_source->setVisible(tag.fromId3v2);
}

void TagEditorDialog::resetLongLabels()
{
    m_titleLabel->setText(longFieldName(LongField::Title, m_language));
    m_artistLabel->setText(longFieldName(LongField::Artist, m_language));
    m_albumLabel->setText(longFieldName(LongField::Album, m_language));
}

void TagEditorDialog::setSequence(int position, int count)
{
    m_orderLine->setText(sequenceText(position, count));
    m_sampler->setEnabled(count > 1);
    m_sampler->setChecked(m_model.session().sampler && count > 1);
}

void TagEditorDialog::openFile(const QString &path)
{
    m_model.open(path);
    m_close = EditorClose::Exit;
    m_filling = true;
    m_name->setText(nameWithoutMp3(path));
    m_filling = false;
    m_folderLine->setText(folderOf(path));
    showFields();
    m_header->setText(headerText(m_model.openingHeader(), m_language));
    m_writes->setText(QStringLiteral("(") + m_model.savedTags() + QLatin1Char(')'));
    showSource();
    updateStripButtons();
    updateUndoButton();
    m_playerControls->fileOpened();
    m_title->setFocus();
}

void TagEditorDialog::showValues(const TagValues &values)
{
    m_model.showValues(values);
    showFields();
    updateHeader();
}

void TagEditorDialog::readControls()
{
    EditorFields &f = m_model.fields();
    f.title = m_title->text();
    f.artist = m_artist->text();
    f.album = m_album->text();
    f.comment = m_comment->text();
    f.year = m_year->text();
    f.track = m_track->value() <= 255 ? m_track->value() : 0;
    f.genre = m_genre->currentText();
}

void TagEditorDialog::showFields()
{
    const EditorFields &f = m_model.fields();
    m_title->setText(f.title);
    m_artist->setText(f.artist);
    m_album->setText(f.album);
    m_comment->setText(f.comment);
    m_year->setText(f.year);
    m_track->setValue(f.track);
    const int genre = m_genre->findText(f.genre, Qt::MatchExactly);
    m_genre->setCurrentIndex(genre < 0 ? 0 : genre);
    // The lengths shown while typing belong to the texts typed.
    resetLongLabels();
}

void TagEditorDialog::updateLabels()
{
    // Only the field being typed shows its length.
    QObject *typed = sender();
    const struct {
        QLineEdit *edit;
        QLabel *label;
        LongField field;
    } longFields[] = {{m_title, m_titleLabel, LongField::Title},
                      {m_artist, m_artistLabel, LongField::Artist},
                      {m_album, m_albumLabel, LongField::Album}};
    for (const auto &f : longFields) {
        if (typed == f.edit)
            f.label->setText(longFieldLabel(f.field, f.edit->text(), m_language));
    }
    if (qobject_cast<QLineEdit *>(typed))
        updateHeader();
}

void TagEditorDialog::updateStripButtons()
{
    const bool stripped = m_model.isStripped();
    m_strip->setVisible(!stripped);
    m_strip->setEnabled(m_model.canStrip());
    m_unstrip->setVisible(stripped);
    m_unstrip->setChecked(true);
    m_genre->setEnabled(!stripped);
}

void TagEditorDialog::updateUndoButton()
{
    m_undo->setEnabled(m_model.canUndoName(m_name->text()));
}

void TagEditorDialog::closeWith(EditorClose close)
{
    readControls();
    m_close = close;
    if (close == EditorClose::Save || close == EditorClose::SaveAndCopy) {
        m_model.save(m_name->text(), close == EditorClose::SaveAndCopy);
        if (m_model.isStripped())
            m_close = EditorClose::Skip; // the sequence goes on as after Skip
    } else if (close == EditorClose::Skip) {
        m_model.skip();
    }
    if (close == EditorClose::Exit)
        reject();
    else
        accept();
}

void TagEditorDialog::done(int result)
{
    // Closed by the window's close button or Escape: as Exit.
    if (result == QDialog::Rejected)
        m_close = EditorClose::Exit;
    m_playerControls->dialogClosed();
    QDialog::done(result);
}

void TagEditorDialog::copyToClipboard()
{
    readControls();
    m_model.copyToClipboard();
    m_insert->setEnabled(true);
}

void TagEditorDialog::insertFromClipboard()
{
    readControls();
    if (!m_model.insertFromClipboard())
        return;
    showFields();
    updateStripButtons();
    updateHeader();
}

void TagEditorDialog::guessFromFolderNames()
{
    readControls();
    m_model.guessFromFolderNames();
    showFields();
    updateHeader();
}

void TagEditorDialog::strip()
{
    readControls();
    m_model.strip();
    showFields();
    updateStripButtons();
    updateHeader();
}

void TagEditorDialog::takeBackStrip()
{
    m_model.takeBackStrip();
    showFields();
    updateStripButtons();
    updateHeader();
}

void TagEditorDialog::updateHeader()
{
    m_header->setText(headerText(headerFor(m_title->text(), m_artist->text(), m_album->text()), m_language));
}

void TagEditorDialog::renameNow()
{
    m_playerControls->stopPlaying(); // the player lets go of the file first
    m_model.rename(m_name->text());
    m_name->setText(nameWithoutMp3(m_model.path()));
    updateUndoButton();
}

void TagEditorDialog::undoName()
{
    m_model.undoName();
    m_name->setText(m_model.nameOnEntry());
    updateUndoButton();
}

void TagEditorDialog::nameEdited(const QString &typed)
{
    const QString clean = withoutForbiddenChars(typed);
    if (clean == typed)
        return;
    m_name->setText(clean);
    m_name->setCursorPosition(int(clean.size()));
    if (m_beep)
        m_beep();
}

void TagEditorDialog::popupAtSameSpot(QMenu *menu, const QPoint &pos)
{
    QTimer::singleShot(0, menu, [menu, pos] { menu->popup(pos); });
}

bool TagEditorDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_name) {
        if (event->type() == QEvent::FocusIn) {
            m_model.enterName(m_name->text());
            updateUndoButton();
        } else if (event->type() == QEvent::FocusOut && m_name->text().trimmed().isEmpty()) {
            m_name->setText(m_model.nameOnEntry());
        }
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            QWidget *order[] = {m_title, m_artist, m_album, m_comment, m_year, m_genre};
            for (int i = 0; i < 6; ++i) {
                if (order[i] == watched) {
                    QWidget *next = order[(i + 1) % 6];
                    next->setFocus(Qt::TabFocusReason);
                    if (auto *edit = qobject_cast<QLineEdit *>(next))
                        edit->selectAll();
                    return true;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kaz
