#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_dsp/juce_dsp.h>

#include <atomic>
#include <vector>

/** A small waterfall spectrum display fed from an effect's audio processing.

    The owner's audio thread pushes every block; each 1024 mono samples are analysed there and
    the finished spectrum is handed to the message thread, which keeps the 64-spectrum history
    that painting reads. The audio thread never waits for the painter: it try-locks a small
    mailbox and keeps finished spectra aside until the lock is free. */
class StereoSpectralAnalyzer : public juce::Component,
                               private juce::Timer
{
public:
    StereoSpectralAnalyzer();
    ~StereoSpectralAnalyzer() override;

    /** Chooses the waterfall view and repaints; owners call it once after adding the display. */
    void activate();

    /** The flat single-curve view instead of the waterfall (nothing in the application selects it). */
    void setShow3D (bool shouldShow3D);
    bool isShowing3D() const noexcept { return show3D; }

    /** Audio thread, once per processed block. Null pointers or a count of 0 or less do nothing
        beyond retrying a pending hand-off. Allocates nothing and never blocks. */
    void pushSamples (const float* left, const float* right, int numSamples) noexcept;

    /** The rate the pushed samples run at, for the frequency axis; any thread (the owner's
        prepare step). Non-positive or non-finite rates are ignored. */
    void setSampleRate (double newSampleRate) noexcept;
    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }

    /** How many analyses the audio side has run since construction; any thread. */
    int getAnalysisCount() const noexcept { return analysesRun.load (std::memory_order_relaxed); }

    /** Message thread: the spectrum of the given age (0 newest, 63 oldest), 512 levels in dB,
        after collecting whatever the audio side has handed over. */
    std::vector<float> getSpectrum (int age);

    /** The x position at which a frequency is drawn on the newest waterfall row, for a
        display of the given width; the frequency labels stand there too. */
    static float waterfallXForFrequency (float frequency, float plotX, float plotWidth) noexcept;

    void paint (juce::Graphics& g) override;

    static constexpr int fftOrder = 10;
    static constexpr int fftSize = 1 << fftOrder;
    static constexpr int numBins = fftSize / 2;
    static constexpr int historySize = 64;

private:
    /** A fixed-capacity ring of spectra that overwrites its oldest entry when full. */
    struct SpectrumRing
    {
        /** Starts empty, or (for the history) full of spectra at the given level. */
        SpectrumRing (int capacity, bool startFull, float initialLevel);

        void push (const float* spectrum) noexcept;
        const float* get (int age) const noexcept;      // 0 is the newest
        void moveAllInto (SpectrumRing& destination) noexcept;
        void clear() noexcept { count = 0; }

        std::vector<float> levels;
        int capacity, newest = -1, count = 0;
    };

    void timerCallback() override;
    void analyse() noexcept;
    void tryHandOver() noexcept;
    void collectSpectra();

    void drawWaterfall (juce::Graphics& g, juce::Rectangle<float> plot, double rate);
    void drawFlatCurve (juce::Graphics& g, juce::Rectangle<float> plot, double rate);

    // Audio thread only.
    juce::dsp::FFT fft { fftOrder };
    std::vector<float> fftData, window, inputBuffer, spectrum;
    int writePosition = 0;
    SpectrumRing pending;

    // Shared: guarded by mailboxLock (the audio side only ever try-locks it).
    juce::SpinLock mailboxLock;
    SpectrumRing mailbox;

    // Message thread only.
    SpectrumRing history;
    bool show3D = true;

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<int> analysesRun { 0 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StereoSpectralAnalyzer)
};
