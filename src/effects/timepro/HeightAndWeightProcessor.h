#pragma once

#include "effects/PassThroughProcessor.h"

#include <atomic>

/** What TimePro's sound reads, as relaxed atomics any thread may store whole; the panel's
    global MIX knob mirrors into `mix` on every change. */
struct HeightAndWeightParameters
{
    std::atomic<bool> bypassed { false };
    std::atomic<float> mix { 0.0f };   // the global MIX in %
};

/** The sound of TimePro. Its mode kernels are not built yet: blocks pass through. */
class HeightAndWeightProcessor final : public PassThroughProcessor
{
public:
    /** Not bypassed and the global MIX above 0.01. */
    bool isActive() const noexcept override
    {
        return ! parameters.bypassed.load (std::memory_order_relaxed)
            && parameters.mix.load (std::memory_order_relaxed) > 0.01f;
    }

    HeightAndWeightParameters parameters;
};
