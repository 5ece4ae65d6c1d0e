#pragma once

#include <QString>

namespace kaz {

// The outside media player that KAZ keeps working on renamed files. The
// operations are those of the classic player remote control; positions and
// lengths are in milliseconds. An implementation talks to a real player; the
// null player answers "not running" to everything, so that every caller can
// skip its player steps without testing for a player itself. What a player
// cannot do is skipped silently.
class MediaPlayer
{
public:
    virtual ~MediaPlayer() = default;

    virtual bool isRunning() = 0;
    // Starts the configured player when none runs and waits a limited time
    // for it. False when no player runs afterwards; errorText() then says
    // why, or is empty when there is simply no player to start.
    virtual bool launch() { return isRunning(); }
    virtual QString errorText() const { return {}; }
    // Playing or paused.
    virtual bool isPlaying() = 0;
    virtual bool isPaused() { return false; }
    virtual qint64 position() = 0;
    virtual qint64 length() = 0;
    // The file being played, when the player can tell.
    virtual QString currentFile() = 0;

    virtual void clearPlaylist() = 0;
    virtual void addFile(const QString &path) = 0;
    virtual void startPlaying() = 0;
    virtual void jumpTo(qint64 position) = 0;
    virtual void play() = 0;
    virtual void pauseToggle() = 0;
    virtual void stop() = 0;
    virtual void next() = 0;

    // Plays the file at index (0-based) of a play list just filled by
    // clearPlaylist() and addFile(). The classic player stays on the first
    // file after a clear, so stop, skip and play lead there.
    virtual void playFromList(qsizetype index)
    {
        stop();
        for (qsizetype i = 0; i < index; ++i)
            next();
        play();
    }
};

class NullMediaPlayer : public MediaPlayer
{
public:
    bool isRunning() override { return false; }
    bool launch() override { return false; }
    bool isPlaying() override { return false; }
    qint64 position() override { return 0; }
    qint64 length() override { return 0; }
    QString currentFile() override { return {}; }
    void clearPlaylist() override {}
    void addFile(const QString &) override {}
    void startPlaying() override {}
    void jumpTo(qint64) override {}
    void play() override {}
    void pauseToggle() override {}
    void stop() override {}
    void next() override {}
    void playFromList(qsizetype) override {}
};

// The player for callers that were given none.
MediaPlayer &nullMediaPlayer();

} // namespace kaz
