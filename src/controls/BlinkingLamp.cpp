#include "controls/BlinkingLamp.h"

#include <juce_core/juce_core.h>

#include <cmath>

double BlinkingLamp::periodMs (float position) noexcept
{
    if (position <= 0.5f || position > 0.98f)
        return 0.0;

    // 2 Hz just above the middle, rising linearly to 9.68 Hz at 0.98.
    return 1000.0 / (16.0 * (double) (position - 0.5f) + 2.0);
}

bool BlinkingLamp::isLit (float position, double nowMs) noexcept
{
    if (position > 0.98f)
        return true;

    const auto period = periodMs (position);

    if (period <= 0.0)
        return false;

    // The clock is kept in double: as a float the counter loses whole blink periods after a
    // few days of uptime and the lamp would freeze.
    return std::fmod (nowMs, period) < period * 0.5;
}

bool BlinkingLamp::isLitNow (float position) noexcept
{
    return isLit (position, juce::Time::getMillisecondCounterHiRes());
}
