#pragma once

#include "Stimulus.h"

#include "controls/StereoSpectralAnalyzer.h"
#include "effects/EffectProcessor.h"

namespace bench
{
    /** The spectrum display an effect's panel feeds, fed from the effect's output tap, so the
        rows of effects that show one pay for its analysis. */
    struct SpectrumFeed final : EffectOutputTap
    {
        SpectrumFeed()
        {
            analyzer.activate();
            analyzer.setSampleRate (sampleRate);
        }

        void outputBlock (const float* left, const float* right, int numSamples) noexcept override
        {
            analyzer.pushSamples (left, right, numSamples);
        }

        StereoSpectralAnalyzer analyzer;
    };
}
