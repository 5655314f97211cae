#pragma once

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>
#include <memory>

// Tests that need posted messages delivered run the message loop until what they wait for has
// happened, not for a fixed pause: a pause is too short on a loaded machine and wasted on any
// other. Every wait here ends, at the latest when its time is up.
namespace test_support
{
    /** Runs the message loop until the condition holds; false when timeoutMs passed first. */
    inline bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 10000)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

        while (! condition())
        {
            if (juce::Time::getMillisecondCounter() > end)
                return false;

            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        }

        return true;
    }

    /** Runs the message loop for the whole time, for checks that something does not arrive. */
    inline void pumpFor (int milliseconds)
    {
        pumpUntil ([] { return false; }, milliseconds);
    }

    /** Delivers every message posted before the call, and the ones their handlers post in turn
        (rounds generations deep). Messages arrive in the order they were posted, so a marker
        posted last has run once everything ahead of it has. False if a marker never ran. */
    inline bool runPendingMessages (int rounds = 2)
    {
        for (int round = 0; round < rounds; ++round)
        {
            auto delivered = std::make_shared<std::atomic<bool>> (false);
            juce::MessageManager::callAsync ([delivered] { delivered->store (true); });

            if (! pumpUntil ([delivered] { return delivered->load(); }))
                return false;
        }

        return true;
    }
}
