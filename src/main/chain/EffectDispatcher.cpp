#include "main/chain/EffectDispatcher.h"

#include "effects/core/Atomizer.h"
#include "effects/delayverb/DelayVerb.h"
#include "effects/core/DistortionSuite.h"
#include "effects/core/HeightAndWeight.h"
#include "effects/core/StereoUtilityMax.h"
#include "effects/dictionary/DictionaryReader.h"
#include "effects/finalizer/TavroFinalizer.h"
#include "effects/imager/MultiEffectImagerPro.h"
#include "effects/smarteq/SmartEQ.h"

bool EffectDispatcher::isEffectActive (int id) const noexcept
{
    switch (id)
    {
        case 0: return effects.distortionSuite.isActive();
        case 1: return effects.stereoUtilityMax.isActive();
        case 2: return effects.delayVerb.isActive();
        case 3: return effects.atomizer.isActive();
        case 4: return effects.imager.isActive();
        case 5: return effects.timePro.isActive();
        case 6: return effects.dictionaryReader.isActive();
        case 7: return effects.smartEq.isActive();
        case 8: return ! effects.finalizer.bypassed.load (std::memory_order_relaxed);
        default: return false;
    }
}

void EffectDispatcher::processEffect (int id, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    if (numSamples <= 0 || buffer.getNumChannels() <= 0 || ! isValidEffectId (id))
        return;

    const auto runOnPointers = [&] (auto& effect)
    {
        auto* left = buffer.getWritePointer (0, startSample);
        auto* right = buffer.getNumChannels() > 1 ? buffer.getWritePointer (1, startSample) : left;
        effect.process (left, right, numSamples);
    };

    switch (id)
    {
        case 3: runOnPointers (effects.atomizer); break;
        case 4: runOnPointers (effects.imager); break;
        case 5: runOnPointers (effects.timePro); break;
        case 6: runOnPointers (effects.dictionaryReader); break;
        case 7: runOnPointers (effects.smartEq); break;

        case 0: scratch.run (buffer, startSample, numSamples, [this] (auto& b) { effects.distortionSuite.process (b); }); break;
        case 1: scratch.run (buffer, startSample, numSamples, [this] (auto& b) { effects.stereoUtilityMax.process (b); }); break;
        case 2: scratch.run (buffer, startSample, numSamples, [this] (auto& b) { effects.delayVerb.process (b); }); break;
        case 8: scratch.run (buffer, startSample, numSamples, [this] (auto& b) { effects.finalizer.process (b); }); break;

        default: break;
    }
}
