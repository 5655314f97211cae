#include <gtest/gtest.h>

#include "app/QuitSignals.h"
#include "support/MessagePump.h"

#include <csignal>

// The handler may only write; the quit itself has to happen on the message thread, once.
TEST (QuitSignals, TermAndHangupBecomeOneQuitRequestOnTheMessageThread)
{
    for (int sig : { SIGTERM, SIGHUP })
    {
        SCOPED_TRACE (sig);
        struct sigaction before {};
        ::sigaction (sig, nullptr, &before);

        int quits = 0;
        bool onMessageThread = false;
        {
            QuitSignals signals ([&]
            {
                ++quits;
                onMessageThread = juce::MessageManager::getInstance()->isThisTheMessageThread();
            });
            ASSERT_TRUE (signals.isInstalled());

            // A second instance would fight over the handlers, so it stays inert.
            QuitSignals second ([] {});
            EXPECT_FALSE (second.isInstalled());

            ::raise (sig);
            ::raise (sig);
            EXPECT_EQ (quits, 0) << "nothing runs inside the handler";
            EXPECT_TRUE (test_support::pumpUntil ([&] { return quits > 0; }));
            EXPECT_TRUE (test_support::runPendingMessages());
        }

        EXPECT_EQ (quits, 1) << "two signals before the loop ran are one request";
        EXPECT_TRUE (onMessageThread);

        struct sigaction after {};
        ::sigaction (sig, nullptr, &after);
        EXPECT_EQ (after.sa_handler, before.sa_handler) << "the previous handler is back";
    }
}
