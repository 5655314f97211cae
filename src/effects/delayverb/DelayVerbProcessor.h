#pragma once

#include "effects/PassThroughProcessor.h"

#include <array>
#include <atomic>

/** What the DelayVerb's sound reads, as relaxed atomics any thread may store whole; the
    panel's four mix knobs mirror into their fields on every change. */
struct DelayVerbParameters
{
    std::atomic<bool> bypassed { false };
    std::atomic<float> delayLeft { 0.0f }, delayRight { 0.0f };     // D L, D R in %
    std::atomic<float> reverbLeft { 0.0f }, reverbRight { 0.0f };   // R L, R R in %

    /** The randomiser's targets: [0] time ms, [1] feedback, [2] delay mix, [3] reverb mix. */
    std::array<std::atomic<float>, 4> randomiserOffsetTargets {};

    /** Written by the Korrupt engine and the ToneMax coupling: [0] time ms, [1] feedback,
        [2] reverb mix, [3] delay mix; the last writer wins. */
    std::array<std::atomic<float>, 4> korruptOffsets {};
};

/** The sound of the DelayVerb. Its delay lines and reverb are not built yet: blocks pass
    through. */
class DelayVerbProcessor final : public PassThroughProcessor
{
public:
    /** The larger of the D L (D R) knob and the delay-mix offsets: the offsets act as a floor. */
    float getDelayLeftMix() const noexcept;
    float getDelayRightMix() const noexcept;

    /** The R L (R R) knob plus the reverb-mix offsets, clamped to 0..100. */
    float getReverbLeftMix() const noexcept;
    float getReverbRightMix() const noexcept;

    /** Not bypassed and any of the four mixes above 0.01. */
    bool isActive() const noexcept override;

    DelayVerbParameters parameters;

private:
    // The randomiser's offsets as the processing has smoothed them; audio thread only.
    std::array<float, 4> randomiserOffsets {};
};
