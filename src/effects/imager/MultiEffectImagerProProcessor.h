#pragma once

#include "effects/PassThroughProcessor.h"

#include <atomic>

/** What the image effect's sound reads, as relaxed atomics any thread may store whole; the
    panel's MASTER slider mirrors into `master` on every change. */
struct MultiEffectImagerProParameters
{
    std::atomic<bool> bypassed { false };
    std::atomic<bool> imageLoaded { false };
    std::atomic<float> master { 0.0f };
};

/** The sound of the image effect. Its chain is not built yet: blocks pass through. */
class MultiEffectImagerProProcessor final : public PassThroughProcessor
{
public:
    /** Not bypassed, a picture loaded and MASTER above 0.01. */
    bool isActive() const noexcept override
    {
        return ! parameters.bypassed.load (std::memory_order_relaxed)
            && parameters.imageLoaded.load (std::memory_order_relaxed)
            && parameters.master.load (std::memory_order_relaxed) > 0.01f;
    }

    MultiEffectImagerProParameters parameters;
};
