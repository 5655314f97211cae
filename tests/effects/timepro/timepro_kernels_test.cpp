#include <gtest/gtest.h>

#include "TimeProFixture.h"
#include "support/RealtimeTrap.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

using namespace timepro_test;

namespace
{
    /** Micro-Pitch with the global stage fully wet at 0 dB, so the output is tanh of the mode's. */
    void setMicroPitch (Rig& rig, float detune, float delay, float width, float character)
    {
        rig.processor.parameters.mode = 0;
        rig.set (P::globalMix, 100.0f);
        rig.set (P::microMix, 100.0f);
        rig.set (P::microDetune, detune);
        rig.set (P::microDelay, delay);
        rig.set (P::microWidth, width);
        rig.set (P::microChar, character);
    }

    void setGranular (Rig& rig, float size, float density, float pitch, float motion, float mix = 100.0f)
    {
        rig.processor.parameters.mode = 1;
        rig.set (P::globalMix, 100.0f);
        rig.set (P::grainMix, mix);
        rig.set (P::grainSize, size);
        rig.set (P::grainDensity, density);
        rig.set (P::grainPitch, pitch);
        rig.set (P::grainMotion, motion);
    }

    /** The grain engine written the plain way: a growing list of grains, each window worked out
        from its phase. The processor's pool and window table must sound the same, sample for
        sample. Settings are read once per block, as the processor does. */
    struct ReferenceGranular
    {
        struct Grain { int start, length; float phase, increment, pan; };

        explicit ReferenceGranular (float rate) : rate (rate), frames ((int) (rate * 4.0f)),
                                                  ring ((size_t) frames * 2) {}

        void block (float* left, float* right, int n, float size, float density, float pitch, float motion)
        {
            const float q = std::pow (2.0f, pitch / 12.0f);
            int length = (int) (size * rate / 1000.0f);
            length = length < 100 ? 100 : std::min (length, frames / 2);
            const float spacing = rate / density;
            const float m = motion / 100.0f;

            for (int i = 0; i < n; ++i)
            {
                const float xL = left[i], xR = right[i];
                ring[(size_t) write * 2] = xL;
                ring[(size_t) write * 2 + 1] = xR;
                write = (write + 1) % frames;

                timer += 1.0f;
                if (timer >= spacing)
                {
                    timer -= spacing;
                    const int r1 = platform::crtRand();
                    const int base = (write - 2 * length + frames) % frames;
                    const float j = ((float) r1 / 32767.0f - 0.5f) * ((float) frames * m * -0.5f);
                    const int start = ((base - (int) j) % frames + frames) % frames;
                    const int r2 = platform::crtRand();
                    grains.push_back ({ start, length, 0.0f, q, ((float) r2 / 32767.0f - 0.5f) * 0.4f * m + 0.5f });
                }

                float sumL = 0.0f, sumR = 0.0f;
                for (auto& g : grains)
                {
                    const float w = (1.0f - std::cos (6.2831855f * g.phase / (float) g.length)) * 0.5f;
                    const int k = ((int) g.phase + g.start) % frames;
                    sumL += w * ring[(size_t) k * 2] * (1.0f - g.pan);
                    sumR += w * ring[(size_t) k * 2 + 1] * g.pan;
                    g.phase += g.increment;
                }
                grains.erase (std::remove_if (grains.begin(), grains.end(),
                                              [] (const Grain& g) { return g.phase >= (float) g.length; }),
                              grains.end());
                largest = std::max (largest, grains.size());

                // Fully wet at 0 dB through the global stage.
                left[i] = std::tanh (std::clamp (sumL * 0.5f, -4.0f, 4.0f));
                right[i] = std::tanh (std::clamp (sumR * 0.5f, -4.0f, 4.0f));
            }
        }

        float rate;
        int frames, write = 0;
        std::vector<float> ring;
        std::vector<Grain> grains;
        float timer = 0.0f;
        size_t largest = 0;
    };
}

TEST (TimeProMicroPitch, NeutralDetuneAndCharacterSwapTheChannelsAndDelayThemByDelay)
{
    struct Case { float delayMs; int samples; };
    for (auto [delayMs, samples] : { Case { 0.0f, 1 }, Case { 10.01f, 480 }, Case { 15.0f, 720 }, Case { 30.0f, 1440 } })
    {
        SCOPED_TRACE (delayMs);
        Rig rig;
        setMicroPitch (rig, 0.0f, delayMs, 100.0f, 0.0f);
        const auto input = stereoSignal (4000);
        auto buffer = input;
        rig.run (buffer, 256);

        for (int i = 0; i < 4000; ++i)
        {
            const bool delayed = i >= samples;
            // Exact but for the rounding of the mid/side sum and difference.
            ASSERT_NEAR (buffer.getSample (0, i), delayed ? std::tanh (input.getSample (1, i - samples)) : 0.0f, 1.0e-7f) << i;
            ASSERT_NEAR (buffer.getSample (1, i), delayed ? std::tanh (input.getSample (0, i - samples)) : 0.0f, 1.0e-7f) << i;
        }
    }
}

TEST (TimeProMicroPitch, WidthZeroFoldsToMonoAndWiderSettingsDoNot)
{
    for (float width : { 0.0f, 100.0f, 150.0f })
    {
        SCOPED_TRACE (width);
        Rig rig;
        setMicroPitch (rig, 17.0f, 12.0f, width, 80.0f);
        auto buffer = stereoSignal (6000);
        rig.run (buffer);

        float widest = 0.0f;
        for (int i = 0; i < 6000; ++i)
            widest = std::max (widest, std::abs (buffer.getSample (0, i) - buffer.getSample (1, i)));

        if (width == 0.0f)
        {
            EXPECT_EQ (widest, 0.0f);
        }
        else
        {
            EXPECT_GT (widest, 0.05f);
        }
    }
}

TEST (TimeProGranular, MotionScattersGrainStartsAndPansOnlyWhenRaised)
{
    struct Case { float motion; bool scattered; };
    for (auto [motion, scattered] : { Case { 0.0f, false }, Case { 100.0f, true } })
    {
        SCOPED_TRACE (motion);
        Rig rig;
        setGranular (rig, 40.0f, 80.0f, 0.0f, motion);
        const int frames = rig.processor.getGrainRingFrames();
        const int length = 1920;   // 40 ms at 48 kHz
        auto input = stereoSignal (24000);

        std::set<int> distances;
        int started = 0;
        for (int i = 0; i < input.getNumSamples(); ++i)
        {
            rig.processor.process (input, i, 1);
            const int count = rig.processor.getGrainCount();
            if (count == 0 || rig.processor.getGrain (count - 1).steps != 1)
                continue;

            // A grain that started on this sample: how far behind the write position, and where.
            const auto& g = rig.processor.getGrain (count - 1);
            ++started;
            int distance = (rig.processor.getGrainWriteIndex() - g.start + frames) % frames;
            if (distance >= frames / 2)
                distance -= frames;   // a start ahead of the write position, wrapped
            distances.insert (distance);
            EXPECT_EQ (g.length, length);
            EXPECT_LE (std::abs (distance - 2 * length), frames / 4 + 1);
            if (scattered)
            {
                EXPECT_GE (g.pan, 0.3f);
                EXPECT_LE (g.pan, 0.7f);
            }
            else
            {
                EXPECT_EQ (g.pan, 0.5f);
            }
        }

        EXPECT_EQ (started, 40);   // 80 a second for half a second
        if (scattered)
        {
            EXPECT_GT (distances.size(), 30u);
        }
        else
        {
            EXPECT_EQ (distances, std::set<int> { 2 * length });
        }
    }
}

TEST (TimeProGranular, FrozenAtMixZeroKeepsGrainsRunningAndPlaysTheFrozenSecondOnceRaised)
{
    Rig rig;
        setGranular (rig, 60.0f, 20.0f, 0.0f, 30.0f);
    auto recorded = stereoSignal (48000);
    rig.run (recorded);

    rig.processor.parameters.frozen = true;
    rig.set (P::grainMix, 0.0f);
    const int frozenAt = rig.processor.getGrainWriteIndex();
    const auto input = stereoSignal (48000, 48000.0, 48000);
    auto buffer = input;
    int mostGrains = 0;
    for (int start = 0; start < 48000; start += 512)
    {
        const int n = std::min (512, 48000 - start);
        rig.processor.process (buffer, start, n);
        mostGrains = std::max (mostGrains, rig.processor.getGrainCount());
    }

    // The wet share is 0, so what comes out is the input (through the global tanh).
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 48000; ++i)
            ASSERT_EQ (buffer.getSample (ch, i), std::tanh (input.getSample (ch, i))) << ch << " " << i;
    EXPECT_GT (mostGrains, 0);
    EXPECT_EQ (rig.processor.getGrainWriteIndex(), frozenAt);

    // Raised later, the grains sound at once, from the recording, over silent input.
    rig.set (P::grainMix, 100.0f);
    juce::AudioBuffer<float> silence (2, 512);
    silence.clear();
    rig.run (silence);
    EXPECT_GT (silence.getMagnitude (0, 0, 512), 0.01f);
    EXPECT_EQ (rig.processor.getGrainWriteIndex(), frozenAt);
}

TEST (TimeProGranular, DensityOneStartsOneGrainASecondWithSilenceBetween)
{
    Rig rig;
        setGranular (rig, 40.0f, 1.0f, 0.0f, 0.0f);
    const int total = 48000 * 7 / 2;
    juce::AudioBuffer<float> buffer (2, total);
    for (int ch = 0; ch < 2; ++ch)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 0.5f, total);
    rig.run (buffer);

    // Runs of sound in the fully wet output: one per grain, each no longer than the grain.
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < total; ++i)
    {
        if (buffer.getSample (0, i) == 0.0f)
            continue;
        if (runs.empty() || runs.back().second != i - 1)
            runs.push_back ({ i, i });
        runs.back().second = i;
    }

    ASSERT_EQ (runs.size(), 3u);
    for (size_t k = 0; k < runs.size(); ++k)
    {
        EXPECT_NEAR (runs[k].first, 48000 * (int) (k + 1), 2) << k;
        EXPECT_LE (runs[k].second - runs[k].first + 1, 1920) << k;
    }
}

TEST (TimeProGranular, DensestLongestLowestRunsInThePoolAndSoundsAsAnUnboundedList)
{
    // Steady at the worst case, and with SIZE and PITCH moving every second, so grains of the
    // old settings play on beside the new ones.
    for (bool moving : { false, true })
    {
        SCOPED_TRACE (moving);
        Rig rig;
        setGranular (rig, 120.0f, 80.0f, -24.0f, 30.0f);
        ReferenceGranular reference (48000.0f);
        const int blockSize = 512, blocks = 48000 * 10 / blockSize;
        juce::AudioBuffer<float> ours (2, blockSize), theirs (2, blockSize);
        int mostGrains = 0;
        bool clean = true, same = true;

        for (int b = 0; b < blocks && same; ++b)
        {
            const bool alternate = moving && (b * blockSize / 48000) % 2 == 1;
            const float size = alternate ? 80.0f : 120.0f, pitch = alternate ? -12.0f : -24.0f;
            rig.set (P::grainSize, size);
            rig.set (P::grainPitch, pitch);

            const auto input = stereoSignal (blockSize, 48000.0, b * blockSize);
            ours.makeCopyOf (input, true);
            theirs.makeCopyOf (input, true);

            platform::crtSrand ((unsigned) b + 1);
            if (b == 0)
            {
                rig.processor.process (ours, 0, blockSize);   // warm-up block, outside the trap
            }
            else
            {
                testing_rt::RealtimeScope scope;
                rig.processor.process (ours, 0, blockSize);
                clean = clean && scope.counts().clean();
            }

            platform::crtSrand ((unsigned) b + 1);
            reference.block (theirs.getWritePointer (0), theirs.getWritePointer (1), blockSize, size, 80.0f, pitch, 30.0f);
            mostGrains = std::max (mostGrains, rig.processor.getGrainCount());

            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < blockSize; ++i)
                    if (ours.getSample (ch, i) != theirs.getSample (ch, i))
                    {
                        ADD_FAILURE() << "block " << b << " channel " << ch << " sample " << i << ": "
                                      << ours.getSample (ch, i) << " vs " << theirs.getSample (ch, i);
                        same = false;
                        break;
                    }
        }

        if (testing_rt::trapAvailable())
        {
            EXPECT_TRUE (clean);
        }
        EXPECT_EQ ((size_t) mostGrains, reference.largest);
        EXPECT_GE (mostGrains, 35);
        EXPECT_LT (mostGrains, HeightAndWeightProcessor::maxGrains);
    }
}
