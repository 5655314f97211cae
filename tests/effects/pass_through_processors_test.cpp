#include <gtest/gtest.h>

#include "effects/atomizer/Atomizer.h"
#include "effects/delayverb/DelayVerb.h"
#include "effects/dictionary/DictionaryReader.h"
#include "effects/imager/MultiEffectImagerPro.h"
#include "effects/stereoutility/StereoUtilityMax.h"
#include "effects/timepro/HeightAndWeight.h"
#include "support/RealtimeTrap.h"

#include <functional>

// The effects whose sound is not built yet: their processors pass audio through untouched,
// allocate nothing, and answer the chain's activity test from their parameters alone. (The
// DelayVerb and the Stereo Utility Max have their sound now; their activity cases stay here,
// their sound has its own tests.)

namespace
{
    juce::AudioBuffer<float> noiseBlock (int channels, int n)
    {
        juce::Random random (17);
        juce::AudioBuffer<float> b (channels, n);
        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < n; ++i)
                b.setSample (c, i, random.nextFloat() * 2.0f - 1.0f);
        return b;
    }

    struct Fixture
    {
        StereoUtilityMaxProcessor stereo;
        DelayVerbProcessor delay;
        AtomizerProcessor atomizer;
        MultiEffectImagerProProcessor imager;
        HeightAndWeightProcessor timePro;
        DictionaryReaderProcessor reader;   // sounding now, but at MIX 0 it hands every block on untouched

        std::vector<EffectProcessor*> all() { return { &atomizer, &imager, &timePro, &reader }; }
    };
}

TEST (PassThroughProcessors, LeaveEveryBlockBitIdenticalWithoutAllocating)
{
    Fixture fx;
    // Made active, so that a filled-in process would run.
    fx.stereo.parameters.leftMix = 50.0f;
    fx.atomizer.parameters.rightMix = 50.0f;
    fx.imager.parameters.imageLoaded = true;
    fx.imager.parameters.master = 50.0f;
    fx.timePro.parameters.mix = 50.0f;
    fx.reader.parameters.reading = true;
    fx.reader.parameters.wordCount = 3;

    for (auto* p : fx.all())
    {
        p->prepare (48000.0, 256);
        EXPECT_TRUE (p->isActive());

        for (int channels : { 1, 2 })
        {
            auto block = noiseBlock (channels, 1024);   // longer than prepared
            const juce::AudioBuffer<float> dry (block);

            testing_rt::RealtimeScope scope;
            p->process (block, 0, 1024);
            p->process (block, 100, 37);
            EXPECT_TRUE (scope.counts().clean());

            for (int c = 0; c < channels; ++c)
                ASSERT_EQ (std::memcmp (block.getReadPointer (c), dry.getReadPointer (c), sizeof (float) * 1024), 0);
        }

        p->reset();
    }

    EXPECT_EQ (fx.atomizer.getDelayLineLength(), (size_t) (1024 + 960));
    fx.stereo.prepare (48000.0, 256);
    EXPECT_EQ (fx.stereo.getSampleRate(), 48000.0);
}

TEST (PassThroughProcessors, ActivityFollowsTheirParameters)
{
    struct Case
    {
        const char* name;
        std::function<void (Fixture&)> set;
        std::function<bool (Fixture&)> active;
        bool expected;
    };

    const auto stereo = [] (Fixture& f) { return f.stereo.isActive(); };
    const auto delay = [] (Fixture& f) { return f.delay.isActive(); };
    const auto atomizer = [] (Fixture& f) { return f.atomizer.isActive(); };
    const auto imager = [] (Fixture& f) { return f.imager.isActive(); };
    const auto timePro = [] (Fixture& f) { return f.timePro.isActive(); };
    const auto reader = [] (Fixture& f) { return f.reader.isActive(); };

    const Case cases[] = {
        { "stereo at rest", [] (Fixture&) {}, stereo, false },
        { "stereo R MIX", [] (Fixture& f) { f.stereo.parameters.rightMix = 0.02f; }, stereo, true },
        { "stereo mix at 0.01", [] (Fixture& f) { f.stereo.parameters.leftMix = 0.01f; }, stereo, false },
        { "stereo offset alone", [] (Fixture& f) { f.stereo.parameters.modMixOffset = 80.0f; }, stereo, false },
        { "stereo bypassed", [] (Fixture& f) { f.stereo.parameters.leftMix = 50.0f; f.stereo.parameters.bypassed = true; }, stereo, false },

        { "delay at rest", [] (Fixture&) {}, delay, false },
        { "delay korrupt floor", [] (Fixture& f) { f.delay.parameters.korruptOffsets[3] = 25.0f; }, delay, true },
        { "delay reverb R", [] (Fixture& f) { f.delay.parameters.setKnob (DelayVerbParameters::reverbRight, 5.0f); }, delay, true },
        { "delay reverb offset cancels", [] (Fixture& f) { f.delay.parameters.setKnob (DelayVerbParameters::reverbRight, 5.0f); f.delay.parameters.korruptOffsets[2] = -5.0f; }, delay, false },
        { "delay bypassed", [] (Fixture& f) { f.delay.parameters.setKnob (DelayVerbParameters::delayLeft, 50.0f); f.delay.parameters.bypassed = true; }, delay, false },

        { "atomizer L MIX", [] (Fixture& f) { f.atomizer.parameters.leftMix = 1.0f; }, atomizer, true },
        { "atomizer offset alone", [] (Fixture& f) { f.atomizer.parameters.korruptOffsets[2] = 50.0f; }, atomizer, false },

        { "imager without picture", [] (Fixture& f) { f.imager.parameters.master = 50.0f; }, imager, false },
        { "imager with picture", [] (Fixture& f) { f.imager.parameters.master = 50.0f; f.imager.parameters.imageLoaded = true; }, imager, true },
        { "imager master 0", [] (Fixture& f) { f.imager.parameters.imageLoaded = true; }, imager, false },

        { "timepro MIX", [] (Fixture& f) { f.timePro.parameters.mix = 0.5f; }, timePro, true },
        { "timepro bypassed", [] (Fixture& f) { f.timePro.parameters.mix = 0.5f; f.timePro.parameters.bypassed = true; }, timePro, false },

        { "reader reading no words", [] (Fixture& f) { f.reader.parameters.reading = true; }, reader, false },
        { "reader words not reading", [] (Fixture& f) { f.reader.parameters.wordCount = 4; }, reader, false },
        { "reader reading words", [] (Fixture& f) { f.reader.parameters.reading = true; f.reader.parameters.wordCount = 4; }, reader, true },
    };

    for (const auto& c : cases)
    {
        Fixture f;
        c.set (f);
        EXPECT_EQ (c.active (f), c.expected) << c.name;
    }
}

TEST (PassThroughProcessors, PanelsPublishIntoTheProcessorTheyOwn)
{
    // Knob moves (with or without notification) and the panel's public fields land in the
    // processor's parameters at once; the panel's own answers are the processor's.
    StereoUtilityMax stereo (nullptr);
    stereo.rightMixKnob.setValue (30.0, juce::sendNotificationSync);
    EXPECT_EQ (stereo.getProcessor().parameters.rightMix.load(), 30.0f);
    stereo.modWidthOffset = 7.0f;
    EXPECT_EQ (stereo.getProcessor().parameters.modWidthOffset.load(), 7.0f);

    DelayVerb delay (nullptr);
    delay.reverbLeftKnob.setValueSilently (12.0);
    EXPECT_EQ (delay.getProcessor().parameters.knob (DelayVerbParameters::reverbLeft), 12.0f);
    delay.randomiserOffsetTargets[1] = 3.0f;
    EXPECT_EQ (delay.getProcessor().parameters.randomiserOffsetTargets[1].load(), 3.0f);

    Atomizer atomizer (nullptr);
    atomizer.leftMixKnob.setValueSilently (40.0);
    atomizer.bypassed = true;
    EXPECT_EQ (atomizer.getProcessor().parameters.leftMix.load(), 40.0f);
    EXPECT_FALSE (atomizer.getProcessor().isActive());
    atomizer.prepare (44100.0);
    EXPECT_EQ (atomizer.getDelayLineLength(), atomizer.getProcessor().getDelayLineLength());

    HeightAndWeight timePro (nullptr);
    timePro.mixKnob.setValueSilently (60.0);
    EXPECT_TRUE (timePro.getProcessor().isActive());

    MultiEffectImagerPro imager (nullptr);
    EXPECT_EQ (imager.getProcessor().parameters.master.load(), 50.0f);
    imager.imageLoaded = true;
    EXPECT_TRUE (imager.getProcessor().isActive());

    DictionaryReader reader (nullptr);
    reader.reading = true;
    reader.wordCount = 2;
    EXPECT_TRUE (reader.getProcessor().isActive());
    reader.prepare (96000.0);
    EXPECT_EQ (reader.getSampleRate(), 96000.0);
}
