#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform
{
    /** Random access to the bytes of a file under inspection. */
    class ByteSource
    {
    public:
        virtual ~ByteSource() = default;
        virtual std::int64_t size() const = 0;
        /** Copies up to n bytes from offset; returns how many were copied. */
        virtual int read (std::int64_t offset, void* dest, int n) = 0;
    };

    /** The containers the registered readers understand. */
    enum class Container { wav, aiff, flac, ogg, mp3, unknown };

    struct HeaderVerdict
    {
        bool accepted = false;
        std::int64_t frameBound = 0;   // the most frames the file's own bytes can hold
        const char* reason = "";       // why it was refused (empty when accepted)
        std::int64_t dataOffset = -1;  // WAV: where the sound data starts in the file
    };

    /** A WAV file's sound data in a read-only mapping of the file: `frames` frames of `channels`
        interleaved little-endian samples of `bitsPerSample` bits (integer, or float when
        `isFloat`), starting at `data`. */
    struct MappedSamples
    {
        std::unique_ptr<juce::MemoryMappedFile> map;
        const void* data = nullptr;
        std::int64_t frames = 0;
        int channels = 0, bitsPerSample = 0;
        bool isFloat = false;

        explicit operator bool() const noexcept { return data != nullptr; }
    };

    /** Checks an audio file's header against the file's real size before any framework reader
        sees it. The readers trust lengths and sizes in headers: they allocate for a 4 GB chunk,
        zero-fill hundreds of millions of frames a header merely claims, divide by a zero sample
        size, or find "MPEG frames" in random bytes. Nothing here allocates more than a small,
        fixed window, and the work is linear in the file's size. */
    class AudioFileGuard
    {
    public:
        static constexpr int maxChannels = 64;
        static constexpr double minSampleRate = 1000.0;
        static constexpr double maxSampleRate = 768000.0;

        /** The container a registered format reads, by its name. */
        static Container containerOf (const juce::AudioFormat& format);

        static HeaderVerdict inspect (ByteSource& bytes, Container container);
        static HeaderVerdict inspect (const void* data, std::size_t size, Container container);

        /** The one way to open a reader for a file: picks the format by extension, refuses a file
            whose header does not hold up, checks what the reader made of it, and cuts the reader's
            length to the frames the file can hold. Null when refused. */
        static std::unique_ptr<juce::AudioFormatReader> openReader (juce::AudioFormatManager& formats,
                                                                    const juce::File& file);

        /** For a file that `openReader` opened as WAV: the frames `reader` reports, mapped straight
            from the file, so a loader can convert them without reading them through a stream.
            Empty for other containers, for sample sizes other than 16, 24 and 32 bits, and
            whenever the file's own layout does not hold all of those frames. */
        static MappedSamples mapSamples (const juce::File& file, const juce::AudioFormatReader& reader);
    };
}
