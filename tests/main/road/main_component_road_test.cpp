#include <gtest/gtest.h>

#include "main/MainComponentChainAccess.h"
#include "main/road/MainComponentRoadAccess.h"
#include "support/AudioFixtures.h"
#include "support/MessagePump.h"
#include "support/RealtimeTrap.h"

#include <cmath>
#include <limits>
#include <vector>

// The whole audio road of the main window driven as the device would: a generated file is
// loaded through the same function the LOAD WAV chooser calls, the prepare step runs, and
// blocks are pulled through getNextAudioBlock.

namespace
{
    constexpr int fileFrames = 2000;

    // Distinct channels (left rises, right falls) so a swapped or duplicated channel shows.
    float fileSample (int channel, int frame)
    {
        const float v = (float) (frame + 1) * 1.0e-4f;
        return channel == 0 ? v : -v;
    }

    struct Road
    {
        explicit Road (double deviceRate = 48000.0, int block = 512)
            : access (mc)
        {
            mc.shutdownAudio();   // no device thread: the test pulls the blocks itself
            mc.prepareToPlay (block, deviceRate);
            // The chain's own processing has its own tests; keep it out of the road's arithmetic.
            MainComponentChainAccess (mc).keepChainOut();
        }

        juce::File write (const juce::String& name, int channels, int frames,
                          const audiofixtures::SampleFunction& sample = fileSample, double rate = 48000.0)
        {
            const auto file = scratch.file (name);
            EXPECT_TRUE (audiofixtures::writeWav (file, rate, channels, frames, sample, 32));
            return file;
        }

        /** Pulls `total` samples in blocks of `block`; returns both channels end to end. With
            `trapped`, the allocation trap watches every getNextAudioBlock and adds up its counts. */
        std::array<std::vector<float>, 2> render (int total, int block, testing_rt::Counts* trapped = nullptr)
        {
            std::array<std::vector<float>, 2> out;
            out[0].reserve ((size_t) total + (size_t) block);
            out[1].reserve ((size_t) total + (size_t) block);
            juce::AudioBuffer<float> buffer (2, block);

            for (int done = 0; done < total; done += block)
            {
                buffer.clear();

                if (trapped != nullptr)
                {
                    testing_rt::RealtimeScope scope;
                    mc.getNextAudioBlock (juce::AudioSourceChannelInfo (&buffer, 0, block));
                    const auto c = scope.counts();
                    trapped->allocations += c.allocations;
                    trapped->releases += c.releases;
                    trapped->locks += c.locks;
                }
                else
                {
                    mc.getNextAudioBlock (juce::AudioSourceChannelInfo (&buffer, 0, block));
                }

                for (int c = 0; c < 2; ++c)
                    out[(size_t) c].insert (out[(size_t) c].end(), buffer.getReadPointer (c),
                                            buffer.getReadPointer (c) + block);
            }

            return out;
        }

        audiofixtures::ScratchFolder scratch;
        MainComponent mc;
        MainComponentRoadAccess access;
    };

    // What each mode must play, sample by sample, from a file of fileFrames frames at the
    // device's rate with LOOP off: every memory pass ends one frame before its copy's last.
    float expectedSample (const juce::String& mode, int channel, int i)
    {
        const int last = fileFrames - 1;

        if (mode == "normal")
            return i < fileFrames ? fileSample (channel, i) : 0.0f;

        if (mode == "varispeed")
        {
            const double pos = i * 0.5;
            const int j = (int) pos;
            if (j >= last)
                return 0.0f;
            const float a = fileSample (channel, j), b = fileSample (channel, j + 1);
            return (b - a) * (float) (pos - j) + a;
        }

        if (mode == "reverse")
            return i < last ? fileSample (channel, last - i) : 0.0f;

        if (mode == "playrev")
            return i < last ? fileSample (channel, i)
                            : i < 2 * last ? fileSample (channel, last - (i - last)) : 0.0f;

        // revplay
        return i < last ? fileSample (channel, last - i)
                        : i < 2 * last ? fileSample (channel, i - last) : 0.0f;
    }
}

TEST (MainComponentRoad, EveryPlaybackModePlaysTheFileSampleExactlyWithoutAllocating)
{
    const char* modes[] = { "normal", "varispeed", "reverse", "playrev", "revplay" };

    for (const char* mode : modes)
    {
        for (int block : { 64, 512 })
        {
            SCOPED_TRACE (juce::String (mode) + " block " + juce::String (block));
            Road road (48000.0, block);
            auto& a = road.access;
            a.chooserResult (road.write ("ramp.wav", 2, fileFrames));
            ASSERT_TRUE (a.transport().hasSource());

            const juce::String m (mode);
            if (m == "varispeed") a.pitch (-1.0f);
            if (m == "reverse")   a.setRev (true);
            if (m == "playrev" || m == "revplay") a.setPlayRev (true);
            if (m == "revplay")   a.playRevMenu (2);

            a.click (a.playButton());
            EXPECT_EQ (a.playButton().getButtonText(), "PAUSE");

            // Well past every end; the trap watches all of it after the first block.
            const int total = 8192;
            juce::AudioBuffer<float> warm (2, block);
            road.mc.getNextAudioBlock (juce::AudioSourceChannelInfo (&warm, 0, block));
            a.click (a.stopButton());
            a.click (a.playButton());

            testing_rt::Counts counts;
            const auto out = road.render (total, block, &counts);

            if (testing_rt::trapAvailable())
            {
                EXPECT_TRUE (counts.clean()) << counts.allocations << " allocations, " << counts.locks << " locks";
            }

            int mismatches = 0;

            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < total; ++i)
                {
                    const float got = out[(size_t) c][(size_t) i];
                    ASSERT_TRUE (std::isfinite (got));

                    if (std::abs (got - expectedSample (m, c, i)) > 1.0e-6f && mismatches++ < 3)
                        ADD_FAILURE() << "channel " << c << " sample " << i << ": " << got
                                      << " expected " << expectedSample (m, c, i);
                }

            // Every pass stopped by itself; for the memory passes the timer turns the caption back.
            a.poll();
            EXPECT_FALSE (a.isPlaying());

            if (m != "normal")
            {
                EXPECT_EQ (a.playButton().getButtonText(), "PLAY");
            }
        }
    }
}

TEST (MainComponentRoad, MonoFilePlaysOnBothOutputsAndAFasterFileAtItsPitch)
{
    Road road (44100.0, 4096);
    auto& a = road.access;

    // 1 kHz recorded at 48 kHz, mono, on a 44.1 kHz device.
    a.load (road.write ("mono48k.wav", 1, 48000, audiofixtures::sine (1000.0, 48000.0), 48000.0));
    a.click (a.playButton());

    for (auto mode : { 0, 1, 2 })
    {
        if (mode == 1) a.setRev (true);
        if (mode == 2) { a.setRev (false); a.setPlayRev (true); }

        const auto out = road.render (4096, 4096);
        EXPECT_EQ (out[0], out[1]) << mode;
        EXPECT_NEAR (audiofixtures::measureFrequency (out[0].data() + 100, 3900, 44100.0), 1000.0, 2.0) << mode;
    }
}

TEST (MainComponentRoad, FormatsLoadAndRefusedFilesLeaveNoHalfLoadedState)
{
    Road road;
    auto& a = road.access;
    const auto good = road.write ("good.wav", 2, fileFrames);

    juce::FlacAudioFormat flac;
    juce::OggVorbisAudioFormat ogg;
    juce::AiffAudioFormat aiff;
    const auto tone = audiofixtures::sine (440.0, 48000.0);
    ASSERT_TRUE (audiofixtures::writeFile (flac, road.scratch.file ("t.flac"), 48000.0, 2, 4800, 16, tone));
    ASSERT_TRUE (audiofixtures::writeFile (ogg, road.scratch.file ("t.ogg"), 48000.0, 2, 4800, 16, tone, 5));
    ASSERT_TRUE (audiofixtures::writeFile (aiff, road.scratch.file ("t.aiff"), 48000.0, 2, 4800, 16, tone));

    for (const auto& file : { road.scratch.file ("t.flac"), road.scratch.file ("t.ogg"), road.scratch.file ("t.aiff"),
                              juce::File (juce::String (TAVRO_TEST_DATA_DIR) + "/sine440_half_second.mp3") })
    {
        a.chooserResult (file);
        EXPECT_EQ (a.fileLabel().getText(), file.getFileName());
        EXPECT_TRUE (a.playButton().isEnabled());
        EXPECT_GT (MainComponent::getAudioLengthSeconds(), 0.09);
    }

    const auto text = road.scratch.file ("words.wav");
    text.replaceWithText ("plain words, not audio");
    const auto empty = road.scratch.file ("empty.wav");
    empty.create();
    const auto renamed = road.scratch.file ("renamed.wav");
    road.scratch.file ("t.flac").copyFileTo (renamed);

    struct Case { juce::File file; bool refusedOutright; };
    const Case cases[] = {
        { road.scratch.file ("missing.wav"), true },   // not a file: nothing happens at all
        { road.scratch.folder, true },
        { text, false },                                // a file without a reader: unloaded
        { empty, false },
        { renamed, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.file.getFileName());
        a.load (good);
        a.setRev (true);
        a.click (a.playButton());
        ASSERT_TRUE (a.isPlaying());

        a.chooserResult (c.file);
        a.load (c.file);   // the drop and bounce road skips the chooser's check

        if (c.refusedOutright)
        {
            EXPECT_EQ (a.fileLabel().getText(), "good.wav");
            EXPECT_TRUE (a.isPlaying());
        }
        else
        {
            EXPECT_EQ (a.fileLabel().getText(), "No file loaded");
            EXPECT_FALSE (a.transport().isForwardReady());
            EXPECT_FALSE (a.transport().isReversedReady());
            EXPECT_DOUBLE_EQ (MainComponent::getAudioLengthSeconds(), 0.0);

            a.click (a.playButton());
            EXPECT_FALSE (a.isPlaying());

            const auto out = road.render (1024, 512);
            EXPECT_EQ (*std::max_element (out[0].begin(), out[0].end()), 0.0f);
        }

        a.setRev (false);
        EXPECT_TRUE (road.mc.isAudioReady());
    }
}

TEST (MainComponentRoad, UnusableVolumeSilencesTheBlockAndTheKnobMapsItsRange)
{
    Road road;
    auto& a = road.access;
    a.load (road.write ("loud.wav", 2, 48000, [] (int c, int) { return c == 0 ? 0.9f : -0.9f; }));
    a.click (a.playButton());

    for (float volume : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -1.0f, 0.0f })
    {
        a.volumeGain() = volume;
        const auto out = road.render (512, 512);
        EXPECT_EQ (*std::max_element (out[0].begin(), out[0].end()), 0.0f) << volume;
        EXPECT_EQ (*std::min_element (out[1].begin(), out[1].end()), 0.0f) << volume;
    }

    struct Case { float knob, gain; };
    const Case cases[] = { { 100, 1.0f }, { 150, 2.5f }, { 200, 4.0f }, { 50, 0.5f }, { -10, 0.0f },
                           { std::numeric_limits<float>::quiet_NaN(), 1.0f } };

    for (const auto& c : cases)
    {
        a.volume (c.knob);
        EXPECT_FLOAT_EQ (a.volumeGain().load(), c.gain) << c.knob;
    }

    // Pan left by half turns the right side down, width 0 folds to mono.
    a.volume (100.0f);
    a.pan (-0.5f);
    auto out = road.render (512, 512);
    EXPECT_FLOAT_EQ (out[0][10], 0.9f);
    EXPECT_FLOAT_EQ (out[1][10], -0.45f);
    a.pan (0.0f);
    a.width (0.0f);
    out = road.render (512, 512);
    EXPECT_EQ (out[0][10], 0.0f);
    EXPECT_EQ (out[1][10], 0.0f);
}

TEST (MainComponentRoad, PlayingStateAndCaptionFollowTheTransportInEveryMode)
{
    struct Case { const char* mode; bool start; };
    const Case cases[] = { { "normal", true }, { "normal", false }, { "rev", true }, { "rev", false },
                           { "playrev", true }, { "playrev", false }, { "varispeed", true }, { "varispeed", false } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.mode) + (c.start ? " started" : " stopped"));
        Road road;
        auto& a = road.access;
        a.load (road.write ("f.wav", 2, 48000));
        const juce::String m (c.mode);
        if (m == "rev") a.setRev (true);
        if (m == "playrev") a.setPlayRev (true);
        if (m == "varispeed") a.pitch (0.5f);

        if (c.start)
            a.click (a.playButton());

        road.render (512, 512);
        a.poll();
        EXPECT_EQ (a.isPlaying(), c.start);
        EXPECT_EQ (a.playButton().getButtonText(), c.start ? "PAUSE" : "PLAY");
    }
}

TEST (MainComponentRoad, PlayRevMenuTextsOrderAndButtonCaption)
{
    const auto tick = juce::String::fromUTF8 ("\xe2\x9c\x93 ");
    const auto arrow = juce::String::fromUTF8 (" \xe2\x86\x92 ");
    EXPECT_EQ (MainComponentRoadAccess::playRevItemText (1, 0), tick + "PlayRev (Forward" + arrow + "Reverse)");
    EXPECT_EQ (MainComponentRoadAccess::playRevItemText (2, 0), "RevPlay (Reverse" + arrow + "Forward)");
    EXPECT_EQ (MainComponentRoadAccess::playRevItemText (1, 1), "PlayRev (Forward" + arrow + "Reverse)");
    EXPECT_EQ (MainComponentRoadAccess::playRevItemText (2, 1), tick + "RevPlay (Reverse" + arrow + "Forward)");

    Road road;
    auto& a = road.access;
    a.load (road.write ("f.wav", 2, fileFrames));

    a.playRevMenu (2);
    EXPECT_EQ (a.transport().getPlayRevOrder(), 1);
    EXPECT_EQ (a.playRevButton().getButtonText(), "REVPLAY");

    a.setPlayRev (true);
    EXPECT_EQ (a.playRevButton().getButtonText(), "REVPLAY");
    a.click (a.playButton());
    road.render (2048, 512);   // into the second half
    EXPECT_TRUE (a.transport().isInSecondHalf());

    // Dismissing the menu (id 0) keeps the order but restarts the pass.
    a.playRevMenu (0);
    EXPECT_EQ (a.transport().getPlayRevOrder(), 1);
    EXPECT_FALSE (a.transport().isInSecondHalf());
    EXPECT_EQ (a.transport().getReversePosition(), 0.0);

    a.setPlayRev (false);
    EXPECT_EQ (a.playRevButton().getButtonText(), "REVPLAY");

    a.playRevMenu (1);
    EXPECT_EQ (a.playRevButton().getButtonText(), "PLAYREV");
    EXPECT_EQ (a.transport().getPlayRevOrder(), 0);
}

TEST (MainComponentRoad, TempoReachesEveryUserWithItsOwnLimits)
{
    Road road;
    auto& a = road.access;

    struct Case { float bpm, clock, effects, randomiser; };
    const Case cases[] = { { 500.0f, 400.0f, 500.0f, 300.0f }, { 0.1f, 0.25f, 0.1f, 20.0f }, { 128.0f, 128.0f, 128.0f, 128.0f } };

    for (const auto& c : cases)
    {
        a.setBpm (c.bpm);
        EXPECT_EQ (a.beatClock().getTargetTempo(), c.clock) << c.bpm;
        EXPECT_EQ (a.stereoUtilityTempo(), c.effects);
        EXPECT_EQ (a.delayVerbTempo(), c.effects);
        EXPECT_EQ (a.chainTempo(), c.effects);
        EXPECT_EQ (a.randomiser().tempo.load(), c.randomiser);
    }
}

TEST (MainComponentButtons, KnobAnimationRatesCaptureAndRepeatCounts)
{
    Road road;
    auto& a = road.access;

    // Disabled, a rate is only stored; enabling starts the six knob timers with it.
    a.presetMenu (10);
    EXPECT_FALSE (a.knobAnimationEnabled());
    EXPECT_FALSE (a.toneMaxKnob().isTimerRunning());
    a.presetMenu (13);
    EXPECT_EQ (a.knobAnimationFps(), 10);
    EXPECT_FALSE (a.toneMaxKnob().isTimerRunning());
    a.presetMenu (10);
    EXPECT_EQ (a.toneMaxKnob().getTimerInterval(), 100);
    EXPECT_EQ (a.mathControlKnob().getTimerInterval(), 100);
    a.presetMenu (14);
    EXPECT_EQ (a.toneMaxKnob().getTimerInterval(), 200);

    // CAPTURE shows and hides the recording panel, and the audio thread learns which.
    a.click (a.captureButton());
    EXPECT_TRUE (a.recordingWindow().isVisible());
    EXPECT_TRUE (a.recordingWindowShown());
    EXPECT_EQ (a.captureButton().getButtonText(), "....");
    a.click (a.captureButton());
    EXPECT_FALSE (a.recordingWindow().isVisible());
    EXPECT_FALSE (a.recordingWindowShown());
    EXPECT_EQ (a.captureButton().getButtonText(), "CAPTURE");

    const std::pair<const char*, int> repeats[] = { { "25", 10 }, { "0", 1 }, { "abc", 1 }, { "3", 3 }, { "-4", 1 } };

    for (const auto& [text, count] : repeats)
        a.addRepeat (2, text);

    ASSERT_EQ (a.loopSequence().size(), std::size (repeats));

    for (size_t i = 0; i < std::size (repeats); ++i)
        EXPECT_EQ (a.loopSequence()[i].repeats, repeats[i].second) << repeats[i].first;
}

TEST (MainComponentButtons, RevertTurnsFreezeOffAndResetsKnobsAfterTheirCallbacks)
{
    Road road;
    auto& a = road.access;
    road.mc.toggleFreeze();
    ASSERT_TRUE (a.frozen());

    auto* mix = a.distortionSuite().findKnob ("MIX");
    ASSERT_NE (mix, nullptr);
    mix->setValue (80.0);

    a.revert();

    EXPECT_FALSE (a.frozen());
    EXPECT_FALSE (a.randomiser().freezeLock);
    EXPECT_EQ (a.freezeButton().getButtonText(), "FREEZE");
    EXPECT_FALSE (a.freezeButton().getToggleState());
    EXPECT_EQ (a.revertButton().findColour (juce::TextButton::buttonColourId), juce::Colour (0xff32cd32));

    // The knob moves with an asynchronous notification; the green flash ends after 300 ms.
    const auto restingColour = juce::Colour (0xff87ceeb);
    test_support::pumpUntil ([&]
    {
        return mix->getValue() == 0.0 && a.revertButton().findColour (juce::TextButton::buttonColourId) == restingColour;
    }, 400);
    EXPECT_EQ (mix->getValue(), 0.0);
    EXPECT_EQ (a.revertButton().findColour (juce::TextButton::buttonColourId), restingColour);
}

TEST (MainComponentButtons, RevertStopsTheReaderAndSendsItsEnginesToRest)
{
    Road road;
    auto& reader = road.access.dictionaryReader();
    reader.tokenize ("some words to read");
    reader.engineTargets.grPitch = -12.0f;
    reader.engineParams.htTime = 3.0f;
    reader.verbDrive = 0.7f;
    for (auto* b : { &reader.readButton, &reader.microPitchButton, &reader.halfTimeButton })
        b->setToggleState (true, juce::sendNotificationSync);
    const auto requests = reader.getProcessor().parameters.engineResetRequests.load();

    road.access.revert();

    EXPECT_FALSE (reader.reading.load());
    EXPECT_FALSE (reader.readButton.getToggleState());
    EXPECT_FALSE (reader.getProcessor().parameters.microPitch.load());
    EXPECT_FALSE (reader.getProcessor().parameters.halfTime.load());
    EXPECT_EQ (reader.engineTargets.grPitch, 0.0f);
    EXPECT_EQ (reader.engineParams.htTime, 1.5f);
    EXPECT_EQ (reader.verbDrive.load(), 0.0f);
    EXPECT_EQ (reader.getProcessor().parameters.engineResetRequests.load(), requests + 1);
}

TEST (MainComponentRoad, CircuitBendActsOnTheBlockFromItsFirstBentBlockWithoutAllocating)
{
    Road road;
    auto& a = road.access;
    a.chooserResult (road.write ("tone.wav", 2, 48000, [] (int c, int f)
    {
        return (c == 0 ? 0.3f : -0.3f) * std::sin (0.01f * (float) f);
    }));
    a.click (a.playButton());

    // Unbent first: the file's samples pass, most of them off the quarter grid.
    auto offGrid = [] (const std::array<std::vector<float>, 2>& out)
    {
        int n = 0;
        for (const auto& channel : out)
            for (float x : channel)
                n += x * 4.0f != std::round (x * 4.0f) ? 1 : 0;
        return n;
    };
    EXPECT_GT (offGrid (road.render (1024, 512)), 900);

    // Bit crush at full amount through the menu and a posted value.
    a.mathControlMenu (10);
    a.postMacroValue (MathControl, 1.0f);
    ASSERT_TRUE (test_support::runPendingMessages());

    testing_rt::Counts counts;
    const auto bent = road.render (4096, 512, &counts);
    EXPECT_EQ (offGrid (bent), 0);

    if (testing_rt::trapAvailable())
    {
        EXPECT_TRUE (counts.clean()) << counts.allocations << " allocations, " << counts.locks << " locks";
    }
}

TEST (MainComponentRoad, OneDecodedCopyServesTheTransportAndTheFinalizerPlayer)
{
    Road road;
    auto& a = road.access;
    auto& fin = a.finalizer();
    fin.maxPlayerFrames = 1000;   // stands in for the long-file cap on a small file

    auto& panel = MainComponentChainAccess (road.mc).finalizerPanel();
    EXPECT_EQ (panel.titleLabel.getText(), "FINALIZER");

    a.load (road.write ("shared.wav", 2, 5000));
    const auto& shared = a.transport().getSource();
    EXPECT_EQ (panel.titleLabel.getText(), "FINALIZER (SLAVED)");
    EXPECT_EQ (panel.statusLabel.getText(), "No file loaded");
    ASSERT_NE (shared, nullptr);

    // Same object, not an equal copy: the finalizer neither decoded nor copied the file.
    EXPECT_EQ (fin.getWavePlayer().getSource().get(), shared.get());
    EXPECT_EQ (shared->getLength(), 5000);
    EXPECT_EQ (fin.wavePlayerLength(), 1000);
    EXPECT_EQ (fin.playerSampleRate.load(), 48000);

    fin.playing = true;
    std::vector<float> left (1200, 0.0f), right (1200, 0.0f);
    EXPECT_EQ (fin.renderWavePlayer (left.data(), right.data(), 1200, 48000.0), 1000);
    for (int i : { 0, 500, 999 })
    {
        EXPECT_FLOAT_EQ (left[(size_t) i], fileSample (0, i)) << i;
        EXPECT_FLOAT_EQ (right[(size_t) i], fileSample (1, i)) << i;
    }

    // The next file replaces the player's reference; the old copy is not kept alive by it.
    std::weak_ptr<const DecodedAudio> first = shared;
    a.load (road.write ("next.wav", 2, 800));
    EXPECT_EQ (fin.getWavePlayer().getSource().get(), a.transport().getSource().get());
    EXPECT_EQ (fin.wavePlayerLength(), 800);
    EXPECT_TRUE (first.expired());
}
