#include "main/chain/EffectDispatcher.h"

#include "effects/atomizer/Atomizer.h"
#include "effects/delayverb/DelayVerb.h"
#include "effects/dictionary/DictionaryReader.h"
#include "effects/distortion/DistortionSuite.h"
#include "effects/finalizer/TavroFinalizer.h"
#include "effects/imager/MultiEffectImagerPro.h"
#include "effects/smarteq/SmartEQ.h"
#include "effects/stereoutility/StereoUtilityMax.h"
#include "effects/timepro/HeightAndWeight.h"

EffectDispatcher::EffectDispatcher (const Effects& e)
    : table { &e.distortionSuite.getProcessor(),
              &e.stereoUtilityMax.getProcessor(),
              &e.delayVerb.getProcessor(),
              &e.atomizer.getProcessor(),
              &e.imager.getProcessor(),
              &e.timePro.getProcessor(),
              &e.dictionaryReader.getProcessor(),
              &e.smartEq.getProcessor(),
              &e.finalizer.getProcessor() }
{
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

    auto* processor = processorFor (id);
    if (processor == nullptr)
        return;

    // The effects work on a stereo pair; further device channels pass through untouched, as
    // they did when each effect ran on a two-channel scratch copy. The view refers to the
    // caller's channels through the buffer's own small pointer array: no allocation.
    if (buffer.getNumChannels() > 2)
    {
        juce::AudioBuffer<float> pair (buffer.getArrayOfWritePointers(), 2, buffer.getNumSamples());
        processor->process (pair, startSample, numSamples);
        return;
    }

    processor->process (buffer, startSample, numSamples);
}
