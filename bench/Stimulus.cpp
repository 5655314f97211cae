#include "Stimulus.h"

#include <algorithm>
#include <cmath>

namespace bench
{
    Stimulus::Stimulus()
    {
        const int total = (int) (stimulusSeconds * sampleRate);
        const int programEnd = (int) (10.0 * sampleRate), loudEnd = (int) (15.0 * sampleRate);
        left.assign ((size_t) total, 0.0f);
        right.assign ((size_t) total, 0.0f);

        for (int ch = 0; ch < 2; ++ch)
        {
            auto& out = ch == 0 ? left : right;
            XorShift white { 0x2545f491u + (std::uint32_t) ch * 104729u };
            float b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
            double sumSq = 0.0;

            for (int i = 0; i < programEnd; ++i)
            {
                const float w = white.next();
                b0 = 0.99886f * b0 + w * 0.0555179f; b1 = 0.99332f * b1 + w * 0.0750759f;
                b2 = 0.96900f * b2 + w * 0.1538520f; b3 = 0.86650f * b3 + w * 0.3104856f;
                b4 = 0.55000f * b4 + w * 0.5329522f; b5 = -0.7616f * b5 - w * 0.0168980f;
                const float pink = b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362f;
                b6 = w * 0.115926f;
                out[(size_t) i] = pink;
                sumSq += (double) pink * pink;
            }

            const auto toMinus18 = (float) (std::pow (10.0, -18.0 / 20.0) / std::sqrt (sumSq / programEnd));
            XorShift snare { 777u };
            const int beat = (int) (0.5 * sampleRate);

            for (int i = 0; i < programEnd; ++i)
            {
                const double t = (i % beat) / sampleRate;
                auto hit = (float) (std::sin (twoPi * 55.0 * t) * std::exp (-t / 0.08));

                if ((i / beat) % 2 == 1)
                    hit += 0.6f * snare.next() * (float) std::exp (-t / 0.06);

                out[(size_t) i] = out[(size_t) i] * toMinus18 + 0.55f * hit;
            }

            for (int i = programEnd; i < loudEnd; ++i)
            {
                const double t = i / sampleRate;
                out[(size_t) i] = (float) (0.5 * std::sin (twoPi * 80.0 * t) + 0.5 * std::sin (twoPi * 3000.0 * t));
            }
        }

        // The hits land on the noise at random phases, so the program's peak is set afterwards.
        float peak = 0.0f;
        for (int i = 0; i < programEnd; ++i)
            peak = std::max ({ peak, std::abs (left[(size_t) i]), std::abs (right[(size_t) i]) });

        const auto toMinus1 = (float) std::pow (10.0, -1.0 / 20.0) / peak;
        for (int i = 0; i < programEnd; ++i)
        {
            left[(size_t) i] *= toMinus1;
            right[(size_t) i] *= toMinus1;
        }
    }

    const Stimulus& stimulus()
    {
        static const Stimulus s;
        return s;
    }
}
