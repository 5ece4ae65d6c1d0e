#include "EditorPlayerControls.h"

#include "editor/PlayerPosition.h"
#include "platform/MediaPlayer.h"
#include "widgets/Captions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kaz {
namespace {

constexpr int kBarMaximum = 50;
constexpr int kTickMs = 1000;
constexpr int kJumpDelayMs = 500;

} // namespace

EditorPlayerControls::EditorPlayerControls(QWidget &dialog, MediaPlayer &player, std::function<QString()> path)
    : QObject(&dialog)
    , m_player(player)
    , m_path(std::move(path))
{
    m_time = named(new QLabel(&dialog), "Label10");
    m_time->setAlignment(Qt::AlignCenter);
    m_playButton = named(new QToolButton(&dialog), "SpeedButton1");
    m_playButton->setIcon(dialog.style()->standardIcon(QStyle::SP_MediaPlay));
    m_pauseButton = named(new QToolButton(&dialog), "SpeedButton3");
    m_pauseButton->setIcon(dialog.style()->standardIcon(QStyle::SP_MediaPause));
    m_pauseButton->hide();
    m_stopButton = named(new QToolButton(&dialog), "SpeedButton2");
    m_stopButton->setIcon(dialog.style()->standardIcon(QStyle::SP_MediaStop));
    m_bar = named(new QSlider(Qt::Horizontal, &dialog), "TrackBar1");
    m_bar->setRange(0, kBarMaximum);
    m_bar->setPageStep(5);
    m_timer = new QTimer(&dialog);
    m_timer->setInterval(kTickMs);

    connect(m_playButton, &QToolButton::clicked, this, &EditorPlayerControls::play);
    connect(m_pauseButton, &QToolButton::clicked, this, &EditorPlayerControls::pauseToggle);
    connect(m_stopButton, &QToolButton::clicked, this, &EditorPlayerControls::stopPlaying);
    connect(m_bar, &QSlider::actionTriggered, this,
            [this] { QTimer::singleShot(0, this, &EditorPlayerControls::barMoved); });
    connect(m_timer, &QTimer::timeout, this, &EditorPlayerControls::tick);
    const auto shortcut = [this, &dialog](QKeyCombination keys, auto slot) {
        auto *s = new QShortcut(QKeySequence(keys), &dialog);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(Qt::ALT | Qt::Key_Down, [this] {
        if (m_player.isPlaying())
            pauseToggle();
        else
            play();
    });
    shortcut(Qt::ALT | Qt::Key_Up, [this] { stopPlaying(); });
    shortcut(Qt::ALT | Qt::Key_Left, [this] { m_bar->triggerAction(QAbstractSlider::SliderSingleStepSub); });
    shortcut(Qt::ALT | Qt::Key_Right, [this] { m_bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); });
}

QHBoxLayout *EditorPlayerControls::makeLayout() const
{
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_playButton);
    buttons->addWidget(m_pauseButton);
    buttons->addWidget(m_stopButton);
    auto *box = new QVBoxLayout;
    box->addLayout(buttons);
    box->addWidget(m_time);
    auto *row = new QHBoxLayout;
    row->addLayout(box);
    row->addWidget(m_bar, 1);
    return row;
}

void EditorPlayerControls::fileOpened()
{
    m_jumpPending = false;
    showPlayButtons(m_player.isPlaying());
    if (m_player.isPlaying())
        m_timer->start(kTickMs);
}

void EditorPlayerControls::dialogClosed()
{
    m_timer->stop();
    m_jumpPending = false;
    showPlayButtons(m_player.isPlaying() && !m_paused);
    m_bar->setValue(0);
}

void EditorPlayerControls::showPlayButtons(bool playing)
{
    m_playButton->setVisible(!playing);
    m_pauseButton->setVisible(playing);
}

void EditorPlayerControls::play()
{
    // Only a pause of this file resumes; a song the player held from before
    // (or from the previous file) gives way to the file being edited.
    const QString path = m_path();
    if (m_paused && m_playedPath == path) {
        pauseToggle();
        return;
    }
    // The configured player is started when none runs; without one the
    // calls below do nothing.
    m_player.launch();
    m_player.clearPlaylist();
    m_player.addFile(path);
    m_player.startPlaying();
    m_playedPath = path;
    m_paused = false;
    showPlayButtons(true);
    m_timer->start(kTickMs);
}

void EditorPlayerControls::pauseToggle()
{
    m_player.pauseToggle();
    m_paused = !m_paused;
    showPlayButtons(!m_paused);
}

void EditorPlayerControls::stopPlaying()
{
    m_time->setText(QString());
    m_bar->setValue(0);
    m_timer->stop();
    m_jumpPending = false;
    m_paused = false;
    m_player.stop();
    showPlayButtons(false);
}

void EditorPlayerControls::barMoved()
{
    m_lengthSeconds = qMax<qint64>(1, m_player.length() / 1000);
    m_jumpTarget = jumpTarget(m_bar->value(), m_lengthSeconds, kBarMaximum);
    m_time->setText(playerTimeText(m_jumpTarget, m_lengthSeconds));
    m_jumpPending = true;
    m_timer->start(kJumpDelayMs);
}

void EditorPlayerControls::tick()
{
    if (m_jumpPending) {
        m_jumpPending = false;
        m_player.jumpTo(m_jumpTarget);
        m_timer->start(kTickMs);
        return;
    }
    m_lengthSeconds = qMax<qint64>(1, m_player.length() / 1000);
    if (!m_bar->isSliderDown())
        m_bar->setValue(barPosition(m_player.position(), m_lengthSeconds, kBarMaximum));
}

} // namespace kaz
