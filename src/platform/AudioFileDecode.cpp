#include "platform/AudioFileDecode.h"

#include "platform/AudioFileGuard.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#if JUCE_LINUX
 #include <sys/mman.h>
#endif

namespace audiofile
{
    namespace
    {
        using Byte = unsigned char;

        // The framework's readers hand an integer sample over as a 32-bit value with the sample
        // in its top bits, then scale it by 1 / (2^31 - 1). The same two steps here give every
        // value the reader would have given, bit for bit.
        const float fixedScale = 1.0f / (float) 0x7fffffff;

        template <int Bits>
        inline std::int32_t wordAt (const Byte* p) noexcept
        {
            std::uint32_t v;

            if constexpr (Bits == 16)
                v = ((std::uint32_t) p[0] << 16) | ((std::uint32_t) p[1] << 24);
            else if constexpr (Bits == 24)
                v = ((std::uint32_t) p[0] << 8) | ((std::uint32_t) p[1] << 16) | ((std::uint32_t) p[2] << 24);
            else
                std::memcpy (&v, p, sizeof (v));

            std::int32_t word;
            std::memcpy (&word, &v, sizeof (word));
            return word;
        }

        inline std::int32_t wordAt (const platform::MappedSamples& m, std::int64_t frame, int channel) noexcept
        {
            const auto* p = static_cast<const Byte*> (m.data)
                          + (frame * m.channels + channel) * (m.bitsPerSample / 8);
            return m.bitsPerSample == 16 ? wordAt<16> (p) : m.bitsPerSample == 24 ? wordAt<24> (p) : wordAt<32> (p);
        }

        template <int Bits>
        void convertChannel (const platform::MappedSamples& m, int channel, float* out) noexcept
        {
            const auto* p = static_cast<const Byte*> (m.data) + channel * (Bits / 8);
            const auto stride = (std::size_t) m.channels * (Bits / 8);
            const auto frames = (std::size_t) m.frames;

            if (m.isFloat)
            {
                for (std::size_t i = 0; i < frames; ++i, p += stride)
                    std::memcpy (out + i, p, sizeof (float));
                return;
            }

            for (std::size_t i = 0; i < frames; ++i, p += stride)
                out[i] = (float) wordAt<Bits> (p) * fixedScale;
        }

        /** The mapping must say what the reader says: compared over the first and last frames,
            so a layout the two read differently falls back to the reader. */
        bool agreesWithReader (const platform::MappedSamples& m, juce::AudioFormatReader& reader, int channels)
        {
            constexpr int probe = 64;
            const int n = (int) std::min<std::int64_t> (probe, m.frames);
            std::int32_t words[2][probe];
            int* dest[2] = { words[0], channels > 1 ? words[1] : nullptr };

            for (const std::int64_t start : { std::int64_t { 0 }, m.frames - n })
            {
                if (! reader.read (dest, channels, start, n, false))
                    return false;

                for (int c = 0; c < channels; ++c)
                    for (int i = 0; i < n; ++i)
                        if (words[c][i] != wordAt (m, start + i, c))
                            return false;
            }

            return true;
        }

        /** A long file's buffer is written once from end to end, and on first touch every 4 KiB
            page costs a fault: large pages make that a few hundred faults instead of tens of
            thousands. Only advice; the kernel may ignore it. */
        void preferLargePages (juce::AudioBuffer<float>& samples) noexcept
        {
           #if JUCE_LINUX
            constexpr std::uintptr_t large = 2u << 20;

            for (int c = 0; c < samples.getNumChannels(); ++c)
            {
                const auto begin = reinterpret_cast<std::uintptr_t> (samples.getWritePointer (c));
                const auto end = begin + (std::uintptr_t) samples.getNumSamples() * sizeof (float);
                const auto first = (begin + large - 1) & ~(large - 1);
                const auto last = end & ~(large - 1);

                if (last > first)
                    madvise (reinterpret_cast<void*> (first), last - first, MADV_HUGEPAGE);
            }
           #else
            juce::ignoreUnused (samples);
           #endif
        }

        void replaceNonFinite (float* data, int n) noexcept
        {
            for (int i = 0; i < n; ++i)
                if (! std::isfinite (data[i]))
                    data[i] = 0.0f;
        }

        /** Fills `samples` straight from the mapped file; false when it cannot, and then the
            reader decodes instead. */
        bool convertMapped (const juce::File& file, juce::AudioFormatReader& reader, juce::AudioBuffer<float>& samples)
        {
            const auto mapped = platform::AudioFileGuard::mapSamples (file, reader);
            const int channels = samples.getNumChannels();

            if (! mapped || mapped.frames != samples.getNumSamples() || ! agreesWithReader (mapped, reader, channels))
                return false;

            for (int c = 0; c < channels; ++c)
            {
                auto* out = samples.getWritePointer (c);

                switch (mapped.bitsPerSample)
                {
                    case 16: convertChannel<16> (mapped, c, out); break;
                    case 24: convertChannel<24> (mapped, c, out); break;
                    default: convertChannel<32> (mapped, c, out); break;
                }
            }

            return true;
        }
    }

    LoadResult decode (juce::AudioFormatManager& formats, const juce::File& file, std::int64_t maxFrames)
    {
        LoadResult result;

        if (file.getFullPathName().isEmpty() || ! file.existsAsFile())
        {
            result.failure = LoadFailure::notAFile;
            return result;
        }

        auto reader = platform::AudioFileGuard::openReader (formats, file);

        if (reader == nullptr)
        {
            result.failure = LoadFailure::noReader;
            return result;
        }

        const auto frames = std::min<std::int64_t> (reader->lengthInSamples, maxFrames);
        const auto rate = reader->sampleRate;

        if (std::isfinite (rate) && rate > 0.0)
            result.sampleRate = rate;

        if (frames <= 0 || reader->numChannels <= 0 || result.sampleRate <= 0.0)
        {
            result.failure = LoadFailure::noAudio;
            return result;
        }

        if (frames > std::numeric_limits<int>::max())
        {
            result.failure = LoadFailure::tooLong;
            return result;
        }

        try
        {
            auto audio = std::make_unique<DecodedAudio>();
            audio->sampleRate = rate;
            audio->fileChannels = (int) reader->numChannels;

            const int channels = std::min (2, (int) reader->numChannels);
            audio->samples.setSize (channels, (int) frames);
            preferLargePages (audio->samples);
            const bool mapped = convertMapped (file, *reader, audio->samples);

            if (! mapped)
                reader->read (&audio->samples, 0, (int) frames, 0, true, channels > 1);

            // A damaged stream can decode to garbage, and float files can hold anything; the road
            // downstream expects finite samples. Integers converted here are finite by construction.
            if (! mapped || reader->usesFloatingPointData)
                for (int c = 0; c < channels; ++c)
                    replaceNonFinite (audio->samples.getWritePointer (c), (int) frames);

            result.audio = std::move (audio);
        }
        catch (const std::bad_alloc&)
        {
            result.failure = LoadFailure::outOfMemory;
        }
        catch (const std::length_error&)
        {
            result.failure = LoadFailure::outOfMemory;
        }
        catch (const std::exception&)
        {
            result.failure = LoadFailure::unreadable;
        }

        return result;
    }
}
