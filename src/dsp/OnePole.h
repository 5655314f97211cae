#pragma once

#include <juce_core/juce_core.h>

#include <cmath>

/** First-order filters and their coefficients.

    Two forms of the same one-pole lowpass, because they round differently and pinned results
    use both:
    - `increment`: y += (x - y) * k. Also the exponential parameter glide (see `smoothTowards`)
      and the Distortion Suite's side-chain lowpass (k = dt / (RC + dt)).
    - `weighted`: y = (1 - c) x + c y. The finalizer's crossover (c = exp (-2 pi f / rate)).

    `DcBlocker` is the classic one-pole highpass y = a (x + y1 - x1), a = RC / (RC + dt), as the
    Distortion Suite's pre-filter and side-chain highpass use it. */
namespace dsp
{
    /** One glide step of `value` towards `target`: value += (target - value) * k. */
    inline void smoothTowards (float& value, float target, float k) noexcept
    {
        value += (target - value) * k;
    }

    enum class OnePoleForm { increment, weighted };

    template <OnePoleForm Form>
    struct OnePoleLowpass
    {
        float state = 0.0f;

        void clear() noexcept { state = 0.0f; }

        /** `k` is the step for `increment`, the pole for `weighted`. */
        inline float process (float x, float k) noexcept
        {
            if constexpr (Form == OnePoleForm::increment)
                state += (x - state) * k;
            else
                state = (1.0f - k) * x + k * state;

            return state;
        }
    };

    /** RC / (RC + dt) for a corner at `cornerHz`, worked out in double, stored as float. */
    inline float onePoleHighpassAlpha (float cornerHz, double sampleRate) noexcept
    {
        const double rc = 1.0 / (juce::MathConstants<double>::twoPi * (double) cornerHz);
        const double dt = 1.0 / sampleRate;
        return (float) (rc / (rc + dt));
    }

    /** dt / (RC + dt): the `increment` lowpass step for a corner at `cornerHz`. */
    inline float onePoleLowpassStep (float cornerHz, double sampleRate) noexcept
    {
        const double rc = 1.0 / (juce::MathConstants<double>::twoPi * (double) cornerHz);
        const double dt = 1.0 / sampleRate;
        return (float) (dt / (rc + dt));
    }

    /** exp (-2 pi f / rate): the `weighted` lowpass pole for a corner at `cornerHz`. */
    inline double onePolePole (double cornerHz, double sampleRate) noexcept
    {
        return std::exp (-juce::MathConstants<double>::twoPi * cornerHz / sampleRate);
    }

    struct DcBlocker
    {
        float in = 0.0f, out = 0.0f;

        void clear() noexcept { in = out = 0.0f; }

        inline float process (float x, float alpha) noexcept
        {
            const float y = alpha * (x + out - in);
            in = x;
            out = y;
            return y;
        }
    };
}
