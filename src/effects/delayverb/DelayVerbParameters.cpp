#include "effects/delayverb/DelayVerbParameters.h"

#include <cmath>

const std::array<PanelKnobSpec, DelayVerbParameters::numKnobs>& DelayVerbParameters::knobTable() noexcept
{
    static const std::array<PanelKnobSpec, numKnobs> table {{
        { "TIME", 0.5, 5000, 250, "ms", "Delay time" },
        { "FDBK", 0, 95, 30, "%", "Feedback amount" },
        { "D L", 0, 100, 0, "%", "Delay Left mix" },
        { "D R", 0, 100, 0, "%", "Delay Right mix" },
        { "D LPF", 500, 20000, 12000, "Hz", "Feedback lowpass" },
        { "D HPF", 20, 2000, 80, "Hz", "Feedback highpass" },
        { "STEREO", 0, 50, 10, "ms", "Stereo offset" },
        { "D MOD", 0, 20, 2, "ms", "Delay modulation" },
        { "D RATE", 0.05, 10, 1, "Hz", "Mod rate" },
        { "D DUCK", 0, 24, 0, "dB", "Delay ducking" },
        { "PRE", 0, 200, 20, "ms", "Pre-delay" },
        { "DECAY", 0.1, 20, 2.5, "s", "RT60 decay time" },
        { "SIZE", 10, 100, 50, "%", "Room size" },
        { "R L", 0, 100, 0, "%", "Reverb Left mix" },
        { "R R", 0, 100, 0, "%", "Reverb Right mix" },
        { "DAMP", 0, 100, 40, "%", "HF damping" },
        { "R LO", 20, 500, 80, "Hz", "Reverb low cut" },
        { "R HI", 1000, 20000, 10000, "Hz", "Reverb high cut" },
        { "EARLY", 0, 100, 50, "%", "Early reflections" },
        { "LATE", 0, 100, 70, "%", "Late reverb level" },
        { "WIDTH", 0, 200, 100, "%", "Stereo width" },
        { "R MOD", 0, 5, 1, "ms", "Reverb modulation" },
        { "R RATE", 0.1, 3, 0.5, "Hz", "Reverb mod rate" },
        { "R DUCK", 0, 24, 0, "dB", "Reverb ducking" },
    }};
    return table;
}

const PanelKnobSpec& DelayVerbParameters::noteSpec() noexcept
{
    static const PanelKnobSpec spec { "NOTE", 0, 5, 2, "", "1/32, 1/16, 1/8, 1/4, 1/2, 1/1" };
    return spec;
}

const PanelKnobSpec& DelayVerbParameters::typeSpec() noexcept
{
    static const PanelKnobSpec spec { "TYPE", 0, 2, 0, "", "Normal/Dotted/Triplet" };
    return spec;
}

double DelayVerbParameters::knobInterval (const PanelKnobSpec& spec) noexcept
{
    return spec.maximum - spec.minimum > 100.0 ? 1.0 : 0.01;
}

double DelayVerbParameters::snappedDefault (const PanelKnobSpec& spec, double interval) noexcept
{
    // The same rounding a juce::Slider applies when it snaps a value to its step.
    return spec.minimum + interval * std::floor ((spec.defaultValue - spec.minimum) / interval + 0.5);
}

DelayVerbParameters::DelayVerbParameters() noexcept
{
    const auto& table = knobTable();
    for (size_t i = 0; i < knobs.size(); ++i)
        knobs[i].store ((float) snappedDefault (table[i], knobInterval (table[i])), std::memory_order_relaxed);
}

namespace delayverb
{
    int noteIndex (float note) noexcept
    {
        // Comparisons rather than a cast, so values beyond int (and NaN) stay defined.
        if (! (note >= 1.0f)) return 0;
        return note >= 5.0f ? 5 : (int) note;
    }

    int typeIndex (float type) noexcept
    {
        if (type >= 1.0f && type < 2.0f) return 1;
        if (type >= 2.0f && type < 3.0f) return 2;
        return 0;
    }

    float syncedDelayMs (float bpm, float note, float type) noexcept
    {
        // A NaN or infinite tempo would give a delay no line can hold; it counts as no tempo.
        if (! (bpm > 0.0f) || ! std::isfinite (bpm))
            return 250.0f;

        static constexpr float noteBeats[] = { 0.125f, 0.25f, 0.5f, 1.0f, 2.0f, 4.0f };
        auto beats = noteBeats[noteIndex (note)];

        switch (typeIndex (type))
        {
            case 1:  beats *= 1.5f; break;
            case 2:  beats *= 0.6666667f; break;
            default: break;
        }

        return 60.0f / bpm * 1000.0f * beats;
    }

    const char* noteName (float note) noexcept
    {
        static const char* const names[] = { "1/32", "1/16", "1/8", "1/4", "1/2", "1/1" };
        return names[noteIndex (note)];
    }

    const char* typeName (float type) noexcept
    {
        static const char* const names[] = { "Normal", "Dotted", "Triplet" };
        return names[typeIndex (type)];
    }
}
