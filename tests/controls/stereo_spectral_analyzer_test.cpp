#include <gtest/gtest.h>

#include "controls/StereoSpectralAnalyzer.h"
#include "support/PixelProbe.h"
#include "support/RealtimeTrap.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace
{
    std::vector<float> sine (double frequency, double sampleRate, int length, float amplitude = 1.0f)
    {
        std::vector<float> samples ((size_t) length);

        for (int i = 0; i < length; ++i)
            samples[(size_t) i] = amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * frequency * i / sampleRate);

        return samples;
    }

    void pushMono (StereoSpectralAnalyzer& analyser, const std::vector<float>& samples, int offset, int count)
    {
        analyser.pushSamples (samples.data() + offset, samples.data() + offset, count);
    }

    int peakBin (const std::vector<float>& spectrum)
    {
        return (int) (std::max_element (spectrum.begin(), spectrum.end()) - spectrum.begin());
    }
}

TEST (StereoSpectralAnalyzer, FullScaleSineReadsZeroDbInItsBinAndFloorFarAway)
{
    StereoSpectralAnalyzer analyser;
    const auto signal = sine (1000.0, 44100.0, 1024);
    pushMono (analyser, signal, 0, 1024);

    const auto spectrum = analyser.getSpectrum (0);
    ASSERT_EQ (spectrum.size(), 512u);
    EXPECT_EQ (peakBin (spectrum), 23);            // 1000 Hz / (44100 / 1024 Hz) = 23.2
    EXPECT_FLOAT_EQ (spectrum[23], 0.0f);

    for (int bin = 200; bin < 512; ++bin)
        EXPECT_LE (spectrum[(size_t) bin], -70.0f) << bin;

    // The left and right channels are averaged: opposite channels cancel to silence.
    StereoSpectralAnalyzer cancelled;
    auto inverted = signal;
    for (auto& s : inverted)
        s = -s;
    cancelled.pushSamples (signal.data(), inverted.data(), 1024);
    const auto silent = cancelled.getSpectrum (0);
    EXPECT_TRUE (std::all_of (silent.begin(), silent.end(), [] (float l) { return l == -80.0f; }));
}

TEST (StereoSpectralAnalyzer, AnalysesExactlyEveryThousandTwentyFourSamples)
{
    StereoSpectralAnalyzer analyser;
    const auto signal = sine (440.0, 44100.0, 4096);

    EXPECT_FLOAT_EQ (analyser.getSpectrum (0)[10], -100.0f);   // nothing analysed yet

    pushMono (analyser, signal, 0, 1000);
    EXPECT_EQ (analyser.getAnalysisCount(), 0);
    pushMono (analyser, signal, 1000, 24);
    EXPECT_EQ (analyser.getAnalysisCount(), 1);
    pushMono (analyser, signal, 1024, 1023);
    EXPECT_EQ (analyser.getAnalysisCount(), 1);
    pushMono (analyser, signal, 2047, 1);
    EXPECT_EQ (analyser.getAnalysisCount(), 2);

    // Counts of zero or less and missing channels change nothing.
    pushMono (analyser, signal, 0, 0);
    pushMono (analyser, signal, 0, -5);
    analyser.pushSamples (nullptr, signal.data(), 2048);
    EXPECT_EQ (analyser.getAnalysisCount(), 2);

    // The newest analysis is at age 0, the older ones follow; unused rows keep -100 dB.
    EXPECT_FLOAT_EQ (analyser.getSpectrum (0)[peakBin (analyser.getSpectrum (0))], 0.0f);
    EXPECT_FLOAT_EQ (analyser.getSpectrum (1)[peakBin (analyser.getSpectrum (1))], 0.0f);
    EXPECT_FLOAT_EQ (analyser.getSpectrum (2)[10], -100.0f);
    EXPECT_FLOAT_EQ (analyser.getSpectrum (63)[10], -100.0f);
}

TEST (StereoSpectralAnalyzer, HistoryKeepsTheLastSixtyFourInOrder)
{
    StereoSpectralAnalyzer analyser;
    constexpr int analyses = 80;

    for (int n = 0; n < analyses; ++n)
    {
        const auto bin = 10 + n;
        pushMono (analyser, sine (bin * 44100.0 / 1024.0, 44100.0, 1024), 0, 1024);
    }

    for (int age = 0; age < 64; ++age)
        EXPECT_EQ (peakBin (analyser.getSpectrum (age)), 10 + analyses - 1 - age) << age;
}

TEST (StereoSpectralAnalyzer, NonFiniteInputCountsAsSilence)
{
    StereoSpectralAnalyzer analyser;
    std::vector<float> bad (1024, std::numeric_limits<float>::quiet_NaN());
    bad[7] = std::numeric_limits<float>::infinity();
    bad[9] = -std::numeric_limits<float>::infinity();
    pushMono (analyser, bad, 0, 1024);

    const auto silent = analyser.getSpectrum (0);
    EXPECT_TRUE (std::all_of (silent.begin(), silent.end(), [] (float l) { return l == -80.0f; }));

    pushMono (analyser, sine (1000.0, 44100.0, 1024), 0, 1024);
    const auto recovered = analyser.getSpectrum (0);
    EXPECT_TRUE (std::all_of (recovered.begin(), recovered.end(), [] (float l) { return std::isfinite (l); }));
    EXPECT_EQ (peakBin (recovered), 23);
}

TEST (StereoSpectralAnalyzer, PushingAllocatesAndLocksNothing)
{
    if (! testing_rt::trapAvailable())
        GTEST_SKIP() << "allocation trap not compiled in";

    StereoSpectralAnalyzer analyser;
    const auto signal = sine (1000.0, 48000.0, 8192);
    pushMono (analyser, signal, 0, 2048);   // warm-up

    testing_rt::Counts counts;
    {
        testing_rt::RealtimeScope scope;

        // Far more analyses than the hand-off holds, as when the display is not painted.
        for (int round = 0; round < 40; ++round)
            for (int offset = 0; offset < 8192; offset += 512)
                pushMono (analyser, signal, offset, 512);

        counts = scope.counts();
    }

    EXPECT_TRUE (counts.clean()) << counts.allocations << " allocations, " << counts.locks << " locks";
    EXPECT_EQ (analyser.getAnalysisCount(), 2 + 40 * 8);
}

TEST (StereoSpectralAnalyzer, WaterfallPeakStandsAtItsFrequencyAtTheDeviceRate)
{
    // At 48 kHz the 1 kHz sine's bin (21, 984 Hz) must be drawn where the "1k" label stands;
    // at 44.1 kHz a bin-centred sine stands where its own frequency belongs.
    struct Case { double rate, sineHz, expectedHz; };
    const Case cases[] = { { 48000.0, 1000.0, 1000.0 },
                           { 44100.0, 25 * 44100.0 / 1024.0, 25 * 44100.0 / 1024.0 } };

    for (const auto& c : cases)
    {
        StereoSpectralAnalyzer analyser;
        analyser.setSampleRate (c.rate);
        analyser.setBounds (0, 0, 360, 200);
        const auto before = pixel_probe::render (analyser);

        pushMono (analyser, sine (c.sineHz, c.rate, 1024), 0, 1024);
        const auto after = pixel_probe::render (analyser);

        // Only the newest row changed; its highest changed pixels are the peak's tip.
        int tipRow = -1;
        for (int y = 8; y < 192 && tipRow < 0; ++y)
            if (pixel_probe::differences (before, after, { 8, y, 344, 1 }) > 0)
                tipRow = y;

        ASSERT_GE (tipRow, 0);

        double sumX = 0.0;
        int n = 0;
        for (int x = 8; x < 352; ++x)
        {
            if (before.getPixelAt (x, tipRow) != after.getPixelAt (x, tipRow))
            {
                sumX += x + 0.5;
                ++n;
            }
        }

        const auto tipX = sumX / n;
        const auto expectedX = StereoSpectralAnalyzer::waterfallXForFrequency ((float) c.expectedHz, 8.0f, 344.0f);
        EXPECT_NEAR (tipX, expectedX, 1.0) << c.rate;
    }
}

TEST (StereoSpectralAnalyzer, PaintsBothViewsAndIgnoresBadRates)
{
    StereoSpectralAnalyzer analyser;
    analyser.setBounds (0, 0, 240, 120);
    analyser.activate();
    EXPECT_TRUE (analyser.isShowing3D());

    analyser.setSampleRate (0.0);
    analyser.setSampleRate (std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ (analyser.getSampleRate(), 44100.0);

    pushMono (analyser, sine (3000.0, 44100.0, 1024), 0, 1024);
    const auto waterfall = pixel_probe::render (analyser);
    analyser.setShow3D (false);
    const auto flat = pixel_probe::render (analyser);

    // The title changes with the view and is drawn in a visible face.
    EXPECT_GT (pixel_probe::differences (waterfall, flat, { 4, 2, 80, 10 }), 10);
    // The flat curve's cyan-to-red fill shows inside the plot area.
    EXPECT_GT (pixel_probe::count (flat, { 8, 8, 224, 104 }, [] (juce::Colour c) { return c.getGreen() > 120 || c.getRed() > 120; }), 100);

    // A zero-sized display paints without trouble.
    analyser.setBounds (0, 0, 0, 0);
    pixel_probe::render (analyser);
}
