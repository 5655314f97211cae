#include <gtest/gtest.h>

#include "controls/StereoSpectralAnalyzer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

// The audio side analyses on its own thread while the message thread paints and reads the
// history; every spectrum must arrive whole and in order.
TEST (StereoSpectralAnalyzerStress, AudioPushesWhilePainterReads)
{
    StereoSpectralAnalyzer analyser;
    analyser.setBounds (0, 0, 300, 160);

    constexpr int binsUsed = 100, firstBin = 10;
    constexpr int maxAnalyses = 100000;

    // Analysis n holds a bin-centred sine at bin firstBin + n % binsUsed.
    std::vector<std::vector<float>> frames ((size_t) binsUsed);
    for (int b = 0; b < binsUsed; ++b)
    {
        frames[(size_t) b].resize (1024);
        for (int i = 0; i < 1024; ++i)
            frames[(size_t) b][(size_t) i] = (float) std::sin (2.0 * juce::MathConstants<double>::pi * (firstBin + b) * i / 1024.0);
    }

    std::atomic<bool> finished { false };
    std::atomic<int> pushedAnalyses { 0 };

    std::thread audio ([&]
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds (1500);
        int n = 0;

        while (n < maxAnalyses && std::chrono::steady_clock::now() < deadline)
        {
            const auto& frame = frames[(size_t) (n % binsUsed)];
            const int blockSize = (n % 2 == 0) ? 64 : 512;

            for (int offset = 0; offset < 1024; offset += blockSize)
                analyser.pushSamples (frame.data() + offset, frame.data() + offset, blockSize);

            pushedAnalyses.store (++n, std::memory_order_release);
        }

        finished.store (true, std::memory_order_release);
    });

    juce::Image canvas (juce::Image::ARGB, 300, 160, true);
    int reads = 0;

    while (! finished.load (std::memory_order_acquire))
    {
        {
            juce::Graphics g (canvas);
            analyser.paint (g);
        }

        const auto newest = analyser.getSpectrum (0);
        const auto peak = (int) (std::max_element (newest.begin(), newest.end()) - newest.begin());

        if (pushedAnalyses.load (std::memory_order_acquire) > 0 && newest[(size_t) peak] > -100.0f)
        {
            ASSERT_GE (peak, firstBin);
            ASSERT_LT (peak, firstBin + binsUsed);
            ASSERT_FLOAT_EQ (newest[(size_t) peak], 0.0f);
        }

        ++reads;
    }

    audio.join();

    const auto total = pushedAnalyses.load();
    EXPECT_EQ (analyser.getAnalysisCount(), total);
    EXPECT_GT (reads, 0);

    // Nothing was lost or reordered in the hand-off, however the two threads met.
    for (int age = 0; age < std::min (total, StereoSpectralAnalyzer::historySize); ++age)
    {
        const auto spectrum = analyser.getSpectrum (age);
        const auto peak = (int) (std::max_element (spectrum.begin(), spectrum.end()) - spectrum.begin());
        EXPECT_EQ (peak, firstBin + (total - 1 - age) % binsUsed) << age;
    }
}
