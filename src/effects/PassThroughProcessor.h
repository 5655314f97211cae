#pragma once

#include "effects/EffectProcessor.h"

#include <atomic>

/** The processor of an effect whose sound is not built yet: it keeps the rate it was prepared
    at and passes every block through untouched. An effect's own processor derives from it and
    adds its parameters and activity test, so the effect's issue only fills `process` in. */
class PassThroughProcessor : public EffectProcessor
{
public:
    void prepare (double sampleRate, int) override   { rate.store (sampleRate, std::memory_order_relaxed); }
    void reset() override                            {}

    void process (juce::AudioBuffer<float>&, int, int) noexcept override
    {
        const juce::ScopedNoDenormals noDenormals;
    }

    double getSampleRate() const noexcept            { return rate.load (std::memory_order_relaxed); }

private:
    std::atomic<double> rate { 44100.0 };
};
