#pragma once

#include "effects/PanelKnobSpec.h"

#include <array>
#include <atomic>
#include <cstddef>

/** Everything the Stereo Utility Max's sound depends on that other threads set: the 35 knobs,
    BYPASS, and the offsets the Korrupt engine, the ToneMax coupling and the parameter randomiser
    write. Each value is a relaxed atomic stored whole by any thread; the processor loads each
    once at the start of a block. The panel's knobs mirror into `knobs` on every change. */
struct StereoUtilityMaxParameters
{
    /** Knob indices in panel order (the order of the panel's `getAllKnobs`). */
    enum class Knob
    {
        width, balance, monoBelow, trim, leftMix, rightMix, lowCrossover, highCrossover,
        lowWidth, midWidth, highWidth, mid, side, levelDifference, timeDifference, iacc,
        leftDelay, rightDelay, phase, dynamicsThreshold, dynamicsRatio, dynamicsAttack, dynamicsRelease,
        haas, pitch, modRate, modDepth, rotation, centre, sides, extraction, room, early, diffusion, decor,
        count
    };

    static constexpr int numKnobs = (int) Knob::count;

    /** Caption, range, start value, unit and description of each knob, by index. */
    static const std::array<PanelKnobSpec, (size_t) numKnobs>& knobTable() noexcept;

    StereoUtilityMaxParameters() noexcept;

    /** Every knob back to its start value. */
    void setDefaults() noexcept;

    float knob (Knob k) const noexcept { return knobs[(size_t) k].load (std::memory_order_relaxed); }
    void setKnob (Knob k, float value) noexcept { knobs[(size_t) k].store (value, std::memory_order_relaxed); }

    std::array<std::atomic<float>, (size_t) numKnobs> knobs;
    std::atomic<float>& leftMix = knobs[(size_t) Knob::leftMix];     // L MIX in %
    std::atomic<float>& rightMix = knobs[(size_t) Knob::rightMix];   // R MIX in %

    std::atomic<bool> bypassed { false };

    // The parameter randomiser's stereo-group targets, in knob units.
    std::atomic<float> randomWidthTarget { 0.0f }, randomBalanceTarget { 0.0f }, randomMixTarget { 0.0f };

    // Written by the Korrupt engine and the ToneMax coupling, in knob units; the last writer wins.
    // The rotation offset is kept for those writers; ROT alone turns the image.
    std::atomic<float> modWidthOffset { 0.0f }, modRotationOffset { 0.0f },
                       modBalanceOffset { 0.0f }, modMixOffset { 0.0f };
};
