#pragma once

#include <functional>

/** Turns SIGTERM and SIGHUP (a session logout, `kill`) into the same quit request as closing
    the window. The handler only writes a byte to a pipe; the message thread reads it and calls
    onQuit, so shutdown code runs where it always does and the audio device closes. At most one
    instance is live; destroying it restores the previous handlers. */
class QuitSignals
{
public:
    explicit QuitSignals (std::function<void()> onQuit);
    ~QuitSignals();

    QuitSignals (const QuitSignals&) = delete;
    QuitSignals& operator= (const QuitSignals&) = delete;

    bool isInstalled() const noexcept { return installed; }

private:
    std::function<void()> onQuit;
    int pipeEnds[2] = { -1, -1 };
    bool installed = false;

    void drain();
};
