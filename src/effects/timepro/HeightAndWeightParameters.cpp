#include "effects/timepro/HeightAndWeightParameters.h"

const std::array<HeightAndWeightParameters::KnobRow, HeightAndWeightParameters::numKnobs>&
HeightAndWeightParameters::knobTable() noexcept
{
    static const std::array<KnobRow, numKnobs> table {{
        { { "DETUNE", -20, 20, 8, "ct", "Pitch deviation in cents" }, 5 },
        { { "DELAY", 0, 30, 15, "ms", "Haas-style delay" }, 10 },
        { { "WIDTH", 0, 150, 100, "%", "Stereo spread" }, 100 },
        { { "CHAR", 0, 100, 30, "%", "Drift + warmth" }, 30 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "SIZE", 5, 120, 40, "ms", "Grain size" }, 50 },
        { { "DENSITY", 1, 80, 20, "g/s", "Grains per second" }, 20 },
        { { "PITCH", -24, 24, 0, "st", "Pitch shift semitones" }, 0 },
        { { "MOTION", 0, 100, 30, "%", "Position + scan + jitter" }, 30 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "TIME", 0.5, 4, 2, "x", "Time stretch factor" }, 2 },
        { { "SMOOTH", 0, 100, 50, "%", "Window smoothing" }, 50 },
        { { "TRANS", 0, 100, 70, "%", "Transient preserve" }, 50 },
        { { "CHAR", 0, 100, 20, "%", "Lo-fi / wow / flutter" }, 30 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "LENGTH", 1, 16, 4, "", "Loop length (musical division)" }, 4 },
        { { "RATE", 1, 32, 8, "", "Repeat subdivisions" }, 8 },
        { { "FADE", 0, 100, 20, "%", "Crossfade amount" }, 20 },
        { { "DECAY", 0, 100, 0, "%", "Volume decay per repeat" }, 0 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "PTRN", 0, 15, 0, "", "Gate pattern (0-15 binary)" }, 0 },
        { { "RATE", 1, 32, 8, "", "Gate rate (subdivisions)" }, 8 },
        { { "ATK", 0, 50, 2, "ms", "Attack time" }, 2 },
        { { "REL", 0, 100, 10, "ms", "Release time" }, 10 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "LENGTH", 1, 16, 4, "", "Reverse segment length" }, 4 },
        { { "FADE", 0, 100, 15, "%", "Boundary crossfade" }, 15 },
        { { "SPEED", 25, 200, 100, "%", "Playback speed" }, 100 },
        { { "RPT", 1, 8, 1, "", "Max iterations" }, 1 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "FACTOR", 0.25, 4, 1, "x", "Time stretch factor" }, 1 },
        { { "GRAIN", 10, 100, 40, "ms", "Grain size" }, 40 },
        { { "OLAP", 10, 90, 50, "%", "Grain overlap" }, 50 },
        { { "SMOOTH", 0, 100, 50, "%", "Window envelope" }, 50 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "OUT", -24, 12, 0, "dB", "Output level" }, 0 },
        { { "MIX", 0, 100, 0, "%", "Global dry/wet blend" }, 0 },
    }};
    return table;
}

HeightAndWeightParameters::HeightAndWeightParameters() noexcept
{
    const auto& table = knobTable();
    for (std::size_t i = 0; i < knobs.size(); ++i)
        knobs[i].store ((float) table[i].spec.defaultValue, std::memory_order_relaxed);
}

bool HeightAndWeightParameters::toggleTrigger() noexcept
{
    // Only the message thread flips the trigger, so a load and a store cannot race each other.
    const bool nowOn = ! triggered.load (std::memory_order_relaxed);
    triggered.store (nowOn, std::memory_order_relaxed);
    if (nowOn)
        triggerRequests.fetch_add (1, std::memory_order_release);
    return nowOn;
}
