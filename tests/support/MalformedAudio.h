#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>

// Small audio files built byte by byte in memory: sound ones written by the framework's own
// writers, and damaged ones whose headers lie in the ways that once crashed or stalled the loader.
namespace malformed
{
    using Bytes = juce::MemoryBlock;

    inline void append (Bytes& b, std::initializer_list<int> bytes)
    {
        for (auto v : bytes)
        {
            const auto byte = (std::uint8_t) v;
            b.append (&byte, 1);
        }
    }

    inline void appendTag (Bytes& b, const char* tag)        { b.append (tag, 4); }
    inline void appendLe16 (Bytes& b, std::uint32_t v)       { append (b, { (int) (v & 255), (int) (v >> 8 & 255) }); }
    inline void appendLe32 (Bytes& b, std::uint32_t v)       { appendLe16 (b, v & 0xffff); appendLe16 (b, v >> 16); }
    inline void appendBe16 (Bytes& b, std::uint32_t v)       { append (b, { (int) (v >> 8 & 255), (int) (v & 255) }); }
    inline void appendBe32 (Bytes& b, std::uint32_t v)       { appendBe16 (b, v >> 16); appendBe16 (b, v & 0xffff); }
    inline void appendZeros (Bytes& b, size_t n)             { b.setSize (b.getSize() + n, true); }

    /** A file written by one of the framework's writers: a quiet sine, cut to `frames`. */
    inline Bytes encoded (juce::AudioFormat& format, int frames, int channels = 1, int bits = 16,
                          double rate = 44100.0, float amplitude = 0.25f)
    {
        Bytes bytes;
        {
            auto* stream = new juce::MemoryOutputStream (bytes, false);
            std::unique_ptr<juce::AudioFormatWriter> writer (format.createWriterFor (stream, rate, (unsigned int) channels,
                                                                                     bits, {}, 0));
            if (writer == nullptr)
            {
                delete stream;
                return {};
            }

            juce::AudioBuffer<float> block (channels, frames);

            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < frames; ++i)
                    block.setSample (c, i, amplitude * (float) std::sin (0.05 * i + c));

            writer->writeFromAudioSampleBuffer (block, 0, frames);
        }
        return bytes;
    }

    /** The canonical 44-byte WAV header with the given fields. */
    inline Bytes wavHeader (int channels, int bits, std::uint32_t rate, std::uint32_t dataLength)
    {
        Bytes b;
        appendTag (b, "RIFF"); appendLe32 (b, 36 + dataLength); appendTag (b, "WAVE");
        appendTag (b, "fmt "); appendLe32 (b, 16);
        appendLe16 (b, 1); appendLe16 (b, (std::uint32_t) channels); appendLe32 (b, rate);
        appendLe32 (b, rate * (std::uint32_t) (channels * bits / 8)); appendLe16 (b, (std::uint32_t) (channels * bits / 8));
        appendLe16 (b, (std::uint32_t) bits);
        appendTag (b, "data"); appendLe32 (b, dataLength);
        return b;
    }

    /** More than 64 bits a sample, and sound data that claims nearly 4 GB. */
    inline Bytes wavWithHugeSamples()
    {
        auto b = wavHeader (2, 72, 44100, 0xfffffff0u);
        appendZeros (b, 256);
        return b;
    }

    /** A metadata chunk that claims 4 GB in front of a sound file's few real bytes. */
    inline Bytes wavWithHugeChunk (const char* tag = "bext")
    {
        Bytes b;
        appendTag (b, "RIFF"); appendLe32 (b, 0xfffffff0u); appendTag (b, "WAVE");
        appendTag (b, tag); appendLe32 (b, 0xfffffff0u);
        appendZeros (b, 64);
        return b;
    }

    /** An AIFF whose common chunk gives a sample size of zero and that has no sound data: 38 bytes. */
    inline Bytes aiffWithZeroSampleSize()
    {
        Bytes b;
        appendTag (b, "FORM"); appendBe32 (b, 30); appendTag (b, "AIFF");
        appendTag (b, "COMM"); appendBe32 (b, 18);
        appendBe16 (b, 1); appendBe32 (b, 1000); appendBe16 (b, 0);
        append (b, { 0x40, 0x0e, 0xac, 0x44, 0, 0, 0, 0, 0, 0 });   // 44100 Hz
        return b;
    }

    /** MPEG-1 Layer III frames at 128 kbit/s and 44.1 kHz with empty side information (they
        decode as silence); the first one optionally a VBR header claiming `claimedFrames`. */
    inline Bytes mpegFrames (int count, std::uint32_t claimedFrames = 0)
    {
        constexpr int frameBytes = 417;
        Bytes b;

        for (int i = 0; i < count; ++i)
        {
            const auto start = b.getSize();
            append (b, { 0xff, 0xfb, 0x90, 0x64 });
            appendZeros (b, frameBytes - 4);

            if (i == 0 && claimedFrames > 0)
            {
                auto* p = static_cast<char*> (b.getData()) + start + 36;
                std::memcpy (p, "Xing", 4);
                p[7] = 1;   // flags: the frame count follows
                p[8] = (char) (claimedFrames >> 24); p[9] = (char) (claimedFrames >> 16);
                p[10] = (char) (claimedFrames >> 8); p[11] = (char) claimedFrames;
            }
        }

        return b;
    }

    /** A short, silent FLAC stream whose stream info claims `claimedFrames`. */
    inline Bytes flacClaiming (std::uint64_t claimedFrames)
    {
        juce::FlacAudioFormat flac;
        auto b = encoded (flac, 4096, 1, 16, 44100.0, 0.0f);

        if (b.getSize() < 26)
            return b;

        // The 36-bit total sits at the end of byte 21 and in bytes 22 to 25 of the file.
        auto* p = static_cast<std::uint8_t*> (b.getData());
        p[21] = (std::uint8_t) ((p[21] & 0xf0) | ((claimedFrames >> 32) & 15));
        p[22] = (std::uint8_t) (claimedFrames >> 24); p[23] = (std::uint8_t) (claimedFrames >> 16);
        p[24] = (std::uint8_t) (claimedFrames >> 8);  p[25] = (std::uint8_t) claimedFrames;
        return b;
    }

    /** Bytes from the framework's generator with a fixed seed. */
    inline Bytes noise (size_t size, juce::int64 seed = 20261211)
    {
        juce::Random random (seed);
        Bytes b (size);

        for (size_t i = 0; i < size; ++i)
            static_cast<char*> (b.getData())[i] = (char) random.nextInt (256);

        return b;
    }

    inline Bytes prefix (const Bytes& b, size_t size)
    {
        return Bytes (b.getData(), juce::jmin (size, b.getSize()));
    }
}
