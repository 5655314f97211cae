// The whole load of an audio file as the LOAD button does it: header checks, the framework's
// reader, the decode into memory. A crash, a hang, an allocation beyond the fuzzer's limit or a
// decoded length out of proportion to the input is a finding.
#include "fuzz/DecodeFuzzInput.h"
#include "platform/AudioFileDecode.h"
#include "platform/AudioFormats.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
    const juce::File& scratchFolder()
    {
        // Never destroyed: the exit handler still needs it after static destructors have run.
        static const auto* folder = []
        {
            auto* f = new juce::File (juce::File::getSpecialLocation (juce::File::tempDirectory)
                                          .getChildFile ("tavro-fuzz-" + juce::String (juce::Time::currentTimeMillis())
                                                         + "-" + juce::String (juce::Random::getSystemRandom().nextInt())));
            f->createDirectory();
            std::atexit ([] { scratchFolder().deleteRecursively(); });
            return f;
        }();
        return *folder;
    }
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    static juce::AudioFormatManager formats;
    platform::registerAudioFormats (formats);

    if (size == 0)
        return 0;

    const auto file = scratchFolder().getChildFile (juce::String ("input") + decodefuzz::extensionFor (data[0]));
    file.replaceWithData (data + 1, size - 1);

    const auto result = audiofile::decode (formats, file);

    if (result.audio != nullptr)
    {
        // Every byte can hold at most a few thousand frames in any of the formats.
        const auto frames = (std::int64_t) result.audio->getLength();

        if (frames > 8192 + (std::int64_t) size * 8192)
        {
            std::fprintf (stderr, "decoded %lld frames from %zu bytes\n", (long long) frames, size);
            std::abort();
        }

        // The road downstream relies on finite samples.
        for (int c = 0; c < result.audio->getNumChannels(); ++c)
            for (int i = 0; i < result.audio->getLength(); i += 61)
                if (! std::isfinite (result.audio->samples.getSample (c, i)))
                    std::abort();
    }

    return 0;
}
