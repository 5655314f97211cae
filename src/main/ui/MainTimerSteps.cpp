#include "main/ui/MainTimerSteps.h"

#include <cmath>

namespace MainTimerSteps
{
    bool PresetFlash::tick (juce::Colour current) noexcept
    {
        const auto argb = current.getARGB();

        if (argb != presetSavedColour && argb != presetLoadedColour)
        {
            count = 0;
            return false;
        }

        if (++count > 15)
        {
            count = 0;
            return true;
        }

        return false;
    }

    //==============================================================================
    float nextFreezePhase (float phase) noexcept
    {
        phase += 0.3f;

        if (phase > 6.28f)
            phase -= 6.28f;

        return phase;
    }

    juce::Colour freezeColour (float phase) noexcept
    {
        const auto green = (juce::uint8) (int) ((std::sin (phase) * 0.5f + 0.5f) * 255.0f);
        return juce::Colour ((juce::uint8) 0xff, green, (juce::uint8) 0xff, (juce::uint8) 0xff);
    }

    //==============================================================================
    GlideStep pitchGlideStep (float value, float target, float ratePerSecond) noexcept
    {
        const float step = ratePerSecond * (1.0f / 30.0f);

        if (! std::isfinite (value) || ! std::isfinite (step))
            return { target, true };

        if (value < target)
        {
            value += step;
            if (value >= target)
                return { target, true };
        }
        else if (value > target)
        {
            value -= step;
            if (value <= target)
                return { target, true };
        }
        else
        {
            return { target, true };
        }

        return { value, false };
    }

    //==============================================================================
    MidiLamp::Change MidiLamp::tick (bool activitySeen) noexcept
    {
        if (activitySeen)
        {
            ticksLeft = 3;
            return Change::lightOn;
        }

        if (ticksLeft > 0 && --ticksLeft == 0)
            return Change::lightOff;

        return Change::none;
    }

    //==============================================================================
    juce::String meterCaption (float peakLeft, float peakRight)
    {
        const auto finite = [] (float x) { return std::isfinite (x) ? x : 0.0f; };
        const float peak = juce::jmax (finite (peakLeft), finite (peakRight));
        const float level = peak > 0.0001f ? 20.0f * std::log10 (peak) : -80.0f;

        if (level > -80.0f)
            return juce::String (level, 1) + "dB";

        return "-INF";
    }
}
