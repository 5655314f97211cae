#include <gtest/gtest.h>

#include "main/audio/MemoryPlayers.h"
#include "platform/AudioFileGuard.h"
#include "support/AudioFixtures.h"

#include <limits>

using audiofile::LoadFailure;
using audiofixtures::formats;

namespace
{
    // Largest difference between the decoded samples and the generator, over the frames both have.
    float worstError (const DecodedAudio& audio, const audiofixtures::SampleFunction& expected, int channels, int skip = 0)
    {
        float worst = 0.0f;

        for (int c = 0; c < channels; ++c)
            for (int i = skip; i < audio.getLength(); ++i)
                worst = juce::jmax (worst, std::abs (audio.samples.getSample (c, i) - expected (c, i)));

        return worst;
    }
}

TEST (DecodedAudio, EveryRegisteredFormatDecodesWithItsRateLengthAndChannels)
{
    audiofixtures::ScratchFolder scratch;
    const auto tone = audiofixtures::sine (440.0, 48000.0);

    juce::WavAudioFormat wav;
    juce::AiffAudioFormat aiff;
    juce::FlacAudioFormat flac;
    juce::OggVorbisAudioFormat ogg;

    struct Case { juce::AudioFormat* format; const char* name; int bits; int channels; float tolerance; int quality; };
    const Case cases[] = {
        { &wav,  "tone16.wav",  16, 2, 1.0e-4f, 0 },
        { &wav,  "tone24.wav",  24, 1, 1.0e-6f, 0 },
        { &wav,  "tone32.wav",  32, 2, 0.0f,    0 },
        { &aiff, "tone.aiff",   16, 2, 1.0e-4f, 0 },
        { &flac, "tone.flac",   24, 2, 1.0e-6f, 0 },
        { &ogg,  "tone.ogg",    16, 2, 0.05f,   8 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = scratch.file (c.name);
        ASSERT_TRUE (audiofixtures::writeFile (*c.format, file, 48000.0, c.channels, 24000, c.bits, tone, c.quality));

        const auto result = audiofile::decode (formats(), file);
        ASSERT_EQ (result.failure, LoadFailure::none);
        ASSERT_NE (result.audio, nullptr);
        EXPECT_EQ (result.audio->sampleRate, 48000.0);
        EXPECT_EQ (result.audio->getNumChannels(), c.channels);
        EXPECT_EQ (result.audio->getLength(), 24000);
        EXPECT_DOUBLE_EQ (result.audio->getLengthSeconds(), 0.5);
        // Ogg's first frames carry the codec's start-up, so compare it after them.
        EXPECT_LE (worstError (*result.audio, tone, c.channels, c.format == &ogg ? 2048 : 0), c.tolerance);
    }
}

TEST (DecodedAudio, Mp3FixtureDecodesThroughTheFrameworkReader)
{
    const juce::File mp3 (juce::String (TAVRO_TEST_DATA_DIR) + "/sine440_half_second.mp3");
    ASSERT_TRUE (mp3.existsAsFile());

    const auto result = audiofile::decode (formats(), mp3);
    ASSERT_EQ (result.failure, LoadFailure::none);
    EXPECT_EQ (result.audio->sampleRate, 44100.0);
    EXPECT_EQ (result.audio->getNumChannels(), 2);
    // The encoder pads to whole frames and adds its own delay.
    EXPECT_NEAR (result.audio->getLength(), 22050, 2 * 1152);

    const auto* left = result.audio->samples.getReadPointer (0);
    const auto frequency = audiofixtures::measureFrequency (left + 4096, 8192, 44100.0);
    EXPECT_NEAR (frequency, 440.0, 2.0);
}

TEST (DecodedAudio, MoreThanTwoChannelsKeepsTheFirstTwo)
{
    audiofixtures::ScratchFolder scratch;
    const auto file = scratch.file ("six.wav");
    ASSERT_TRUE (audiofixtures::writeWav (file, 44100.0, 6, 1000, audiofixtures::ramp (1.0e-4f, 0.1f), 32));

    const auto result = audiofile::decode (formats(), file);
    ASSERT_NE (result.audio, nullptr);
    EXPECT_EQ (result.audio->fileChannels, 6);
    EXPECT_EQ (result.audio->getNumChannels(), 2);
    EXPECT_FLOAT_EQ (result.audio->samples.getSample (1, 10), 10 * 1.0e-4f + 0.1f);
}

TEST (DecodedAudio, BadInputIsRefusedWithTheReason)
{
    audiofixtures::ScratchFolder scratch;

    const auto good = scratch.file ("good.wav");
    ASSERT_TRUE (audiofixtures::writeWav (good, 44100.0, 2, 4410, audiofixtures::sine (100.0, 44100.0)));

    const auto empty = scratch.file ("empty.wav");
    empty.create();

    const auto headerCut = scratch.file ("header-cut.wav");
    {
        juce::MemoryBlock bytes;
        good.loadFileAsData (bytes);
        headerCut.replaceWithData (bytes.getData(), 20);
    }

    const auto text = scratch.file ("notes.wav");
    text.replaceWithText ("not audio at all, just words in a file with an audio name");

    // A real FLAC stream behind a WAV name: the manager picks the reader by extension.
    const auto renamed = scratch.file ("renamed.wav");
    {
        juce::FlacAudioFormat flac;
        ASSERT_TRUE (audiofixtures::writeFile (flac, scratch.file ("real.flac"), 44100.0, 2, 4410, 16,
                                               audiofixtures::sine (100.0, 44100.0)));
        scratch.file ("real.flac").moveFileTo (renamed);
    }

    const auto noFrames = scratch.file ("no-frames.wav");
    ASSERT_TRUE (audiofixtures::writeWav (noFrames, 44100.0, 2, 0, audiofixtures::sine (100.0, 44100.0)));

    struct Case { juce::File file; LoadFailure expected; };
    const Case cases[] = {
        { juce::File(),                         LoadFailure::notAFile },
        { scratch.file ("missing.wav"),         LoadFailure::notAFile },
        { scratch.folder,                       LoadFailure::notAFile },
        { empty,                                LoadFailure::noReader },
        { headerCut,                            LoadFailure::noReader },
        { text,                                 LoadFailure::noReader },
        { renamed,                              LoadFailure::noReader },
        { noFrames,                             LoadFailure::noAudio },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.file.getFullPathName());
        const auto result = audiofile::decode (formats(), c.file);
        EXPECT_EQ (result.failure, c.expected);
        EXPECT_EQ (result.audio, nullptr);
    }
}

TEST (DecodedAudio, TruncatedPcmDataKeepsOnlyTheFramesPresent)
{
    audiofixtures::ScratchFolder scratch;
    const auto full = scratch.file ("full.wav");
    const auto tone = audiofixtures::sine (200.0, 44100.0);
    ASSERT_TRUE (audiofixtures::writeWav (full, 44100.0, 2, 44100, tone));

    // Cut the data chunk in half, leaving the header's promise of a full second.
    juce::MemoryBlock bytes;
    full.loadFileAsData (bytes);
    const auto cutFile = scratch.file ("cut.wav");
    cutFile.replaceWithData (bytes.getData(), bytes.getSize() - 22050 * 4);

    // Only the header's own bytes may still be counted as frames (they read as silence).
    const auto result = audiofile::decode (formats(), cutFile);
    ASSERT_NE (result.audio, nullptr);
    EXPECT_GE (result.audio->getLength(), 22050);
    EXPECT_LE (result.audio->getLength(), 22050 + 32);

    // The frames that are there are the file's own.
    for (int i = 0; i < 22050; i += 997)
        EXPECT_NEAR (result.audio->samples.getSample (1, i), tone (1, i), 1.0e-4f);
}

TEST (DecodedAudio, ReversedCopyStartsAtTheLastMemoryFrame)
{
    // 20,000,000 frames: the memory copies stop at 14,400,000, the decoded file does not.
    audiofixtures::ScratchFolder scratch;
    const auto file = scratch.file ("long.wav");
    constexpr int frames = 20000000;
    const auto pattern = [] (int, int i) { return (float) ((i % 32749) - 16374) / 32768.0f; };
    ASSERT_TRUE (audiofixtures::writeWav (file, 48000.0, 1, frames, pattern));

    const auto result = audiofile::decode (formats(), file);
    ASSERT_NE (result.audio, nullptr);
    ASSERT_EQ (result.audio->getLength(), frames);
    EXPECT_EQ (result.audio->getMemoryFrames(), DecodedAudio::maxMemoryFrames);

    // Reversed playback reads the decoded frames backwards, over the memory frames only.
    const memoryplayer::Copy reversed { &result.audio->samples, result.audio->getMemoryFrames(), true };
    ASSERT_TRUE (reversed.isUsable());
    ASSERT_EQ (reversed.length, 14400000);

    struct Case { int reversedIndex; int forwardFrame; };
    const Case cases[] = { { 0, 14399999 }, { 1, 14399998 }, { 14399999, 0 }, { 7000000, 7399999 } };

    for (const auto& c : cases)
        EXPECT_EQ (reversed.frame (0, c.reversedIndex), pattern (0, c.forwardFrame)) << c.reversedIndex;

    EXPECT_EQ (result.audio->samples.getSample (0, frames - 1), pattern (0, frames - 1));
}

TEST (DecodedAudio, WavSamplesReadStraightFromTheFileMatchTheFrameworkReader)
{
    // Full-scale noise with the extremes and a few non-finite float samples: the decoded copy
    // must hold exactly what the framework's reader gives (non-finite samples as 0), whether the
    // samples are converted from the mapped file or read through the reader.
    audiofixtures::ScratchFolder scratch;
    const auto noise = [] (int channel, int frame)
    {
        if (frame == 7)   return channel == 0 ? 1.0f : -1.0f;
        if (frame == 300) return std::numeric_limits<float>::quiet_NaN();
        if (frame == 301) return -std::numeric_limits<float>::infinity();
        juce::Random random ((juce::int64) (frame * 8 + channel + 1));
        return random.nextFloat() * 2.0f - 1.0f;
    };

    struct Case { const char* name; int bits; int channels; bool mapped; };
    const Case cases[] = {
        { "pcm16.wav",    16, 2, true },
        { "pcm24.wav",    24, 1, true },
        { "float32.wav",  32, 6, true },
        { "pcm8.wav",      8, 2, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = scratch.file (c.name);
        ASSERT_TRUE (audiofixtures::writeWav (file, 44100.0, c.channels, 5000, noise, c.bits));

        auto reader = platform::AudioFileGuard::openReader (formats(), file);
        ASSERT_NE (reader, nullptr);
        EXPECT_EQ ((bool) platform::AudioFileGuard::mapSamples (file, *reader), c.mapped);

        const int channels = juce::jmin (2, c.channels);
        juce::AudioBuffer<float> expected (channels, 5000);
        reader->read (&expected, 0, 5000, 0, true, channels > 1);

        const auto result = audiofile::decode (formats(), file);
        ASSERT_NE (result.audio, nullptr);
        ASSERT_EQ (result.audio->getNumChannels(), channels);
        ASSERT_EQ (result.audio->getLength(), 5000);

        for (int ch = 0; ch < channels; ++ch)
            for (int i = 0; i < 5000; ++i)
            {
                const float want = expected.getSample (ch, i);
                ASSERT_EQ (result.audio->samples.getSample (ch, i), std::isfinite (want) ? want : 0.0f)
                    << "channel " << ch << " frame " << i;
            }
    }
}
