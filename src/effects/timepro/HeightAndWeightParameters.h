#pragma once

#include "effects/PanelKnobSpec.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

/** Everything TimePro's sound reads that other threads set: the 37 knobs, the mode, the
    toggles, the tempo and the trigger.

    Each value is a relaxed atomic the processor loads once at the start of a block. The trigger
    is the one exception to "store and forget": turning it on asks the audio thread to restart
    the loop, and that restart must happen between blocks, never half-way through one, so it
    travels as a request counter the processor compares at the top of its next block. */
struct HeightAndWeightParameters
{
    /** Knob indices in panel order. */
    enum Knob
    {
        microDetune, microDelay, microWidth, microChar, microMix,
        grainSize, grainDensity, grainPitch, grainMotion, grainMix,
        halfTime, halfSmooth, halfTrans, halfChar, halfMix,
        repeatLength, repeatRate, repeatFade, repeatDecay, repeatMix,
        gatePattern, gateRate, gateAttack, gateRelease, gateMix,
        reverseLength, reverseFade, reverseSpeed, reverseRepeats, reverseMix,
        stretchFactor, stretchGrain, stretchOverlap, stretchSmooth, stretchMix,
        outputLevel, globalMix,
        numKnobs
    };

    /** A knob's caption, range, start value, unit and description, and where REVERT puts it. */
    struct KnobRow
    {
        PanelKnobSpec spec;
        double neutral;
    };

    static const std::array<KnobRow, numKnobs>& knobTable() noexcept;

    HeightAndWeightParameters() noexcept;

    std::array<std::atomic<float>, numKnobs> knobs;

    /** The global MIX in %, the value the chain's activity test looks at. */
    std::atomic<float>& mix = knobs[globalMix];

    /** -1 until a mode is chosen (nothing is processed), then 0 to 11. */
    std::atomic<int> mode { -1 };

    std::atomic<bool> bypassed { false };
    std::atomic<bool> tempoSyncEnabled { false };
    std::atomic<bool> frozen { false };

    /** The main window's tempo as it hands it over, unclamped. */
    std::atomic<float> bpm { 120.0f };

    /** The trigger state as the TRIGGER button shows it. */
    std::atomic<bool> triggered { false };

    /** Counts the times the trigger went on; the processor restarts the loop once per count. */
    std::atomic<std::uint32_t> triggerRequests { 0 };

    /** The TRIGGER button's action (message thread): flips the trigger and, when it goes on,
        asks for the loop to restart at the next block. Returns the new state. */
    bool toggleTrigger() noexcept;

    float knob (Knob k) const noexcept { return knobs[(std::size_t) k].load (std::memory_order_relaxed); }
    void setKnob (Knob k, float value) noexcept { knobs[(std::size_t) k].store (value, std::memory_order_relaxed); }
};
