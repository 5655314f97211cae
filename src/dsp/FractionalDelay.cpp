#include "dsp/FractionalDelay.h"

#include <algorithm>
#include <cmath>

namespace dsp
{
    void FractionalDelay::prepare (int maxDelaySamples)
    {
        buffer.assign ((size_t) std::max (1, maxDelaySamples + 1), 0.0f);
        writeIndex = 0;
    }

    void FractionalDelay::clear() noexcept
    {
        std::fill (buffer.begin(), buffer.end(), 0.0f);
        writeIndex = 0;
    }

    void FractionalDelay::push (float x) noexcept
    {
        if (buffer.empty())
            return;

        writeIndex = writeIndex + 1 < (int) buffer.size() ? writeIndex + 1 : 0;
        buffer[(size_t) writeIndex] = x;
    }

    float FractionalDelay::read (float delaySamples) const noexcept
    {
        if (buffer.empty())
            return 0.0f;

        const int size = (int) buffer.size();
        // NaN fails both comparisons of a clamp, so it is caught first.
        const float d = std::isnan (delaySamples) ? 0.0f : std::clamp (delaySamples, 0.0f, (float) (size - 1));
        const int whole = (int) d;
        const float frac = d - (float) whole;

        auto at = [&] (int back)
        {
            int i = writeIndex - back;
            if (i < 0)
                i += size;
            return buffer[(size_t) i];
        };

        const float a = at (whole);
        if (frac == 0.0f)
            return a;

        return a + (at (std::min (whole + 1, size - 1)) - a) * frac;
    }
}
