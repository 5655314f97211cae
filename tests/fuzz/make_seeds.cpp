// Writes the seed corpora into <seeds>/<target>/. The decode target's: a few frames of every
// format, and the damaged files the tests build, each behind the byte that picks its extension.
// The preset target's: both written forms, and the shapes the reader must refuse.
#include "fuzz/DecodeFuzzInput.h"
#include "main/PresetFile.h"
#include "support/MalformedAudio.h"

#include <cstdio>

namespace
{
    bool writePresetSeeds (const juce::File& folder)
    {
        folder.createDirectory();

        const presetfile::State state { 100.0f / 3.0f, 25.0f, 18, 40.0f, 0.1f, 5.0f, -1.5f, -0.25f, 128.0f, true };
        const auto json = presetfile::toJson (state);

        const std::pair<const char*, juce::String> seeds[] = {
            { "dialog-form",    presetfile::toText (json, true) },
            { "quick-form",     presetfile::toText (json, false) },
            { "minimal",        R"({"toneMax": 50})" },
            { "strings",        R"({"toneMax": "12.5", "pan": " -0.5 ", "bpm": "90", "freeze": 1})" },
            { "out-of-range",   R"({"toneMax": 1e30, "masterPro": -3, "pitch": 99, "pan": -7, "bpm": -1})" },
            { "wrong-types",    R"({"toneMax": true, "pan": "left", "freeze": "yes", "pitch": null})" },
            { "array",          R"([{"toneMax": 50}, 1, "x", [2]])" },
            { "no-tonemax",     R"({"spatialMax": 60, "version": 1})" },
            { "nested",         R"({"toneMax": 5, "x": {"y": [[[{"z": "[{\"}"}]]]}})" },
            { "truncated",      presetfile::toText (json, true).dropLastCharacters (9) },
            { "trailing",       R"({"toneMax": 50} {"toneMax": 60})" },
            { "escapes",        R"({"toneMax": 5, "n": "\u00e4\n\t\\\"\/"})" },
        };

        for (const auto& [name, text] : seeds)
            if (! folder.getChildFile (name).replaceWithText (text, false, false, nullptr))
                return false;

        return true;
    }
}

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s <seeds folder>\n", argv[0]);
        return 2;
    }

    const juce::File seedsRoot (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));

    if (! writePresetSeeds (seedsRoot.getChildFile ("preset_fuzz")))
        return 1;

    const auto folder = seedsRoot.getChildFile ("decode_fuzz");
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
