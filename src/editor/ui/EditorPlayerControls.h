#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QHBoxLayout;
class QLabel;
class QSlider;
class QTimer;
class QToolButton;
class QWidget;

namespace kaz {

class MediaPlayer;

// The tag editor's player controls for listening to the file being edited:
// play ("SpeedButton1"), pause ("SpeedButton3", in play's place while a
// song plays), stop ("SpeedButton2"), the position bar ("TrackBar1") and the
// time ("Label10"); Alt+Down plays or pauses, Alt+Up stops, Alt+Left and
// Alt+Right move the bar a step.
class EditorPlayerControls : public QObject
{
    Q_OBJECT
public:
    // path: the file the dialog shows now.
    EditorPlayerControls(QWidget &dialog, MediaPlayer &player, std::function<QString()> path);

    // The buttons and the time above each other, the bar beside them.
    QHBoxLayout *makeLayout() const;
    // A new file in the dialog: the buttons follow the player.
    void fileOpened();
    // The dialog closes: the bar stops following the player.
    void dialogClosed();
    // Stop: the player lets go of the file (before a rename).
    void stopPlaying();

private:
    void play();
    void pauseToggle();
    void barMoved();
    void tick();
    void showPlayButtons(bool playing);

    MediaPlayer &m_player;
    std::function<QString()> m_path;
    bool m_paused = false;
    QString m_playedPath; // the file the dialog last handed the player
    bool m_jumpPending = false;
    qint64 m_jumpTarget = 0;
    qint64 m_lengthSeconds = 1;

    QLabel *m_time = nullptr;
    QToolButton *m_playButton = nullptr;
    QToolButton *m_pauseButton = nullptr;
    QToolButton *m_stopButton = nullptr;
    QSlider *m_bar = nullptr;
    QTimer *m_timer = nullptr;
};

} // namespace kaz
