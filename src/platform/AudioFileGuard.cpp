#include "platform/AudioFileGuard.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#if JUCE_LINUX
 #include <sys/mman.h>
#endif

namespace platform
{
    namespace
    {
        using std::int64_t;
        using std::uint8_t;
        using std::uint32_t;

        constexpr int64_t unbounded = std::numeric_limits<int64_t>::max();

        HeaderVerdict refuse (const char* why)
        {
            return { false, 0, why, -1 };
        }

        HeaderVerdict accept (int64_t frames)
        {
            return { true, std::max<int64_t> (0, frames), "", -1 };
        }

        bool rateIsSane (double rate)
        {
            return std::isfinite (rate) && rate >= AudioFileGuard::minSampleRate && rate <= AudioFileGuard::maxSampleRate;
        }

        bool channelsAreSane (int64_t channels)
        {
            return channels >= 1 && channels <= AudioFileGuard::maxChannels;
        }

        uint32_t be16 (const uint8_t* p) { return (uint32_t) p[0] << 8 | p[1]; }
        uint32_t le16 (const uint8_t* p) { return (uint32_t) p[1] << 8 | p[0]; }
        uint32_t be32 (const uint8_t* p) { return be16 (p) << 16 | be16 (p + 2); }
        uint32_t le32 (const uint8_t* p) { return le16 (p + 2) << 16 | le16 (p); }
        uint64_t le64 (const uint8_t* p) { return (uint64_t) le32 (p + 4) << 32 | le32 (p); }

        bool is (const uint8_t* p, const char* tag) { return std::memcmp (p, tag, 4) == 0; }

        /** An ID3v2 tag's size field: 28 bits, seven to a byte. */
        int64_t id3v2Size (const uint8_t* tag)
        {
            return (int64_t) (tag[6] & 0x7f) << 21 | (tag[7] & 0x7f) << 14 | (tag[8] & 0x7f) << 7 | (tag[9] & 0x7f);
        }

        /** Reads that fail instead of running past the end. */
        struct Bytes
        {
            ByteSource& source;
            const int64_t size = source.size();

            bool fetch (int64_t offset, void* dest, int n)
            {
                return offset >= 0 && n >= 0 && offset <= size - n && source.read (offset, dest, n) == n;
            }

            int64_t remainingAfter (int64_t offset) const { return std::max<int64_t> (0, size - offset); }
        };

        //==============================================================================
        // RIFF/RF64 WAVE: every chunk but the sound data must lie inside the file; the sound data
        // may be cut short (an interrupted download) and then holds only the frames present.
        HeaderVerdict inspectWav (Bytes& b)
        {
            uint8_t head[12];

            if (! b.fetch (0, head, 12) || ! is (head + 8, "WAVE"))
                return refuse ("not a RIFF WAVE file");

            const bool rf64 = is (head, "RF64");

            if (! rf64 && ! is (head, "RIFF"))
                return refuse ("not a RIFF WAVE file");

            int64_t ds64Data = -1, dataBytes = -1, dataOffset = -1;
            int64_t channels = 0, bits = 0;
            bool haveFormat = false;

            for (int64_t pos = 12; pos <= b.size - 8;)
            {
                uint8_t chunk[8];
                b.fetch (pos, chunk, 8);
                const int64_t length = le32 (chunk + 4);
                const int64_t body = pos + 8;

                if (is (chunk, "data"))
                {
                    dataBytes = rf64 ? ds64Data : length;
                    dataOffset = body;

                    if (dataBytes < 0)
                        return refuse ("RF64 sound data without its size");

                    if (dataBytes > b.remainingAfter (body))
                    {
                        dataBytes = b.remainingAfter (body);
                        break;
                    }

                    pos = body + dataBytes + (dataBytes & 1);
                    continue;
                }

                if (length > b.remainingAfter (body))
                    return refuse ("a chunk runs past the end of the file");

                if (is (chunk, "ds64") && rf64 && length >= 16)
                {
                    uint8_t sizes[16];
                    b.fetch (body, sizes, 16);
                    const auto claimed = le64 (sizes + 8);
                    ds64Data = (int64_t) std::min<uint64_t> (claimed, (uint64_t) unbounded);
                }
                else if (is (chunk, "fmt "))
                {
                    uint8_t fmt[40] = {};

                    if (length < 16)
                        return refuse ("format chunk too short");

                    b.fetch (body, fmt, (int) std::min<int64_t> (length, 40));
                    auto tag = le16 (fmt);

                    if (tag == 0xfffe)
                    {
                        if (length < 40)
                            return refuse ("extensible format chunk too short");

                        tag = le32 (fmt + 24);   // the sub-format GUID starts with the plain tag
                    }

                    channels = le16 (fmt + 2);
                    bits = le16 (fmt + 14);
                    const bool isFloat = tag == 3;

                    if (tag != 1 && ! isFloat)
                        return refuse ("not PCM or float samples");

                    if (! channelsAreSane (channels) || ! rateIsSane ((double) le32 (fmt + 4)))
                        return refuse ("absurd channel count or sample rate");

                    if (isFloat ? bits != 32 : (bits != 8 && bits != 16 && bits != 24 && bits != 32))
                        return refuse ("unsupported sample size");

                    haveFormat = true;
                }

                pos = body + length + (length & 1);
            }

            if (! haveFormat || dataBytes < 0)
                return refuse ("no format or no sound data chunk");

            auto verdict = accept (dataBytes / (channels * (bits / 8)));
            verdict.dataOffset = dataOffset;
            return verdict;
        }

        //==============================================================================
        // AIFF and AIFC, big-endian, with the same rule for chunks as WAVE.
        HeaderVerdict inspectAiff (Bytes& b)
        {
            uint8_t head[12];

            if (! b.fetch (0, head, 12) || ! is (head, "FORM") || ! (is (head + 8, "AIFF") || is (head + 8, "AIFC")))
                return refuse ("not an AIFF file");

            int64_t channels = 0, bits = 0, claimedFrames = 0, dataBytes = -1;
            bool haveCommon = false;

            for (int64_t pos = 12; pos <= b.size - 8;)
            {
                uint8_t chunk[8];
                b.fetch (pos, chunk, 8);
                const int64_t length = be32 (chunk + 4);
                const int64_t body = pos + 8;
                const bool sound = is (chunk, "SSND");

                if (! sound && length > b.remainingAfter (body))
                    return refuse ("a chunk runs past the end of the file");

                if (sound)
                {
                    uint8_t offsets[8];

                    if (length < 8 || ! b.fetch (body, offsets, 8))
                        return refuse ("sound data chunk too short");

                    const auto present = std::min (length, b.remainingAfter (body));
                    dataBytes = std::max<int64_t> (0, present - 8 - (int64_t) be32 (offsets));

                    if (present < length)
                        break;
                }
                else if (is (chunk, "COMM"))
                {
                    uint8_t comm[22] = {};

                    if (length < 18)
                        return refuse ("common chunk too short");

                    b.fetch (body, comm, (int) std::min<int64_t> (length, 22));
                    channels = be16 (comm);
                    claimedFrames = be32 (comm + 2);
                    bits = be16 (comm + 6);

                    // The framework reads the rate as an integer and only below 2^29 Hz.
                    const auto* rate = comm + 8;

                    if ((rate[0] & 0x80) != 0 || rate[0] != 0x40 || rate[1] > 0x1c)
                        return refuse ("absurd sample rate");

                    const auto hz = be32 (rate + 2) >> (16414 - (int) be16 (rate));

                    if (! channelsAreSane (channels) || ! rateIsSane ((double) hz))
                        return refuse ("absurd channel count or sample rate");

                    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
                        return refuse ("unsupported sample size");

                    if (length > 18)
                    {
                        const auto* type = comm + 18;
                        const bool isFloat = is (type, "fl32") || is (type, "FL32");

                        if (! (is (type, "NONE") || is (type, "twos") || is (type, "sowt") || isFloat))
                            return refuse ("compressed AIFC");

                        if (isFloat && bits != 32)
                            return refuse ("unsupported sample size");
                    }

                    haveCommon = true;
                }

                pos = body + length + (length & 1);
            }

            if (! haveCommon || dataBytes < 0)
                return refuse ("no common or no sound data chunk");

            return accept (std::min (claimedFrames, dataBytes / (channels * (bits / 8))));
        }

        //==============================================================================
        // FLAC: the metadata blocks must lie inside the file and describe a sane stream; the
        // frames are bounded by the frame headers really present.
        constexpr int64_t smallestFlacFrame = 10;      // header, one constant subframe, CRC

        uint8_t crc8 (const uint8_t* p, int n)
        {
            uint8_t crc = 0;

            for (int i = 0; i < n; ++i)
            {
                crc ^= p[i];

                for (int k = 0; k < 8; ++k)
                    crc = (uint8_t) ((crc & 0x80) != 0 ? (crc << 1) ^ 0x07 : crc << 1);
            }

            return crc;
        }

        /** The block size of the frame whose header starts at p (n bytes available), or 0 when
            no frame header starts there. The CRC-8 makes a header in random bytes a 1 in 256
            chance on top of the sync code and the reserved values. */
        int64_t flacHeaderBlock (const uint8_t* p, int n)
        {
            if (n < 6 || p[0] != 0xff || (p[1] & 0xfe) != 0xf8 || (p[3] & 1) != 0)
                return 0;

            const int blockCode = p[2] >> 4, rateCode = p[2] & 15;

            if (blockCode == 0 || rateCode == 15 || (p[3] >> 4) > 10 || ((p[3] >> 1) & 7) == 3)
                return 0;

            // The frame or sample number, coded like UTF-8: the leading ones give its length.
            int extra = 0;

            if (p[4] == 0xff || (p[4] & 0xc0) == 0x80)
                return 0;

            if (p[4] == 0xfe)
                extra = 6;
            else
                while ((p[4] << (extra + 1) & 0x80) != 0)
                    ++extra;

            int at = 5;

            for (int i = 0; i < extra; ++i, ++at)
                if (at >= n || (p[at] & 0xc0) != 0x80)
                    return 0;

            int64_t block = 0;

            if (blockCode == 1)          block = 192;
            else if (blockCode <= 5)     block = 576 << (blockCode - 2);
            else if (blockCode >= 8)     block = 256 << (blockCode - 8);
            else
            {
                const int bytes = blockCode == 6 ? 1 : 2;

                if (at + bytes > n)
                    return 0;

                block = 1 + (bytes == 1 ? p[at] : (int64_t) be16 (p + at));
                at += bytes;
            }

            at += rateCode == 12 ? 1 : (rateCode == 13 || rateCode == 14 ? 2 : 0);

            if (at >= n || crc8 (p, at) != p[at])
                return 0;

            return block;
        }

        /** The samples all frame headers from `next` on announce: the decoder decodes no
            frame without one, so no more can come out of the stream. A frame is at least
            smallestFlacFrame long, so the walk steps over that much after each header. */
        int64_t flacSamplesPresent (Bytes& b, int64_t next)
        {
            constexpr int window = 1 << 16, headerMax = 16;
            std::vector<uint8_t> bytes ((size_t) window + headerMax);
            int64_t samples = 0;

            for (int64_t base = next; base < b.size; base += window)
            {
                const auto count = (int) std::min<int64_t> (window + headerMax, b.size - base);

                if (! b.fetch (base, bytes.data(), count))
                    break;

                const auto scanEnd = std::min (count, window);

                for (int i = (int) std::max<int64_t> (0, next - base); i < scanEnd; ++i)
                {
                    if (bytes[(size_t) i] != 0xff)
                        continue;

                    if (const auto block = flacHeaderBlock (bytes.data() + i, std::min (headerMax, count - i)); block > 0)
                    {
                        samples += block;
                        next = base + i + smallestFlacFrame;
                        i += (int) smallestFlacFrame - 1;
                    }
                }
            }

            return samples;
        }

        HeaderVerdict inspectFlac (Bytes& b)
        {
            int64_t pos = 0;
            uint8_t head[10];

            // libFLAC skips an ID3v2 tag in front of the stream.
            if (b.fetch (0, head, 10) && std::memcmp (head, "ID3", 3) == 0)
                pos = 10 + id3v2Size (head);

            if (! b.fetch (pos, head, 4) || ! is (head, "fLaC"))
                return refuse ("not a FLAC stream");

            pos += 4;
            uint8_t info[34] = {};
            bool first = true;

            for (bool last = false; ! last;)
            {
                uint8_t block[4];

                if (! b.fetch (pos, block, 4))
                    return refuse ("metadata cut short");

                last = (block[0] & 0x80) != 0;
                const int type = block[0] & 0x7f;
                const int64_t length = (int64_t) block[1] << 16 | block[2] << 8 | block[3];

                if (type == 127 || length > b.remainingAfter (pos + 4))
                    return refuse ("a metadata block runs past the end of the file");

                if (first && (type != 0 || length != 34 || ! b.fetch (pos + 4, info, 34)))
                    return refuse ("no stream info");

                first = false;
                pos += 4 + length;
            }

            const int64_t minBlock = be16 (info), maxBlock = be16 (info + 2);
            const auto rate = (double) (be32 (info + 10) >> 12);
            const int64_t bits = ((info[12] & 1) << 4 | info[13] >> 4) + 1;
            const int64_t total = (int64_t) (info[13] & 15) << 32 | be32 (info + 14);

            if (! rateIsSane (rate) || bits < 4 || maxBlock < 16 || minBlock > maxBlock)
                return refuse ("absurd stream info");

            auto bound = flacSamplesPresent (b, pos);

            if (total > 0)
                bound = std::min (bound, total);

            return accept (bound);
        }

        //==============================================================================
        // Ogg Vorbis: the first page must carry a sane identification header. An audio packet
        // takes at least a byte and its lacing value and gives at most half a long block.
        HeaderVerdict inspectOgg (Bytes& b)
        {
            uint8_t page[27];

            if (! b.fetch (0, page, 27) || ! is (page, "OggS") || page[4] != 0 || (page[5] & 2) == 0)
                return refuse ("not an Ogg stream");

            const int segments = page[26];
            uint8_t ident[30];

            if (! b.fetch (27 + segments, ident, 30) || ident[0] != 1 || std::memcmp (ident + 1, "vorbis", 6) != 0)
                return refuse ("not a Vorbis stream");

            const int64_t channels = ident[11];
            const auto rate = (double) le32 (ident + 12);
            const int shortBlock = ident[28] & 15, longBlock = ident[28] >> 4;

            if (le32 (ident + 7) != 0 || ! channelsAreSane (channels) || ! rateIsSane (rate)
                || shortBlock < 6 || longBlock > 13 || shortBlock > longBlock || (ident[29] & 1) == 0)
                return refuse ("absurd Vorbis header");

            return accept ((b.size / 2 + 1) * ((int64_t) 1 << (longBlock - 1)));
        }

        //==============================================================================
        // MPEG audio: frames with valid headers must follow each other from the start (after
        // ID3v2 tags); the frames found bound the length.
        struct MpegFrame
        {
            int64_t bytes = 0;
            int samples = 0;
            int sideInfo = 0;     // Layer III side information, after the header and CRC
        };

        bool parseMpegHeader (const uint8_t* h, MpegFrame& frame)
        {
            if (h[0] != 0xff || (h[1] & 0xe0) != 0xe0)
                return false;

            const int version = (h[1] >> 3) & 3;      // 0: 2.5, 2: 2, 3: 1
            const int layer = 4 - ((h[1] >> 1) & 3);  // 4 means reserved
            const int bitrateIndex = h[2] >> 4, rateIndex = (h[2] >> 2) & 3;

            // Free-format streams (bitrate index 0) give no frame length to follow.
            if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3 || (h[3] & 3) == 2)
                return false;

            static constexpr int kbps[2][3][15] = {
                { { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 },
                  { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 },
                  { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 } },
                { { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 },
                  { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 },
                  { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 } } };
            static constexpr int rates[3] = { 44100, 48000, 32000 };

            const bool mpeg1 = version == 3;
            const int rate = rates[rateIndex] >> (mpeg1 ? 0 : (version == 2 ? 1 : 2));
            const int64_t bitrate = 1000 * kbps[mpeg1 ? 0 : 1][layer - 1][bitrateIndex];
            const int padding = (h[2] >> 1) & 1;
            const bool mono = (h[3] >> 6) == 3;

            if (layer == 1)
            {
                frame.samples = 384;
                frame.bytes = (12 * bitrate / rate + padding) * 4;
            }
            else
            {
                const bool halfFrames = layer == 3 && ! mpeg1;
                frame.samples = halfFrames ? 576 : 1152;
                frame.bytes = (halfFrames ? 72 : 144) * bitrate / rate + padding;
            }

            frame.sideInfo = layer != 3 ? 0 : (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17)) + ((h[1] & 1) == 0 ? 2 : 0);
            return true;
        }

        int64_t skipId3v2Tags (Bytes& b)
        {
            int64_t pos = 0;
            uint8_t tag[10];

            while (b.fetch (pos, tag, 10) && std::memcmp (tag, "ID3", 3) == 0 && tag[3] != 0xff
                   && ((tag[6] | tag[7] | tag[8] | tag[9]) & 0x80) == 0)
            {
                pos += 10 + id3v2Size (tag) + ((tag[5] & 0x10) != 0 ? 10 : 0);
            }

            return pos;
        }

        bool isTrailingTag (Bytes& b, int64_t pos)
        {
            uint8_t tag[8];
            return (b.fetch (pos, tag, 3) && std::memcmp (tag, "TAG", 3) == 0)
                || (b.fetch (pos, tag, 8) && std::memcmp (tag, "APETAGEX", 8) == 0)
                || (b.fetch (pos, tag, 6) && std::memcmp (tag, "LYRICS", 6) == 0);
        }

        /** Whether the frames from pos on chain for `count` frames, or up to the end of the file. */
        bool framesChain (Bytes& b, int64_t pos, int count)
        {
            for (int i = 0; i < count; ++i)
            {
                uint8_t h[4];
                MpegFrame frame;

                if (pos >= b.size || isTrailingTag (b, pos))
                    return i > 0;

                if (! b.fetch (pos, h, 4))
                    return i > 0;       // a cut-off last frame

                if (! parseMpegHeader (h, frame))
                    return false;

                pos += frame.bytes;
            }

            return true;
        }

        bool isVbrInfoFrame (Bytes& b, int64_t pos, const MpegFrame& frame)
        {
            uint8_t tag[4];
            const auto at = pos + 4 + frame.sideInfo;
            return (b.fetch (at, tag, 4) && (is (tag, "Xing") || is (tag, "Info")))
                || (b.fetch (pos + 36, tag, 4) && is (tag, "VBRI"));
        }

        HeaderVerdict inspectMpeg (Bytes& b)
        {
            constexpr int framesToTrust = 3;
            auto pos = skipId3v2Tags (b);

            // Some taggers leave zero padding after the tag that the tag's size leaves out.
            for (uint8_t byte = 0; b.fetch (pos, &byte, 1) && byte == 0;)
                ++pos;

            if (! framesChain (b, pos, framesToTrust))
                return refuse ("no chain of MPEG audio frames at the start");

            int64_t samples = 0;
            bool firstFrame = true;

            while (pos <= b.size - 4 && ! isTrailingTag (b, pos))
            {
                uint8_t h[4];
                MpegFrame frame;
                b.fetch (pos, h, 4);

                if (parseMpegHeader (h, frame))
                {
                    if (! (firstFrame && isVbrInfoFrame (b, pos, frame)))
                        samples += frame.samples;

                    firstFrame = false;
                    pos += frame.bytes;
                    continue;
                }

                // Lost sync in the middle: the decoder looks for the next chain, and so do we.
                ++pos;

                while (pos <= b.size - 4 && ! framesChain (b, pos, framesToTrust))
                    ++pos;
            }

            return accept (samples);
        }

        //==============================================================================
        class MemorySource final : public ByteSource
        {
        public:
            MemorySource (const void* d, std::size_t n) : data (static_cast<const uint8_t*> (d)), length ((int64_t) n) {}

            int64_t size() const override { return length; }

            int read (int64_t offset, void* dest, int n) override
            {
                const auto count = (int) std::clamp<int64_t> (length - offset, 0, n);
                std::memcpy (dest, data + offset, (size_t) count);
                return count;
            }

        private:
            const uint8_t* data;
            int64_t length;
        };

        /** A file read through one cached window, so walking small headers costs few calls. */
        class StreamSource final : public ByteSource
        {
        public:
            explicit StreamSource (juce::InputStream& in) : stream (in), length (in.getTotalLength()) {}

            int64_t size() const override { return length; }

            int read (int64_t offset, void* dest, int n) override
            {
                if (n > (int) cacheSize)
                {
                    stream.setPosition (offset);
                    return std::max (0, stream.read (dest, n));
                }

                if (offset < cacheStart || offset + n > cacheStart + cacheFill)
                {
                    stream.setPosition (offset);
                    cacheStart = offset;
                    cacheFill = std::max (0, stream.read (cache.data(), (int) cacheSize));
                }

                const auto count = (int) std::clamp<int64_t> (cacheStart + cacheFill - offset, 0, n);
                std::memcpy (dest, cache.data() + (offset - cacheStart), (size_t) count);
                return count;
            }

        private:
            static constexpr std::size_t cacheSize = 1 << 16;
            juce::InputStream& stream;
            int64_t length;
            std::vector<uint8_t> cache = std::vector<uint8_t> (cacheSize);
            int64_t cacheStart = 0;
            int cacheFill = 0;
        };
    }

    //==============================================================================
    Container AudioFileGuard::containerOf (const juce::AudioFormat& format)
    {
        const auto name = format.getFormatName();

        if (name == "WAV file")         return Container::wav;
        if (name == "AIFF file")        return Container::aiff;
        if (name == "FLAC file")        return Container::flac;
        if (name == "Ogg-Vorbis file")  return Container::ogg;
        if (name == "MP3 file")         return Container::mp3;
        return Container::unknown;
    }

    HeaderVerdict AudioFileGuard::inspect (ByteSource& source, Container container)
    {
        Bytes bytes { source };

        switch (container)
        {
            case Container::wav:     return inspectWav (bytes);
            case Container::aiff:    return inspectAiff (bytes);
            case Container::flac:    return inspectFlac (bytes);
            case Container::ogg:     return inspectOgg (bytes);
            case Container::mp3:     return inspectMpeg (bytes);
            case Container::unknown: break;
        }

        return refuse ("no known container");
    }

    HeaderVerdict AudioFileGuard::inspect (const void* data, std::size_t size, Container container)
    {
        MemorySource source (data, size);
        return inspect (source, container);
    }

    std::unique_ptr<juce::AudioFormatReader> AudioFileGuard::openReader (juce::AudioFormatManager& formats,
                                                                         const juce::File& file)
    {
        for (int i = 0; i < formats.getNumKnownFormats(); ++i)
        {
            auto* format = formats.getKnownFormat (i);

            if (! format->canHandleFile (file))
                continue;

            HeaderVerdict verdict;
            {
                juce::FileInputStream in (file);

                if (! in.openedOk())
                    return nullptr;

                StreamSource source (in);
                verdict = inspect (source, containerOf (*format));
            }

            if (! verdict.accepted)
                continue;

            auto stream = std::make_unique<juce::FileInputStream> (file);

            if (! stream->openedOk())
                return nullptr;

            std::unique_ptr<juce::AudioFormatReader> reader (format->createReaderFor (stream.release(), true));

            if (reader == nullptr)
                continue;

            // The header passed; what the reader made of it must agree.
            if (! channelsAreSane (reader->numChannels) || ! rateIsSane (reader->sampleRate))
                continue;

            reader->lengthInSamples = std::clamp<juce::int64> (reader->lengthInSamples, 0, verdict.frameBound);
            return reader;
        }

        return nullptr;
    }

    MappedSamples AudioFileGuard::mapSamples (const juce::File& file, const juce::AudioFormatReader& reader)
    {
        const int bits = (int) reader.bitsPerSample;
        const int channels = (int) reader.numChannels;

        if (reader.getFormatName() != "WAV file" || ! channelsAreSane (channels)
            || (bits != 16 && bits != 24 && bits != 32) || (reader.usesFloatingPointData && bits != 32)
            || reader.lengthInSamples <= 0)
            return {};

        HeaderVerdict verdict;
        {
            juce::FileInputStream in (file);

            if (! in.openedOk())
                return {};

            StreamSource source (in);
            verdict = inspect (source, Container::wav);
        }

        const int64_t frameBytes = (int64_t) channels * (bits / 8);

        // The reader's length is already cut to what the file holds; the mapping must agree.
        if (! verdict.accepted || verdict.dataOffset < 0 || reader.lengthInSamples > verdict.frameBound
            || reader.lengthInSamples > unbounded / frameBytes)
            return {};

        const juce::Range<juce::int64> range ((juce::int64) verdict.dataOffset,
                                             (juce::int64) (verdict.dataOffset + reader.lengthInSamples * frameBytes));

        if (range.getEnd() > file.getSize())
            return {};

        MappedSamples mapped;
        mapped.map = std::make_unique<juce::MemoryMappedFile> (file, range, juce::MemoryMappedFile::readOnly);

        // The mapping starts at the page boundary at or before the sound data.
        const auto mappedRange = mapped.map->getRange();

        if (mapped.map->getData() == nullptr || mappedRange.getEnd() != range.getEnd()
            || mappedRange.getStart() > range.getStart())
            return {};

        mapped.data = static_cast<const char*> (mapped.map->getData()) + (range.getStart() - mappedRange.getStart());

       #if JUCE_LINUX && defined (MADV_POPULATE_READ)
        // The loader reads every page once: mapping them in one call saves a fault per page.
        // Older kernels refuse the advice, and the pages then fault in as they are read.
        madvise (mapped.map->getData(), (size_t) mappedRange.getLength(), MADV_POPULATE_READ);
       #endif
        mapped.frames = reader.lengthInSamples;
        mapped.channels = channels;
        mapped.bitsPerSample = bits;
        mapped.isFloat = reader.usesFloatingPointData;
        return mapped;
    }
}
