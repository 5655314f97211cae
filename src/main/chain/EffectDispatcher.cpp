#include "main/chain/EffectDispatcher.h"

#include "effects/atomizer/Atomizer.h"
#include "effects/delayverb/DelayVerb.h"
#include "effects/dictionary/DictionaryReader.h"
#include "effects/imager/MultiEffectImagerPro.h"
#include "effects/stereoutility/StereoUtilityMax.h"
#include "effects/timepro/HeightAndWeight.h"

EffectDispatcher::EffectDispatcher (const Effects& e)
    : adapters (new Adapters { paneladapters::DistortionSuiteAdapter { e.distortionSuite },
                               paneladapters::SmartEQAdapter { e.smartEq },
                               paneladapters::FinalizerAdapter { e.finalizer } }),
      table { &adapters->distortionSuite,
              &e.stereoUtilityMax.getProcessor(),
              &e.delayVerb.getProcessor(),
              &e.atomizer.getProcessor(),
              &e.imager.getProcessor(),
              &e.timePro.getProcessor(),
              &e.dictionaryReader.getProcessor(),
              &adapters->smartEq,
              &adapters->finalizer }
{
}

void EffectDispatcher::prepare (int, int maxBlockSamples)
{
    if (adapters != nullptr)
        for (EffectProcessor* adapter : { (EffectProcessor*) &adapters->distortionSuite,
                                          (EffectProcessor*) &adapters->smartEq,
                                          (EffectProcessor*) &adapters->finalizer })
            adapter->prepare (0.0, maxBlockSamples);
}

bool EffectDispatcher::isEffectActive (int id) const noexcept
{
    auto* processor = processorFor (id);
    return processor != nullptr && processor->isActive();
}

void EffectDispatcher::processEffect (int id, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    if (numSamples <= 0 || buffer.getNumChannels() <= 0)
        return;

    if (auto* processor = processorFor (id))
        processor->process (buffer, startSample, numSamples);
}
