#pragma once

#include "effects/PassThroughProcessor.h"

#include <atomic>

/** What the Stereo Utility Max's sound reads, as relaxed atomics any thread may store whole;
    the panel's knobs mirror into the knob fields on every change. */
struct StereoUtilityMaxParameters
{
    std::atomic<bool> bypassed { false };
    std::atomic<float> leftMix { 0.0f }, rightMix { 0.0f };   // L MIX, R MIX in %

    // The parameter randomiser's stereo-group targets, in knob units.
    std::atomic<float> randomWidthTarget { 0.0f }, randomBalanceTarget { 0.0f }, randomMixTarget { 0.0f };

    // Written by the Korrupt engine and the ToneMax coupling, in knob units; the last writer wins.
    std::atomic<float> modWidthOffset { 0.0f }, modRotationOffset { 0.0f },
                       modBalanceOffset { 0.0f }, modMixOffset { 0.0f };
};

/** The sound of the Stereo Utility Max. Its stages are not built yet: blocks pass through. */
class StereoUtilityMaxProcessor final : public PassThroughProcessor
{
public:
    /** Not bypassed and L MIX or R MIX itself above 0.01 (offsets do not count). */
    bool isActive() const noexcept override
    {
        return ! parameters.bypassed.load (std::memory_order_relaxed)
            && (parameters.leftMix.load (std::memory_order_relaxed) > 0.01f
                || parameters.rightMix.load (std::memory_order_relaxed) > 0.01f);
    }

    StereoUtilityMaxParameters parameters;
};
