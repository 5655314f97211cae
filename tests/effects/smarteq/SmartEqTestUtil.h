#pragma once

// Small helpers shared by the Smart EQ tests: driving the real controls synchronously and
// measuring levels through the processor the panel owns.

#include "effects/smarteq/SmartEQ.h"

#include <cmath>
#include <functional>
#include <vector>

namespace smarteq_test
{
    constexpr double sampleRate = 48000.0;
    constexpr double twoPi = 6.283185307179586;

    inline void setKnob (juce::Slider& s, double v) { s.setValue (v, juce::sendNotificationSync); }
    inline void setToggle (juce::Button& b, bool on) { b.setToggleState (on, juce::sendNotificationSync); }

    /** Leaves only `keep` enabled (through the bands' Enable toggles). */
    inline void onlyBand (SmartEQ& eq, int keep)
    {
        for (int b = 0; b < SmartEQ::numBands; ++b)
            setToggle (eq.getBandToggle (b, SmartEQ::enableToggle), b == keep);
    }

    /** Feeds numSamples of gen (index, left, right) through process in blocks of blockSize and
        returns the output. */
    inline std::vector<std::pair<float, float>> render (SmartEQ& eq, int numSamples,
                                                        const std::function<void (int, float&, float&)>& gen,
                                                        int blockSize = 512)
    {
        std::vector<std::pair<float, float>> out;
        out.reserve ((size_t) numSamples);
        std::vector<float> l ((size_t) blockSize), r ((size_t) blockSize);

        for (int start = 0; start < numSamples; start += blockSize)
        {
            const int n = std::min (blockSize, numSamples - start);
            for (int i = 0; i < n; ++i)
                gen (start + i, l[(size_t) i], r[(size_t) i]);
            eq.getProcessor().process (l.data(), r.data(), n);
            for (int i = 0; i < n; ++i)
                out.emplace_back (l[(size_t) i], r[(size_t) i]);
        }
        return out;
    }

    struct StereoDb { double left = 0.0, right = 0.0; };

    /** Level change of a sine through the EQ in dB, per channel, with the final tanh undone;
        one second is rendered and the second half measured. */
    inline StereoDb sineGainDb (SmartEQ& eq, double frequency, float amplitude = 0.01f)
    {
        const int n = (int) sampleRate;
        const auto out = render (eq, n, [&] (int i, float& l, float& r)
        {
            l = r = amplitude * (float) std::sin (twoPi * frequency * i / sampleRate);
        });

        double inSq = 0.0, lSq = 0.0, rSq = 0.0;
        for (int i = n / 2; i < n; ++i)
        {
            const double x = amplitude * std::sin (twoPi * frequency * i / sampleRate);
            inSq += x * x;
            lSq += std::pow (std::atanh ((double) out[(size_t) i].first), 2.0);
            rSq += std::pow (std::atanh ((double) out[(size_t) i].second), 2.0);
        }
        return { 10.0 * std::log10 (lSq / inSq), 10.0 * std::log10 (rSq / inSq) };
    }
}
