#pragma once

#include "effects/EffectProcessor.h"
#include "main/chain/EffectChain.h"

class TavroFinalizer;

/** Stand-ins for effects whose panels do not yet hand out a processor of their own: each
    forwards to the panel's `process` and activity test exactly as the chain called them
    before. `prepare` only sizes the scratch copy; the panels are prepared by the prepare step.
    Each goes away when its panel offers `getProcessor()`. */
namespace paneladapters
{
    /** Whole-buffer effect; active while its own bypass is off. */
    class FinalizerAdapter final : public EffectProcessor
    {
    public:
        explicit FinalizerAdapter (TavroFinalizer& p) : panel (p) {}
        void prepare (double, int maximumBlockSize) override { scratch.prepare (2, maximumBlockSize); }
        void reset() override {}
        void process (juce::AudioBuffer<float>&, int, int) noexcept override;
        bool isActive() const noexcept override;

    private:
        TavroFinalizer& panel;
        EffectScratch scratch;
    };
}
