#include "controls/WaveformSpectrogram.h"

#include "platform/AudioFileGuard.h"
#include "platform/AudioFormats.h"

#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace spectrogram
{
    int frameCount (juce::int64 lengthInSamples) noexcept
    {
        if (lengthInSamples < fftSize)
            return 0;

        const auto frames = (lengthInSamples - fftSize) / hopSize + 1;
        return (int) std::min<juce::int64> (frames, std::numeric_limits<int>::max());
    }

    int columnCount (int frames) noexcept
    {
        return juce::jlimit (0, maxColumns, frames);
    }

    int firstFrameOfColumn (int column, int columns, int frames) noexcept
    {
        return columns > 0 ? (int) ((juce::int64) column * frames / columns) : 0;
    }

    juce::Colour colourFor (float v) noexcept
    {
        v = juce::jlimit (0.0f, 1.0f, v);
        float r = 0.0f, g = 0.0f, b = 0.0f;

        if (v < 0.25f)       { g = 4.0f * v;                          b = 1.0f; }
        else if (v < 0.5f)   { g = 1.0f;  b = 1.0f - 4.0f * (v - 0.25f); }
        else if (v < 0.75f)  { r = 4.0f * (v - 0.5f);  g = 1.0f; }
        else                 { r = 1.0f;  g = 1.0f - 4.0f * (v - 0.75f); }

        return juce::Colour::fromFloatRGBA (r, g, b, 1.0f);
    }

    Result build (int numChannels, juce::int64 length, double sampleRate, const ChunkReader& readChunk,
                  const std::function<bool()>& shouldStop)
    {
        Result result;
        result.sampleRate = sampleRate;

        const auto frames = frameCount (length);

        if (length <= 0 || numChannels <= 0 || frames <= 0)
            return result;

        const auto columns = columnCount (frames);

        // Per column and bin the largest magnitude of the frames folded into it: bounded by
        // maxColumns x numBins whatever the file's length.
        std::vector<float> magnitudes ((size_t) columns * numBins, 0.0f);
        float loudest = 0.0f;

        juce::dsp::FFT fft (fftOrder);
        juce::dsp::WindowingFunction<float> window ((size_t) fftSize, juce::dsp::WindowingFunction<float>::hann, true);
        std::vector<float> work ((size_t) fftSize * 2, 0.0f);

        juce::AudioBuffer<float> chunk (numChannels, readChunkFrames);
        std::vector<float> mono;                    // file samples from monoStart on
        mono.reserve ((size_t) readChunkFrames + fftSize);
        juce::int64 monoStart = 0;

        int frame = 0;
        int column = 0;
        int nextColumnStart = firstFrameOfColumn (1, columns, frames);

        for (juce::int64 position = 0; position < length && frame < frames; position += readChunkFrames)
        {
            if (shouldStop())
                return { {}, result.sampleRate };

            const auto count = (int) std::min<juce::int64> (readChunkFrames, length - position);

            if (! readChunk (chunk.getArrayOfWritePointers(), position, count))
                chunk.clear();

            for (int i = 0; i < count; ++i)
            {
                float sum = 0.0f;

                for (int ch = 0; ch < numChannels; ++ch)
                    sum += chunk.getSample (ch, i);

                mono.push_back (sum / (float) numChannels);
            }

            const auto available = monoStart + (juce::int64) mono.size();

            while (frame < frames && (juce::int64) frame * hopSize + fftSize <= available)
            {
                const auto offset = (size_t) ((juce::int64) frame * hopSize - monoStart);
                std::copy (mono.begin() + (std::ptrdiff_t) offset,
                           mono.begin() + (std::ptrdiff_t) offset + fftSize, work.begin());
                std::fill (work.begin() + fftSize, work.end(), 0.0f);
                window.multiplyWithWindowingTable (work.data(), (size_t) fftSize);
                fft.performFrequencyOnlyForwardTransform (work.data());

                while (frame >= nextColumnStart && column < columns - 1)
                    nextColumnStart = firstFrameOfColumn (++column + 1, columns, frames);

                auto* dest = magnitudes.data() + (size_t) column * numBins;

                for (int bin = 0; bin < numBins; ++bin)
                {
                    const auto m = std::isfinite (work[(size_t) bin]) ? work[(size_t) bin] : 0.0f;
                    dest[bin] = juce::jmax (dest[bin], m);
                    loudest = juce::jmax (loudest, m);
                }

                ++frame;

                if ((frame & 63) == 0 && shouldStop())
                    return { {}, result.sampleRate };
            }

            const auto consumed = (juce::int64) frame * hopSize - monoStart;
            const auto drop = (size_t) std::clamp<juce::int64> (consumed, 0, (juce::int64) mono.size());
            mono.erase (mono.begin(), mono.begin() + (std::ptrdiff_t) drop);
            monoStart += (juce::int64) drop;
        }

        juce::Image image (juce::Image::RGB, columns, numBins, true, juce::SoftwareImageType());

        {
            juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);

            for (int x = 0; x < columns; ++x)
            {
                const auto* source = magnitudes.data() + (size_t) x * numBins;

                for (int y = 0; y < numBins; ++y)
                {
                    // Digital silence has no loudest bin to measure against: it shows the floor.
                    float v = 0.0f;

                    if (loudest > 0.0f)
                    {
                        const auto m = source[numBins - 1 - y];
                        v = (float) ((20.0 * std::log10 ((double) m / loudest + 1e-10) + 80.0) / 80.0);
                    }

                    pixels.setPixelColour (x, y, colourFor (v));
                }
            }
        }

        result.image = image;
        return result;
    }

    Result build (juce::AudioFormatReader& reader, const std::function<bool()>& shouldStop)
    {
        const auto channels = (int) reader.numChannels;
        return build (channels, reader.lengthInSamples, reader.sampleRate,
                      [&] (float* const* destination, juce::int64 start, int count)
                      {
                          return reader.read (destination, channels, start, count);
                      },
                      shouldStop);
    }

    Result build (const DecodedAudio& audio, const std::function<bool()>& shouldStop)
    {
        const auto& samples = audio.samples;
        const auto channels = samples.getNumChannels();
        return build (channels, samples.getNumSamples(), audio.sampleRate,
                      [&] (float* const* destination, juce::int64 start, int count)
                      {
                          for (int c = 0; c < channels; ++c)
                              std::copy_n (samples.getReadPointer (c, (int) start), count, destination[c]);
                          return true;
                      },
                      shouldStop);
    }

    Result buildFromFile (const juce::File& file, const std::function<bool()>& shouldStop)
    {
        juce::AudioFormatManager manager;
        platform::registerAudioFormats (manager);

        auto reader = platform::AudioFileGuard::openReader (manager, file);

        if (reader == nullptr)
            return {};

        return build (*reader, shouldStop);
    }
}

//==============================================================================
WaveformSpectrogramWorker::WaveformSpectrogramWorker()
    : juce::Thread ("Spectrogram")
{
}

WaveformSpectrogramWorker::~WaveformSpectrogramWorker()
{
    stop();
}

void WaveformSpectrogramWorker::start (const juce::File& fileToRead, int number, Callback onFinished)
{
    stop();
    file = fileToRead;
    audio = nullptr;
    overview = nullptr;
    requestNumber = number;
    callback = std::move (onFinished);
    startThread();
}

void WaveformSpectrogramWorker::start (SharedDecodedAudio decoded, juce::AudioThumbnail* overviewToFill,
                                       int number, Callback onFinished)
{
    stop();
    file = juce::File();
    audio = std::move (decoded);
    overview = overviewToFill;
    requestNumber = number;
    callback = std::move (onFinished);
    startThread();
}

void WaveformSpectrogramWorker::stop()
{
    signalThreadShouldExit();
    waitForThreadToExit (-1);
}

bool WaveformSpectrogramWorker::isBusy() const
{
    return isThreadRunning();
}

bool WaveformSpectrogramWorker::fillOverview()
{
    // In slices, so a new file or a closing view never waits for a whole long file.
    constexpr int sliceFrames = 1 << 19;
    const auto& samples = audio->samples;

    for (int start = 0; start < samples.getNumSamples(); start += sliceFrames)
    {
        if (threadShouldExit())
            return false;

        overview->addBlock (start, samples, start, juce::jmin (sliceFrames, samples.getNumSamples() - start));
    }

    return true;
}

void WaveformSpectrogramWorker::run()
{
    if (audio != nullptr && overview != nullptr && ! fillOverview())
        return;

    const auto stopRequested = [this] { return threadShouldExit(); };
    auto result = audio != nullptr ? spectrogram::build (*audio, stopRequested)
                                   : spectrogram::buildFromFile (file, stopRequested);

    // A stopped build is dropped: whoever stopped it has started over or is going away.
    if (threadShouldExit() || ! callback)
        return;

    callback (std::move (result), requestNumber);
}
