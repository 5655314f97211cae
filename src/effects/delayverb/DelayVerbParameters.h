#pragma once

#include "effects/PanelKnobSpec.h"

#include <array>
#include <atomic>
#include <cstddef>

/** Everything the DelayVerb's sound depends on that other threads set: the 24 knobs, the
    NOTE and TYPE selectors, the toggles, the tempo, the XY pad's position and the offsets the
    Korrupt engine, the ToneMax coupling and the parameter randomiser write.

    Each value is a relaxed atomic: writers store whole values from any thread, and the
    processor loads each one once at the start of a block. The panel's knobs mirror into
    `knobs`, `note` and `type` on every change (ParamSlider::linkMirror). */
struct DelayVerbParameters
{
    /** Knob indices in panel order (the order of the panel's `getAllKnobs`). */
    enum Knob
    {
        time, feedback, delayLeft, delayRight, delayLowpass, delayHighpass, stereo, delayMod, delayRate, delayDuck,
        preDelay, decay, size, reverbLeft, reverbRight, damp, reverbLow, reverbHigh, early, late, width,
        reverbMod, reverbRate, reverbDuck,
        numKnobs
    };

    /** Caption, range, start value, unit and description of each knob, by index. */
    static const std::array<PanelKnobSpec, numKnobs>& knobTable() noexcept;
    static const PanelKnobSpec& noteSpec() noexcept;
    static const PanelKnobSpec& typeSpec() noexcept;

    /** Whole steps on ranges wider than 100, hundredths otherwise. */
    static double knobInterval (const PanelKnobSpec& spec) noexcept;

    /** The start value as a knob with that step shows it (TIME: 250 on a 0.5-based grid is 250.5). */
    static double snappedDefault (const PanelKnobSpec& spec, double interval) noexcept;

    DelayVerbParameters() noexcept;

    std::array<std::atomic<float>, numKnobs> knobs;
    std::atomic<float> note { 2.0f }, type { 0.0f };

    std::atomic<bool> bypassed { false };
    std::atomic<bool> syncEnabled { false };

    /** Beats per minute as the main window hands it over, unclamped. */
    std::atomic<float> bpm { 120.0f };

    /** The XY pad: pan of the echoes -1 (left) .. +1 (right), cross-feed of the lines 0 .. 1. */
    std::atomic<float> delayPan { 0.0f }, pingPong { 0.0f };

    /** [0] time ms, [1] feedback, [2] reverb mix, [3] delay mix; the last writer wins. */
    std::array<std::atomic<float>, 4> korruptOffsets {};

    /** [0] time ms, [1] feedback, [2] delay mix, [3] reverb mix: where the processor's smoothed
        randomiser offsets head, a small step per processed block. */
    std::array<std::atomic<float>, 4> randomiserOffsetTargets {};

    float knob (Knob k) const noexcept { return knobs[(std::size_t) k].load (std::memory_order_relaxed); }
    void setKnob (Knob k, float value) noexcept { knobs[(std::size_t) k].store (value, std::memory_order_relaxed); }
};

namespace delayverb
{
    /** The tempo-synced delay: a NOTE index (clamped to 1/32 .. 1/1) and a TYPE (1 dotted,
        2 triplet, anything else normal) at a tempo; 250 ms without a usable tempo. */
    float syncedDelayMs (float bpm, float note, float type) noexcept;

    /** The NOTE knob's value as 0 (1/32) .. 5 (1/1): its integer part, clamped. */
    int noteIndex (float note) noexcept;

    /** The TYPE knob's value as 1 dotted, 2 triplet or 0 normal (anything else). */
    int typeIndex (float type) noexcept;

    /** "1/32" .. "1/1" for the NOTE knob's value (integer part, clamped). */
    const char* noteName (float note) noexcept;

    /** "Normal", "Dotted" or "Triplet" for the TYPE knob's value. */
    const char* typeName (float type) noexcept;
}
