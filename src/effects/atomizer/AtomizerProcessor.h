#pragma once

#include "effects/PassThroughProcessor.h"

#include <array>
#include <atomic>
#include <vector>

/** What the Atomizer's sound reads, as relaxed atomics any thread may store whole; the panel's
    knobs mirror into the knob fields on every change. */
struct AtomizerParameters
{
    std::atomic<bool> bypassed { false };
    std::atomic<float> leftMix { 0.0f }, rightMix { 0.0f };   // L MIX, R MIX in %

    /** The randomiser's timing targets: [0] intensity, [1] feedback, [2] mix floor, in %. */
    std::array<std::atomic<float>, 3> randomiserOffsetTargets {};

    /** Written by the Korrupt engine and the ToneMax coupling: [0] added to INTNS, [1] added to
        FDBK, [2] mix floor; the last writer wins. */
    std::array<std::atomic<float>, 3> korruptOffsets {};
};

/** The sound of the Atomizer. Its stages are not built yet: blocks pass through, while the
    delay lines they will use are already sized by `prepare`. */
class AtomizerProcessor final : public PassThroughProcessor
{
public:
    /** Stores the rate and sizes both delay lines to 1024 + 20 ms of samples, cleared. */
    void prepare (double sampleRate, int maximumBlockSize) override;

    void reset() override;

    /** Not bypassed and L MIX or R MIX itself above 0.01 (offsets do not count). */
    bool isActive() const noexcept override
    {
        return ! parameters.bypassed.load (std::memory_order_relaxed)
            && (parameters.leftMix.load (std::memory_order_relaxed) > 0.01f
                || parameters.rightMix.load (std::memory_order_relaxed) > 0.01f);
    }

    size_t getDelayLineLength() const noexcept { return delayLeft.size(); }

    AtomizerParameters parameters;

private:
    std::vector<float> delayLeft, delayRight;
};
