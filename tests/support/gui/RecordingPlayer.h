#pragma once

#include "platform/MediaPlayer.h"

#include <QStringList>

namespace kaz::test {

// A player that is always running and records what the program asks of it:
// "clear", "add <path>", "start", "jump <ms>", "pause", "stop", "next".
class RecordingPlayer : public NullMediaPlayer
{
public:
    bool launch() override { return true; }
    bool isRunning() override { return true; }
    bool isPlaying() override { return playing; }
    qint64 position() override { return positionMs; }
    qint64 length() override { return lengthMs; }
    void clearPlaylist() override { calls << QStringLiteral("clear"); }
    void addFile(const QString &path) override { calls << QStringLiteral("add ") + path; }
    void startPlaying() override
    {
        calls << QStringLiteral("start");
        playing = true;
    }
    void jumpTo(qint64 position) override { calls << QStringLiteral("jump %1").arg(position); }
    void pauseToggle() override { calls << QStringLiteral("pause"); }
    void stop() override
    {
        calls << QStringLiteral("stop");
        playing = false;
    }
    void next() override { calls << QStringLiteral("next"); }

    QStringList calls;
    bool playing = false;
    qint64 positionMs = 0;
    qint64 lengthMs = 0;
};

} // namespace kaz::test
