#include <gtest/gtest.h>

#include "main/audio/TransportEngine.h"
#include "support/AudioFixtures.h"
#include "support/RealtimeTrap.h"

using Stage = TransportEngine::Stage;
using EndNotice = TransportEngine::EndNotice;

namespace
{
    struct Engine
    {
        explicit Engine (std::unique_ptr<DecodedAudio> audio, double deviceRate = 44100.0, int block = 512)
            : buffer (2, block)
        {
            engine.prepareToPlay (block, deviceRate);
            engine.setSource (std::move (audio));
        }

        Stage render (int n = -1)
        {
            const int count = n < 0 ? buffer.getNumSamples() : n;
            buffer.clear();
            return engine.renderBlock (juce::AudioSourceChannelInfo (&buffer, 0, count));
        }

        TransportEngine engine;
        juce::AudioBuffer<float> buffer;
    };

    std::unique_ptr<DecodedAudio> rampFile (int frames, int channels = 1, double rate = 44100.0)
    {
        return audiofixtures::decoded (channels, frames, rate, audiofixtures::ramp (1.0f, 0.0f));
    }
}

TEST (TransportEngine, ModePrecedenceFollowsReadinessOfTheCopies)
{
    struct Case { bool playRev, reverse; float rate; Stage expected; };
    const Case cases[] = {
        { false, false, 1.0f,    Stage::transport },
        { false, false, 1.0005f, Stage::transport },   // within 0.001 of unity is normal speed
        { false, false, 0.5f,    Stage::varispeed },
        { false, true,  0.5f,    Stage::reverse },
        { true,  true,  0.5f,    Stage::playRev },
        { true,  false, 1.0f,    Stage::playRev },
    };

    for (const auto& c : cases)
    {
        Engine e (rampFile (1000));
        e.engine.setPitchPlaybackRate (c.rate);
        e.engine.setReverseMode (c.reverse);
        e.engine.setPlayRevMode (c.playRev);
        e.engine.start();
        EXPECT_EQ (e.render (64), c.expected) << c.playRev << c.reverse << c.rate;
    }

    // Without a file every mode renders silence through the transport path.
    TransportEngine empty;
    empty.setReverseMode (true);
    empty.setPlayRevMode (true);
    juce::AudioBuffer<float> block (2, 32);
    for (int ch = 0; ch < 2; ++ch)
        juce::FloatVectorOperations::fill (block.getWritePointer (ch), 1.0f, 32);
    EXPECT_EQ (empty.renderBlock (juce::AudioSourceChannelInfo (&block, 0, 32)), Stage::transport);
    EXPECT_EQ (block.getMagnitude (0, 32), 0.0f);
    EXPECT_FALSE (empty.hasSourceForAudio());
}

TEST (TransportEngine, FileRateDifferentFromDeviceRatePlaysAtThePitchItWasRecorded)
{
    // 1 kHz recorded at 48 kHz, device at 44.1 kHz: the transport and the memory players must
    // step 48000/44100 frames per output sample, or the tone comes out 8.8 % flat.
    const auto tone = audiofixtures::sine (1000.0, 48000.0);

    struct Case { float rate; bool reverse; double expectedHz; };
    const Case cases[] = { { 1.0f, false, 1000.0 }, { 2.0f, false, 2000.0 }, { 0.5f, false, 500.0 }, { 1.0f, true, 1000.0 } };

    for (const auto& c : cases)
    {
        Engine e (audiofixtures::decoded (1, 96000, 48000.0, tone), 44100.0, 8192);
        e.engine.setPitchPlaybackRate (c.rate);
        e.engine.setReverseMode (c.reverse);
        e.engine.start();
        e.render();
        EXPECT_NEAR (audiofixtures::measureFrequency (e.buffer.getReadPointer (0), 8192, 44100.0), c.expectedHz,
                     c.expectedHz * 1.0e-3)
            << c.rate << " " << c.reverse;
    }
}

TEST (TransportEngine, MonoFilePlaysOnBothOutputsInEveryMode)
{
    struct Case { bool playRev, reverse; float rate; };
    const Case cases[] = { { false, false, 1.0f }, { false, false, 1.5f }, { false, true, 1.0f }, { true, false, 1.0f } };

    for (const auto& c : cases)
    {
        Engine e (audiofixtures::decoded (1, 5000, 44100.0, audiofixtures::sine (300.0, 44100.0)));
        e.engine.setPitchPlaybackRate (c.rate);
        e.engine.setReverseMode (c.reverse);
        e.engine.setPlayRevMode (c.playRev);
        e.engine.start();
        e.render();

        EXPECT_GT (e.buffer.getMagnitude (0, 0, 512), 0.1f);

        for (int i = 0; i < 512; ++i)
            ASSERT_EQ (e.buffer.getSample (0, i), e.buffer.getSample (1, i)) << i;
    }
}

TEST (TransportEngine, NormalPlaybackIsSampleExactAndReachesTheEndOfALongFile)
{
    Engine e (rampFile (20000));
    e.engine.start();
    e.render (100);

    for (int i = 0; i < 100; ++i)
        ASSERT_EQ (e.buffer.getSample (0, i), (float) i);

    // Frames past the memory copies' cap are the transport's: it plays the whole file.
    e.engine.setPosition (19900.0 / 44100.0);
    e.render (200);
    EXPECT_NEAR (e.buffer.getSample (0, 0), 19900.0f, 1.0e-2f);
    EXPECT_NEAR (e.buffer.getSample (1, 99), 19999.0f, 1.0e-2f);
    EXPECT_EQ (e.buffer.getSample (0, 150), 0.0f);
    EXPECT_TRUE (e.engine.hasStreamFinished());
    EXPECT_FALSE (e.engine.isPlaying());
}

TEST (TransportEngine, EndOfFileWithLoopRestartsAtTheNextBlock)
{
    Engine e (rampFile (1000));
    e.engine.setLoopEnabled (true);
    e.engine.start();
    e.engine.setPosition (900.0 / 44100.0);

    e.render (256);   // frames 900..999, then the stream's end
    EXPECT_NEAR (e.buffer.getSample (0, 99), 999.0f, 1.0e-2f);
    EXPECT_EQ (e.buffer.getSample (0, 150), 0.0f);
    e.engine.handleLoopAndEnd();

    EXPECT_TRUE (e.engine.isPlaying());
    e.render (4);
    EXPECT_EQ (e.buffer.getSample (0, 0), 0.0f);
    EXPECT_EQ (e.buffer.getSample (0, 3), 3.0f);

    // LOOP off: the transport stops by itself and stays at the end.
    e.engine.setLoopEnabled (false);
    e.engine.setPosition (990.0 / 44100.0);
    e.render (64);
    e.engine.handleLoopAndEnd();
    EXPECT_FALSE (e.engine.isPlaying());
}

TEST (TransportEngine, LoopRangeJumpsBackOnlyWhileTheSelectionIsShown)
{
    Engine e (rampFile (44100));
    e.engine.setLoopRange (true, 0.1, 0.2);
    e.engine.setLoopSelectionShown (true);
    e.engine.setPosition (8775.0 / 44100.0);
    e.engine.start();

    e.render (100);               // crosses 0.2 s (frame 8820)
    e.engine.handleLoopAndEnd();
    e.render (1);
    EXPECT_NEAR (e.buffer.getSample (0, 0), 4410.0f, 1.0e-2f);

    e.engine.setLoopSelectionShown (false);
    e.engine.setPosition (8775.0 / 44100.0);
    e.render (100);
    e.engine.handleLoopAndEnd();
    e.render (1);
    EXPECT_NEAR (e.buffer.getSample (0, 0), 8875.0f, 1.0e-2f);   // straight on
}

TEST (TransportEngine, MemoryPassEndStopsOnceAndLeavesOneNotice)
{
    // Varispeed 0.5 over a 100-frame copy ends 198 samples in; LOOP is off.
    Engine e (rampFile (100));
    e.engine.setPitchPlaybackRate (0.5f);
    e.engine.start();

    EXPECT_EQ (e.render (256), Stage::varispeed);
    EXPECT_EQ (e.buffer.getSample (0, 197), 98.5f);
    EXPECT_EQ (e.buffer.getMagnitude (0, 198, 58), 0.0f);
    EXPECT_FALSE (e.engine.isPlaying());

    for (int i = 0; i < 5; ++i)
        e.render (256);

    EXPECT_EQ (e.engine.takeEndNotice(), EndNotice::memoryPlayback);
    EXPECT_EQ (e.engine.takeEndNotice(), EndNotice::none);

    // PlayRev reports its own kind of end, and the next pass starts with its first half.
    e.engine.setPitchPlaybackRate (1.0f);
    e.engine.setPlayRevMode (true);
    e.engine.togglePlayPause();
    e.render (256);
    EXPECT_EQ (e.engine.takeEndNotice(), EndNotice::playRev);
    EXPECT_TRUE (e.engine.isInSecondHalf());
    e.engine.finishPlayRevPass();
    EXPECT_FALSE (e.engine.isInSecondHalf());
}

TEST (TransportEngine, PlayPauseAndStopRewindAsTheButtonsDo)
{
    Engine e (rampFile (44100));

    // Normal playback resumes where it paused.
    e.engine.togglePlayPause();
    e.render (300);
    EXPECT_FALSE (e.engine.togglePlayPause());
    EXPECT_TRUE (e.engine.togglePlayPause());
    e.render (1);
    EXPECT_EQ (e.buffer.getSample (0, 0), 300.0f);

    // At the end, or within 0.01 s of it, PLAY starts again from the top.
    e.engine.togglePlayPause();
    e.engine.setPosition (1.0 - 0.005);
    e.engine.togglePlayPause();
    e.render (1);
    EXPECT_EQ (e.buffer.getSample (0, 0), 0.0f);

    // STOP then PLAY starts at 0.
    e.render (500);
    e.engine.stopAndRewind();
    e.engine.togglePlayPause();
    e.render (1);
    EXPECT_EQ (e.buffer.getSample (0, 0), 0.0f);

    // Varispeed: PLAY after a pause starts the forward copy from its beginning.
    e.engine.setPitchPlaybackRate (2.0f);
    e.render (100);
    e.engine.togglePlayPause();
    e.engine.togglePlayPause();
    e.render (1);
    EXPECT_EQ (e.buffer.getSample (0, 0), 0.0f);
}

TEST (TransportEngine, PauseFadesTheNextBlockInsteadOfCuttingIt)
{
    Engine e (audiofixtures::decoded (1, 44100, 44100.0, [] (int, int) { return 0.5f; }));
    e.engine.start();
    e.render (512);
    e.engine.togglePlayPause();
    e.render (512);

    EXPECT_FLOAT_EQ (e.buffer.getSample (0, 0), 0.5f);
    EXPECT_LT (e.buffer.getSample (0, 200), 0.5f);
    EXPECT_EQ (e.buffer.getMagnitude (0, 256, 256), 0.0f);

    e.render (512);
    EXPECT_EQ (e.buffer.getMagnitude (0, 512), 0.0f);
}

TEST (TransportEngine, IsPlayingNeedsTheTransportInEveryMode)
{
    struct Case { bool playRev, reverse; float rate; };
    const Case cases[] = { { false, false, 1.0f }, { false, true, 1.0f }, { true, false, 1.0f }, { false, false, 0.5f } };

    for (const auto& c : cases)
    {
        Engine e (rampFile (4000));
        e.engine.setReverseMode (c.reverse);
        e.engine.setPlayRevMode (c.playRev);
        e.engine.setPitchPlaybackRate (c.rate);

        EXPECT_FALSE (e.engine.isPlaying());
        e.render (64);
        EXPECT_EQ (e.buffer.getMagnitude (0, 64), 0.0f);

        e.engine.togglePlayPause();
        EXPECT_TRUE (e.engine.isPlaying());
    }
}

TEST (TransportEngine, ReverseStartsAtTheLastFrameOfTheCopyAndPositionsReportThePass)
{
    Engine e (rampFile (1000), 44100.0);
    e.engine.setReverseMode (true);
    e.engine.togglePlayPause();
    e.render (100);

    EXPECT_EQ (e.buffer.getSample (0, 0), 999.0f);
    EXPECT_EQ (e.buffer.getSample (0, 99), 900.0f);
    EXPECT_DOUBLE_EQ (e.engine.getPlaybackPosition(), 100.0 / 1000.0 * (1000.0 / 44100.0));
    EXPECT_DOUBLE_EQ (e.engine.getDisplayPosition(), (1.0 - 100.0 / 1000.0) * (1000.0 / 44100.0));

    // Switching REV off rewinds the transport and keeps it playing.
    e.engine.setReverseMode (false);
    EXPECT_TRUE (e.engine.isPlaying());
    e.render (1);
    EXPECT_EQ (e.buffer.getSample (0, 0), 0.0f);
}

TEST (TransportEngine, UnloadingLeavesNoCopyBehind)
{
    Engine e (rampFile (1000));
    e.engine.setReverseMode (true);
    EXPECT_TRUE (e.engine.isReversedReady());

    e.engine.setSource (nullptr);
    EXPECT_FALSE (e.engine.isForwardReady());
    EXPECT_FALSE (e.engine.isReversedReady());
    EXPECT_FALSE (e.engine.togglePlayPause());

    for (auto rate : { 1.0f, 0.5f })
    {
        e.engine.setPitchPlaybackRate (rate);
        e.render (64);
        EXPECT_EQ (e.buffer.getMagnitude (0, 64), 0.0f);
    }
}

TEST (TransportEngine, RenderingAllocatesAndLocksNothing)
{
    if (! testing_rt::trapAvailable())
        GTEST_SKIP() << "sanitizer build";

    struct Case { bool playRev, reverse; float rate; bool loop; int order; };
    const Case cases[] = {
        { false, false, 1.0f, false, 0 }, { false, false, 1.0f, true, 0 }, { false, false, 0.7f, true, 0 },
        { false, false, 0.7f, false, 0 }, { false, true, 1.3f, true, 0 }, { false, true, 1.0f, false, 0 },
        { true, false, 1.0f, true, 0 },  { true, false, 2.0f, false, 1 },
    };

    for (const auto& c : cases)
    {
        for (int block : { 64, 512 })
        {
            Engine e (audiofixtures::decoded (2, 3000, 48000.0, audiofixtures::sine (50.0, 48000.0)), 44100.0, block);
            e.engine.setReverseMode (c.reverse);
            e.engine.setPlayRevMode (c.playRev);
            e.engine.choosePlayRevOrder (c.order + 1);
            e.engine.setPitchPlaybackRate (c.rate);
            e.engine.setLoopEnabled (c.loop);
            e.engine.start();
            e.render();

            bool finite = true;
            testing_rt::RealtimeScope scope;

            // Long enough to pass every end, wrap and stop.
            for (int i = 0; i < 100; ++i)
            {
                e.render();
                e.engine.handleLoopAndEnd();
                finite = finite && audiofixtures::allFinite (e.buffer);
            }

            const auto counts = scope.counts();
            EXPECT_TRUE (finite);
            EXPECT_TRUE (counts.clean()) << c.playRev << c.reverse << c.rate << c.loop << " block " << block;
        }
    }
}
