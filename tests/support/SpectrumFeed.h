#pragma once

#include "controls/StereoSpectralAnalyzer.h"
#include "effects/EffectProcessor.h"

namespace test_support
{
    /** A spectrum display fed by an effect's output tap, the way a panel feeds its own: tests
        run an effect's processor alone with the analysis on the audio path. */
    struct SpectrumFeed final : EffectOutputTap
    {
        SpectrumFeed() { analyzer.activate(); }

        void outputBlock (const float* left, const float* right, int numSamples) noexcept override
        {
            analyzer.pushSamples (left, right, numSamples);
        }

        StereoSpectralAnalyzer analyzer;
    };
}
