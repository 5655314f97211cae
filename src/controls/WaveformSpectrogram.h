#pragma once

#include "dsp/DecodedAudio.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>

/** The spectrogram behind the waveform: 1024-point Hann frames every 256 samples of the
    file's mono mix, 512 magnitude rows (high frequencies at the top), 80 dB below the
    loudest bin. Long files are folded into at most maxColumns columns, so memory stays
    bounded whatever the file's length. */
namespace spectrogram
{
    constexpr int fftOrder = 10;
    constexpr int fftSize = 1 << fftOrder;
    constexpr int hopSize = 256;
    constexpr int numBins = 512;
    constexpr int maxColumns = 8192;
    constexpr int readChunkFrames = 65536;

    /** Frames of a file of the given length (0 for 768 samples or fewer). */
    int frameCount (juce::int64 lengthInSamples) noexcept;

    /** Image columns for a frame count. */
    int columnCount (int frames) noexcept;

    /** First frame folded into column c of C columns over F frames. */
    int firstFrameOfColumn (int column, int columns, int frames) noexcept;

    /** The colour of a level v in [0, 1]: blue, cyan, green, yellow, red. */
    juce::Colour colourFor (float v) noexcept;

    struct Result
    {
        juce::Image image;          // columns x 512, RGB; null when nothing could be built
        double sampleRate = 0.0;    // the reader's rate, 0 without a reader
    };

    /** Fills the first numChannels destination channels with `count` frames from `start`;
        false when they could not be read (the chunk then counts as silence). */
    using ChunkReader = std::function<bool (float* const* destination, juce::int64 start, int count)>;

    /** Builds the image of `length` frames of numChannels channels, read chunk by chunk.
        shouldStop is polled often; when it returns true the build ends early with a null image. */
    Result build (int numChannels, juce::int64 length, double sampleRate, const ChunkReader& readChunk,
                  const std::function<bool()>& shouldStop);

    /** As above, from a reader. */
    Result build (juce::AudioFormatReader& reader, const std::function<bool()>& shouldStop);

    /** As above, from a file already decoded into memory. */
    Result build (const DecodedAudio& audio, const std::function<bool()>& shouldStop);

    /** As build, opening the file with a format manager of its own. */
    Result buildFromFile (const juce::File& file, const std::function<bool()>& shouldStop);
}

/** The background thread that builds one spectrogram at a time for a view. Owned by the view
    and joined in its destructor; a new request stops the running one first. Given the decoded
    file, it first fills the view's overview (the thumbnail's peaks) from memory, so the
    waveform shows long before the spectrogram is done. */
class WaveformSpectrogramWorker : private juce::Thread
{
public:
    /** Called on the worker thread with the finished result and the request's number. */
    using Callback = std::function<void (spectrogram::Result, int requestNumber)>;

    WaveformSpectrogramWorker();
    ~WaveformSpectrogramWorker() override;

    /** Stops any running build, then starts one for the file. */
    void start (const juce::File& file, int requestNumber, Callback onFinished);

    /** Stops any running build, then starts one over the decoded file; with a thumbnail, its
        peaks are filled first (the thumbnail must already be reset to the file's shape and
        must outlive the build: stop() before it goes). */
    void start (SharedDecodedAudio audio, juce::AudioThumbnail* overviewToFill, int requestNumber, Callback onFinished);

    /** Stops the running build and waits for the thread (message thread only). */
    void stop();

    bool isBusy() const;

private:
    void run() override;
    bool fillOverview();

    juce::File file;
    SharedDecodedAudio audio;
    juce::AudioThumbnail* overview = nullptr;
    int requestNumber = 0;
    Callback callback;
};
