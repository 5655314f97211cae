#pragma once

#include <vector>

/** A delay line with fractional read positions (linear interpolation) in storage sized once.

    `prepare` allocates (device thread, no block in flight); `push`, `read` and `clear` never
    do. Delays are clamped to [0, capacity - 1] samples, and a NaN delay reads as 0, so no read
    ever leaves the storage. */
namespace dsp
{
    class FractionalDelay
    {
    public:
        /** Room for delays of up to `maxDelaySamples` samples. */
        void prepare (int maxDelaySamples);

        void clear() noexcept;

        /** Writes the next input sample. */
        void push (float x) noexcept;

        /** The input of `delaySamples` samples ago (0 = the sample last pushed). */
        float read (float delaySamples) const noexcept;

        /** Writes `x` and returns the input of `delaySamples` samples before it. */
        float process (float x, float delaySamples) noexcept
        {
            push (x);
            return read (delaySamples);
        }

        int getMaxDelay() const noexcept { return (int) buffer.size() - 1; }

    private:
        std::vector<float> buffer;
        int writeIndex = 0;   // where the last sample was written
    };
}
