#include <gtest/gtest.h>

#include "main/audio/MemoryPlayers.h"
#include "support/AudioFixtures.h"

#include <vector>

using memoryplayer::Outcome;

namespace
{
    // Frames s[i] = 100 + i, read forwards and backwards, so every output sample names the
    // frame it came from.
    struct Copies
    {
        explicit Copies (int length, int channels = 1)
        {
            forward.setSize (channels, length);

            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < length; ++i)
                    forward.setSample (c, i, 100.0f + (float) i + 1000.0f * (float) c);
        }

        memoryplayer::Copy fwd() const { return { &forward, forward.getNumSamples(), false }; }
        memoryplayer::Copy rev() const { return { &forward, forward.getNumSamples(), true }; }

        juce::AudioBuffer<float> forward;
    };

    std::vector<float> channel (const juce::AudioBuffer<float>& b, int c)
    {
        return { b.getReadPointer (c), b.getReadPointer (c) + b.getNumSamples() };
    }
}

TEST (MemoryPlayers, SingleCopyReadsInterpolatesAndEndsSampleExactly)
{
    const Copies copies (6);

    struct Case
    {
        const char* name;
        double start, step;
        bool loop;
        int blockSize;
        std::vector<float> expected;
        Outcome outcome;
        double endPosition;
    };

    const Case cases[] = {
        // The last frame is never read: at j = len - 1 the copy counts as ended.
        { "plays to the end, LOOP off", 0.0, 1.0, false, 8, { 100, 101, 102, 103, 104, 0, 0, 0 }, Outcome::ended, 5.0 },
        { "half speed interpolates",    0.0, 0.5, false, 6, { 100, 100.5f, 101, 101.5f, 102, 102.5f }, Outcome::playing, 3.0 },
        { "half speed ends mid-block",  3.0, 0.5, false, 6, { 103, 103.5f, 104, 104.5f, 0, 0 }, Outcome::ended, 5.0 },
        // With LOOP the frame after the end is frame 0 itself: no silent sample at the seam.
        { "LOOP wraps without a gap",   3.0, 1.0, true,  6, { 103, 104, 100, 101, 102, 103 }, Outcome::playing, 4.0 },
        { "48 kHz on 44.1 kHz step",    0.0, 48000.0 / 44100.0, false, 3,
          { 100, 100.0f + (float) (48000.0 / 44100.0), 100.0f + (float) (2 * 48000.0 / 44100.0) }, Outcome::playing,
          3 * 48000.0 / 44100.0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        juce::AudioBuffer<float> out (1, c.blockSize);
        out.clear();
        double position = c.start;

        EXPECT_EQ (memoryplayer::renderSingle (copies.fwd(), position, c.step, c.loop, out, 0, c.blockSize), c.outcome);

        const auto got = channel (out, 0);

        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_NEAR (got[i], c.expected[i], 1.0e-4f) << "sample " << i;

        EXPECT_NEAR (position, c.endPosition, 1.0e-9);
    }
}

TEST (MemoryPlayers, ReverseCopyPlaysTheFileBackwards)
{
    const Copies copies (5);
    juce::AudioBuffer<float> out (1, 5);
    double position = 0.0;

    EXPECT_EQ (memoryplayer::renderSingle (copies.rev(), position, 1.0, false, out, 0, 5), Outcome::ended);
    EXPECT_EQ (channel (out, 0), (std::vector<float> { 104, 103, 102, 101, 0 }));
}

TEST (MemoryPlayers, ReadingBackwardsMatchesAReversedCopyBitForBit)
{
    // Noise in 50 frames of which the players may read 37 (as the memory-frame cap leaves them),
    // against a reversed copy of those 37 made the long way: every interpolated sample, loop
    // seam and PlayRev switch must come out identical, not merely close.
    constexpr int stored = 50, readable = 37;
    juce::AudioBuffer<float> frames (2, stored), reversedCopy (2, readable);
    juce::Random random (7);

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < stored; ++i)
            frames.setSample (c, i, random.nextFloat() * 2.0f - 1.0f);

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < readable; ++i)
            reversedCopy.setSample (c, i, frames.getSample (c, readable - 1 - i));

    const memoryplayer::Copy forwards { &frames, readable, false }, backwards { &frames, readable, true };
    const memoryplayer::Copy copied { &reversedCopy, readable, false };

    for (const double step : { 1.0, 0.37, 48000.0 / 44100.0, 2.9 })
        for (const bool loop : { false, true })
        {
            SCOPED_TRACE (juce::String (step) + (loop ? " loop" : ""));
            juce::AudioBuffer<float> viaBackwards (2, 200), viaCopy (2, 200);
            viaBackwards.clear();
            viaCopy.clear();
            double p1 = 0.5, p2 = 0.5;
            EXPECT_EQ (memoryplayer::renderSingle (backwards, p1, step, loop, viaBackwards, 0, 200),
                       memoryplayer::renderSingle (copied, p2, step, loop, viaCopy, 0, 200));

            memoryplayer::PlayRevState s1, s2;
            s1.order = s2.order = 1;
            memoryplayer::renderPlayRev (forwards, backwards, s1, step, loop, viaBackwards, 100, 100);
            memoryplayer::renderPlayRev (forwards, copied, s2, step, loop, viaCopy, 100, 100);

            for (int c = 0; c < 2; ++c)
                EXPECT_EQ (channel (viaBackwards, c), channel (viaCopy, c));
        }
}

TEST (MemoryPlayers, PlayRevPassesFollowEachOtherWithoutSilence)
{
    const Copies copies (4);

    struct Case
    {
        const char* name;
        int order;
        bool loop;
        std::vector<float> expected;
        Outcome outcome;
    };

    // Each half reads frames 0..len-2 of its copy; the switch sample is frame 0 of the copy that takes over.
    const Case cases[] = {
        { "PlayRev, LOOP on",  0, true,  { 100, 101, 102, 103, 102, 101, 100, 101, 102, 103, 102, 101 }, Outcome::playing },
        { "PlayRev, LOOP off", 0, false, { 100, 101, 102, 103, 102, 101, 0, 0, 0, 0, 0, 0 }, Outcome::ended },
        { "RevPlay, LOOP on",  1, true,  { 103, 102, 101, 100, 101, 102, 103, 102, 101, 100, 101, 102 }, Outcome::playing },
        { "RevPlay, LOOP off", 1, false, { 103, 102, 101, 100, 101, 102, 0, 0, 0, 0, 0, 0 }, Outcome::ended },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        memoryplayer::PlayRevState state;
        state.order = c.order;
        juce::AudioBuffer<float> out (1, 12);
        out.clear();

        EXPECT_EQ (memoryplayer::renderPlayRev (copies.fwd(), copies.rev(), state, 1.0, c.loop, out, 0, 12), c.outcome);
        EXPECT_EQ (channel (out, 0), c.expected);
    }
}

TEST (MemoryPlayers, MonoCopyFillsEveryOutputChannelAndStereoKeepsItsOwn)
{
    const Copies mono (8, 1), stereo (8, 2);

    for (const auto* copies : { &mono, &stereo })
    {
        juce::AudioBuffer<float> out (2, 4);
        double position = 1.0;
        memoryplayer::renderSingle (copies->fwd(), position, 1.0, false, out, 0, 4);

        const float rightOffset = copies == &mono ? 0.0f : 1000.0f;

        for (int i = 0; i < 4; ++i)
        {
            EXPECT_EQ (out.getSample (0, i), 101.0f + (float) i);
            EXPECT_EQ (out.getSample (1, i), 101.0f + (float) i + rightOffset);
        }

        memoryplayer::PlayRevState state;
        juce::AudioBuffer<float> pr (2, 4);
        memoryplayer::renderPlayRev (copies->fwd(), copies->rev(), state, 1.0, true, pr, 0, 4);

        for (int i = 0; i < 4; ++i)
            EXPECT_EQ (pr.getSample (1, i) - pr.getSample (0, i), rightOffset);
    }
}

TEST (MemoryPlayers, RenderOnlyTouchesTheBlockRegion)
{
    const Copies copies (16);
    juce::AudioBuffer<float> out (1, 10);
    out.clear();
    out.setSample (0, 0, -7.0f);
    out.setSample (0, 9, -9.0f);
    double position = 0.0;

    memoryplayer::renderSingle (copies.fwd(), position, 1.0, false, out, 2, 6);

    EXPECT_EQ (out.getSample (0, 0), -7.0f);
    EXPECT_EQ (out.getSample (0, 2), 100.0f);
    EXPECT_EQ (out.getSample (0, 7), 105.0f);
    EXPECT_EQ (out.getSample (0, 9), -9.0f);
}
