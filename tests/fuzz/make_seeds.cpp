// Writes the decode target's seed corpus: a few frames of every format, and the damaged files
// the tests build, each behind the byte that picks its extension.
#include "fuzz/DecodeFuzzInput.h"
#include "support/MalformedAudio.h"

#include <cstdio>

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }

    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    folder.createDirectory();

    juce::WavAudioFormat wav;
    juce::AiffAudioFormat aiff;
    juce::FlacAudioFormat flac;
    juce::OggVorbisAudioFormat ogg;

    struct Seed { const char* name; int extension; malformed::Bytes bytes; };
    const Seed seeds[] = {
        { "wav16-stereo",    0, malformed::encoded (wav, 64, 2, 16) },
        { "wav24-mono",      0, malformed::encoded (wav, 64, 1, 24) },
        { "wav-float",       0, malformed::encoded (wav, 64, 1, 32) },
        { "wav-huge-bext",   0, malformed::wavWithHugeChunk ("bext") },
        { "wav-72-bit",      0, malformed::wavWithHugeSamples() },
        { "aiff16",          1, malformed::encoded (aiff, 64, 2, 16) },
        { "aiff-zero-size",  1, malformed::aiffWithZeroSampleSize() },
        { "flac16",          2, malformed::encoded (flac, 600, 1, 16) },
        { "flac-stereo24",   2, malformed::encoded (flac, 300, 2, 24) },
        { "flac-claims",     2, malformed::flacClaiming (400000000) },
        { "ogg",             3, malformed::encoded (ogg, 2000, 1, 16) },
        { "mp3",             4, malformed::mpegFrames (3) },
        { "mp3-xing",        4, malformed::mpegFrames (2, 0x7fffffff) },
    };

    for (const auto& s : seeds)
    {
        juce::MemoryBlock bytes;
        const auto selector = (char) s.extension;
        bytes.append (&selector, 1);
        bytes.append (s.bytes.getData(), s.bytes.getSize());

        if (! folder.getChildFile (s.name).replaceWithData (bytes.getData(), bytes.getSize()))
            return 1;
    }

    return 0;
}
