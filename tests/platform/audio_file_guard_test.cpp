#include <gtest/gtest.h>

#include "controls/WaveformSpectrogram.h"
#include "effects/finalizer/FinalizerFixture.h"
#include "platform/AudioFileGuard.h"
#include "support/AudioFixtures.h"
#include "support/MalformedAudio.h"

using platform::AudioFileGuard;
using platform::Container;
using audiofixtures::formats;

namespace
{
    juce::File place (const audiofixtures::ScratchFolder& scratch, const juce::String& name, const malformed::Bytes& bytes)
    {
        const auto file = scratch.file (name);
        file.replaceWithData (bytes.getData(), bytes.getSize());
        return file;
    }

    constexpr std::size_t memoryCeiling = 300 * 1024 * 1024;
}

// Each of these once crashed the loader, froze it for seconds or made it allocate gigabytes.
TEST (AudioFileGuard, LyingHeadersAreRefusedOrDecodeOnlyWhatTheFileHolds)
{
    audiofixtures::ScratchFolder scratch;
    juce::AiffAudioFormat aiff;
    juce::OggVorbisAudioFormat ogg;
    juce::WavAudioFormat wav;
    juce::FlacAudioFormat flac;

    struct Case { const char* name; malformed::Bytes bytes; bool loads; int maxFrames; };
    const Case cases[] = {
        { "zero-sample-size.aiff", malformed::aiffWithZeroSampleSize(),         false, 0 },
        { "claims-400M.flac",      malformed::flacClaiming (400000000),         true,  4096 },
        { "claims-2G.mp3",         malformed::mpegFrames (3, 0x7fffffff),       true,  2 * 1152 },
        { "72-bit.wav",            malformed::wavWithHugeSamples(),             false, 0 },
        { "4GB-bext.wav",          malformed::wavWithHugeChunk ("bext"),        false, 0 },
        { "4GB-list.wav",          malformed::wavWithHugeChunk ("LIST"),        false, 0 },
        { "noise.mp3",             malformed::noise (100000),                   false, 0 },
        { "aiff.mp3",              malformed::encoded (aiff, 4000),             false, 0 },
        { "ogg.mp3",               malformed::encoded (ogg, 4000),              false, 0 },
        { "wav.mp3",               malformed::encoded (wav, 4000),              false, 0 },
        { "flac.mp3",              malformed::encoded (flac, 4000),             false, 0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ASSERT_GT (c.bytes.getSize(), 0u);
        const auto file = place (scratch, c.name, c.bytes);
        const auto result = audiofile::decode (formats(), file);

        EXPECT_EQ (result.audio != nullptr, c.loads);

        if (result.audio != nullptr)
        {
            EXPECT_LE (result.audio->getLength(), c.maxFrames);
            EXPECT_LT (result.audio->getSizeInBytes(), memoryCeiling);
        }
        else
        {
            EXPECT_EQ (result.failure, audiofile::LoadFailure::noReader);
        }

        EXPECT_EQ (file.getSize(), (juce::int64) c.bytes.getSize()) << "a refused file is left alone";
    }
}

// The spectrogram and the finalizer's player open their own readers; the crashing file must
// not reach the framework's reader through them either.
TEST (AudioFileGuard, EveryRoadThatOpensAReaderRefusesTheCrashingAiff)
{
    audiofixtures::ScratchFolder scratch;
    const auto file = place (scratch, "zero.aiff", malformed::aiffWithZeroSampleSize());

    EXPECT_EQ (AudioFileGuard::openReader (formats(), file), nullptr);
    EXPECT_TRUE (spectrogram::buildFromFile (file, [] { return false; }).image.isNull());

    FinalizerRig rig;
    rig.fin.loadWavePlayerFile (file);
    EXPECT_FALSE (rig.fin.wavePlayerHasSamples());
}

// A cut-short file decodes at most the frames its remaining bytes can hold, whatever its header
// promised, or is refused.
TEST (AudioFileGuard, TruncatedFilesDecodeInProportionToWhatIsLeft)
{
    audiofixtures::ScratchFolder scratch;
    juce::WavAudioFormat wav;
    juce::AiffAudioFormat aiff;
    juce::FlacAudioFormat flac;
    juce::OggVorbisAudioFormat ogg;

    struct Source { const char* ext; malformed::Bytes bytes; int frames; };
    const Source sources[] = {
        { ".wav",  malformed::encoded (wav, 24000, 2),  24000 },
        { ".aiff", malformed::encoded (aiff, 24000, 2), 24000 },
        { ".flac", malformed::encoded (flac, 24000, 2), 24000 },
        { ".ogg",  malformed::encoded (ogg, 24000, 2),  24000 },
        { ".mp3",  malformed::mpegFrames (20),          20 * 1152 },
    };

    // A compressed stream ends on a block or page boundary, so allow one long block beyond.
    constexpr double slack = 8192;

    for (const auto& s : sources)
    {
        const auto size = s.bytes.getSize();

        for (const auto cut : { (size_t) 3, (size_t) 11, (size_t) 40, size / 4, size / 2, size - 1 })
        {
            SCOPED_TRACE (juce::String (s.ext) + " cut to " + juce::String ((int) cut));
            const auto file = place (scratch, juce::String ("cut") + s.ext, malformed::prefix (s.bytes, cut));
            const auto result = audiofile::decode (formats(), file);

            if (result.audio != nullptr)
            {
                EXPECT_LE (result.audio->getLength(), (double) s.frames * (double) cut / (double) size + slack);
            }
        }
    }
}

// The bounds are never below what a sound file really holds.
TEST (AudioFileGuard, SoundFilesKeepEveryFrame)
{
    juce::WavAudioFormat wav;
    juce::AiffAudioFormat aiff;
    juce::FlacAudioFormat flac;
    juce::OggVorbisAudioFormat ogg;

    malformed::Bytes id3;
    malformed::appendTag (id3, "ID3 ");
    id3[3] = 4;
    malformed::append (id3, { 0, 0, 0, 0, 1, 0 });        // a 128-byte tag
    malformed::appendZeros (id3, 128);

    auto tagged = id3;
    malformed::appendZeros (tagged, 37);                   // padding the tag leaves out
    tagged.append (malformed::mpegFrames (5).getData(), 5 * 417);

    auto taggedFlac = id3;
    const auto flacStream = malformed::encoded (flac, 30000, 2);
    taggedFlac.append (flacStream.getData(), flacStream.getSize());

    struct Case { const char* name; Container container; malformed::Bytes bytes; juce::int64 frames; };
    const Case cases[] = {
        { "wav",         Container::wav,  malformed::encoded (wav, 3000, 2, 24),        3000 },
        { "aiff",        Container::aiff, malformed::encoded (aiff, 3000, 2),           3000 },
        { "flac",        Container::flac, malformed::encoded (flac, 30000, 2),          30000 },
        { "tagged flac", Container::flac, taggedFlac,                                   30000 },
        { "ogg",         Container::ogg,  malformed::encoded (ogg, 30000, 2),           30000 },
        { "mp3",         Container::mp3,  malformed::mpegFrames (7),                    7 * 1152 },
        { "tagged mp3",  Container::mp3,  tagged,                                       5 * 1152 },
        { "one frame",   Container::mp3,  malformed::mpegFrames (1),                    1152 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto verdict = AudioFileGuard::inspect (c.bytes.getData(), c.bytes.getSize(), c.container);
        EXPECT_TRUE (verdict.accepted) << verdict.reason;
        EXPECT_GE (verdict.frameBound, c.frames);
    }
}

TEST (AudioFileGuard, HeaderFieldsOutsideSaneRangesAreRefused)
{
    auto withJunkFirst = malformed::noise (3);
    withJunkFirst.append (malformed::mpegFrames (4).getData(), 4 * 417);

    auto chunkPastEnd = malformed::wavHeader (1, 16, 44100, 4);
    malformed::appendZeros (chunkPastEnd, 4);
    malformed::appendTag (chunkPastEnd, "LIST");
    malformed::appendLe32 (chunkPastEnd, 1000);

    struct Case { const char* name; Container container; malformed::Bytes bytes; };
    const Case cases[] = {
        { "no channels",           Container::wav, malformed::wavHeader (0, 16, 44100, 0) },
        { "65 channels",           Container::wav, malformed::wavHeader (65, 16, 44100, 0) },
        { "zero rate",             Container::wav, malformed::wavHeader (2, 16, 0, 0) },
        { "10 MHz",                Container::wav, malformed::wavHeader (2, 16, 10000000, 0) },
        { "12-bit",                Container::wav, malformed::wavHeader (2, 12, 44100, 0) },
        { "zero-bit",              Container::wav, malformed::wavHeader (2, 0, 44100, 0) },
        { "chunk after the data",  Container::wav, chunkPastEnd },
        { "aiff without data",     Container::aiff, malformed::aiffWithZeroSampleSize() },
        { "junk before frames",    Container::mp3, withJunkFirst },
        { "empty",                 Container::mp3, {} },
        { "flac cut in metadata",  Container::flac, malformed::prefix (malformed::flacClaiming (10), 30) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_FALSE (AudioFileGuard::inspect (c.bytes.getData(), c.bytes.getSize(), c.container).accepted);
    }
}

TEST (AudioFileGuard, PcmBoundIsExactForTruncatedSoundData)
{
    // Four frames present of the million the header promises.
    auto bytes = malformed::wavHeader (2, 16, 44100, 4000000);
    malformed::appendZeros (bytes, 4 * 4 + 1);
    const auto verdict = AudioFileGuard::inspect (bytes.getData(), bytes.getSize(), Container::wav);
    ASSERT_TRUE (verdict.accepted);
    EXPECT_EQ (verdict.frameBound, 4);
}
