#pragma once

#include "effects/EffectProcessor.h"
#include "main/chain/EffectChain.h"
#include "main/chain/EffectId.h"

#include <array>
#include <memory>

class DistortionSuite;
class StereoUtilityMax;
class DelayVerb;
class Atomizer;
class MultiEffectImagerPro;
class HeightAndWeight;
class DictionaryReader;
class SmartEQ;
class TavroFinalizer;

/** The nine effects as the chain sees them: a table of processors by id. Activity and
    processing are one virtual call each; an id outside the table, or an empty slot, is never
    active and leaves the block alone. */
class EffectDispatcher : public EffectHost
{
public:
    using Table = std::array<EffectProcessor*, numEffects>;

    /** The nine panels as the main window holds them, in id order. */
    struct Effects
    {
        DistortionSuite& distortionSuite;
        StereoUtilityMax& stereoUtilityMax;
        DelayVerb& delayVerb;
        Atomizer& atomizer;
        MultiEffectImagerPro& imager;
        HeightAndWeight& timePro;
        DictionaryReader& dictionaryReader;
        SmartEQ& smartEq;
        TavroFinalizer& finalizer;
    };

    /** Takes each panel's processor. */
    explicit EffectDispatcher (const Effects& effects);

    /** Any nine processors (tests and benchmarks); they must outlive the dispatcher. */
    explicit EffectDispatcher (const Table& processors) noexcept : table (processors) {}

    /** Safe on both threads: every processor's activity test reads atomics only. */
    bool isEffectActive (int id) const noexcept override;

    void processEffect (int id, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;

    EffectProcessor* processorFor (int id) const noexcept { return isValidEffectId (id) ? table[(size_t) id] : nullptr; }

private:
    Table table {};
};
