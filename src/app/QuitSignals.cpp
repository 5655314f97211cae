#include "app/QuitSignals.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <fcntl.h>
#include <unistd.h>

namespace
{
    constexpr int handledSignals[] = { SIGTERM, SIGHUP };
    std::atomic<int> wakeFd { -1 };
    struct sigaction previous[std::size (handledSignals)];

    extern "C" void onQuitSignal (int)
    {
        const int savedErrno = errno;
        const char byte = 1;

        if (const int fd = wakeFd.load(); fd >= 0)
            [[maybe_unused]] auto written = ::write (fd, &byte, 1);

        errno = savedErrno;
    }
}

QuitSignals::QuitSignals (std::function<void()> callback)
    : onQuit (std::move (callback))
{
    if (wakeFd.load() >= 0 || ::pipe (pipeEnds) != 0)
        return;

    for (int fd : pipeEnds)
    {
        ::fcntl (fd, F_SETFL, ::fcntl (fd, F_GETFL) | O_NONBLOCK);
        ::fcntl (fd, F_SETFD, FD_CLOEXEC);
    }

    juce::LinuxEventLoop::registerFdCallback (pipeEnds[0], [this] (int) { drain(); });
    wakeFd = pipeEnds[1];

    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;

    for (size_t i = 0; i < std::size (handledSignals); ++i)
        ::sigaction (handledSignals[i], &action, &previous[i]);

    installed = true;
}

QuitSignals::~QuitSignals()
{
    if (installed)
    {
        for (size_t i = 0; i < std::size (handledSignals); ++i)
            ::sigaction (handledSignals[i], &previous[i], nullptr);

        wakeFd = -1;
        juce::LinuxEventLoop::unregisterFdCallback (pipeEnds[0]);
    }

    for (int fd : pipeEnds)
        if (fd >= 0)
            ::close (fd);
}

void QuitSignals::drain()
{
    char bytes[16];
    bool signalled = false;

    while (::read (pipeEnds[0], bytes, sizeof (bytes)) > 0)
        signalled = true;

    if (signalled && onQuit)
        onQuit();
}
