#pragma once

#include "dsp/OnePole.h"

#include <cmath>

/** A parameter that glides exponentially towards its target, one step a sample.

    Targets often come from other threads or subsystems (offsets, couplings), so a non-finite
    target is read as `fallback` instead of latching NaN in the glide. */
namespace dsp
{
    class ParameterSmoother
    {
    public:
        /** `step` is the fraction of the remaining distance covered each sample (0..1]. */
        explicit ParameterSmoother (float step = 0.001f, float initial = 0.0f) noexcept
            : k (step), value (initial), target (initial) {}

        void setStep (float step) noexcept           { k = step; }

        /** Sets the goal; a NaN or infinite goal becomes `fallback`. */
        void setTarget (float newTarget, float fallback = 0.0f) noexcept
        {
            target = std::isfinite (newTarget) ? newTarget : fallback;
        }

        /** Jumps straight to `v` (after a reset, or at prepare). */
        void snapTo (float v) noexcept                { value = target = v; }

        float next() noexcept                         { smoothTowards (value, target, k); return value; }

        /** Advances `n` samples at once, with the same rounding as `n` calls of `next`. */
        float skip (int n) noexcept
        {
            for (int i = 0; i < n; ++i)
                smoothTowards (value, target, k);
            return value;
        }

        float getCurrent() const noexcept             { return value; }
        float getTarget() const noexcept              { return target; }

    private:
        float k;
        float value, target;
    };
}
