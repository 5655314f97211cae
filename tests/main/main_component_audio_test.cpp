#include <gtest/gtest.h>

#include "main/MainComponentTestAccess.h"
#include "support/AudioFixtures.h"
#include "support/RealtimeTrap.h"

namespace
{
    void fillNoise (juce::AudioBuffer<float>& buffer, juce::Random& random)
    {
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
    }
}

// The audio objects driven directly, as the device would, with the device itself closed so
// that no other thread calls into the component meanwhile.
TEST (MainComponentAudio, PrepareStepArmsTheChainAndBlocksStayFiniteWithoutAllocating)
{
    MainComponent mc;
    mc.shutdownAudio();
    EXPECT_FALSE (mc.isAudioReady());

    mc.prepareToPlay (512, 48000.0);
    EXPECT_TRUE (mc.isAudioReady());

    juce::Random random (7);
    for (const int blockSize : { 64, 512, 16384 })
    {
        SCOPED_TRACE (blockSize);
        juce::AudioBuffer<float> buffer (2, blockSize);

        fillNoise (buffer, random);
        mc.getNextAudioBlock (juce::AudioSourceChannelInfo (buffer));   // warm-up

        for (int block = 0; block < 8; ++block)
        {
            fillNoise (buffer, random);
            testing_rt::RealtimeScope scope;
            mc.getNextAudioBlock (juce::AudioSourceChannelInfo (buffer));
            if (testing_rt::trapAvailable())
            {
                EXPECT_TRUE (scope.counts().clean());
            }
        }

        EXPECT_TRUE (audiofixtures::allFinite (buffer));
        // Nothing is loaded, so the device gets silence rather than whatever was in the buffer.
        EXPECT_EQ (buffer.getMagnitude (0, blockSize), 0.0f);
    }

    // A part of a buffer, a mono buffer and an empty request are all handled in place.
    juce::AudioBuffer<float> mono (1, 300);
    fillNoise (mono, random);
    mc.getNextAudioBlock (juce::AudioSourceChannelInfo (&mono, 100, 100));
    EXPECT_EQ (mono.getMagnitude (100, 100), 0.0f);
    EXPECT_GT (mono.getMagnitude (0, 100), 0.0f);
    EXPECT_GT (mono.getMagnitude (200, 100), 0.0f);
    mc.getNextAudioBlock (juce::AudioSourceChannelInfo (&mono, 0, 0));
    mc.getNextAudioBlock (juce::AudioSourceChannelInfo (nullptr, 0, 512));

    // The device may restart at another rate.
    mc.prepareToPlay (256, 44100.0);
    EXPECT_TRUE (mc.isAudioReady());
    mc.releaseResources();
}
