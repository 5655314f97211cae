#include "controls/WaveformSpectrogram.h"

namespace spectrogram
{
    int frameCount (juce::int64 lengthInSamples) noexcept
    {
        if (lengthInSamples < fftSize)
            return 0;

        return (int) juce::jmin<juce::int64> ((lengthInSamples - fftSize) / hopSize + 1, std::numeric_limits<int>::max());
    }

    int columnCount (int frames) noexcept { return juce::jlimit (0, maxColumns, frames); }

    int firstFrameOfColumn (int column, int columns, int frames) noexcept
    {
        return columns > 0 ? (int) ((juce::int64) column * frames / columns) : 0;
    }

    juce::Colour colourFor (float) noexcept { return juce::Colour (0xff0000ff); }

    Result build (juce::AudioFormatReader&, const std::function<bool()>&) { return {}; }
    Result buildFromFile (const juce::File&, const std::function<bool()>&) { return {}; }
}

WaveformSpectrogramWorker::WaveformSpectrogramWorker() : juce::Thread ("Spectrogram") {}
WaveformSpectrogramWorker::~WaveformSpectrogramWorker() { stop(); }

void WaveformSpectrogramWorker::start (const juce::File& f, int number, Callback onFinished)
{
    stop();
    file = f;
    requestNumber = number;
    callback = std::move (onFinished);
    startThread();
}

void WaveformSpectrogramWorker::stop()
{
    signalThreadShouldExit();
    waitForThreadToExit (-1);
}

bool WaveformSpectrogramWorker::isBusy() const { return isThreadRunning(); }

void WaveformSpectrogramWorker::run() {}
