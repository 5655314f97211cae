// The finalizer hoists work that is constant within a block out of its sample loop: the
// rotation's cosine and sine, the ATOMIZE dips' gain term, the block's parameter reads and the
// meter peak (raised once per block). It also runs stage by stage over runs of samples, takes
// every tanh through the exact vector form and designs the ATOMIZE sections of a run side by
// side. This file keeps the per-sample form of the chain and checks that both give
// bit-identical output and meters on the same fixture (block sizes that split the runs too).

#include <gtest/gtest.h>

#include "effects/finalizer/FinalizerProcessor.h"

#include <cmath>

namespace
{
    struct Biquad
    {
        float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        float h[2][4] {};   // per channel x1, x2, y1, y2

        float run (int ch, float x)
        {
            auto& s = h[ch];
            const float y = b0 * x + (b1 * s[0] - a1 * s[2]) + (b2 * s[1] - a2 * s[3]);
            s[1] = s[0]; s[0] = x; s[3] = s[2]; s[2] = y;
            return y;
        }
    };

    struct PerSampleFinalizer
    {
        const FinalizerSettings& params;
        double rate;
        Biquad eq[5], dc;
        float xc[5] {}, xsL[5] {}, xsR[5] {};
        float densityEnv = 0, articEnv = 0, articPrev = 0, residue = 0, motionPhase = 0;
        float abovePhase = 0, belowPhase = 0;
        float aboveH[2][4] {}, belowH[2][4] {};
        float aboveSmooth[2] {}, aboveLow[2] {}, belowSmooth[2] {}, belowLow[2] {};
        float peakLeft = 0, peakRight = 0;

        PerSampleFinalizer (const FinalizerSettings& p, double r) : params (p), rate (r)
        {
            const float w = 10.0f * juce::MathConstants<float>::pi / (float) r;
            const float alpha = std::sin (w) / 1.414f, c = std::cos (w), d = 1.0f + alpha;
            dc.b0 = dc.b2 = (1.0f + c) * 0.5f / d; dc.b1 = -(1.0f + c) / d; dc.a1 = -2.0f * c / d; dc.a2 = (1.0f - alpha) / d;

            for (int k = 0; k < 5; ++k)
                xc[k] = (float) juce::jlimit (0.0, 0.9999, std::exp (-juce::MathConstants<double>::twoPi
                                                                     * FinalizerProcessor::crossoverHz[(size_t) k] / std::max (r, 4800.0)));

            const double f[5] = { 80, 200, 3000, 7000, 10000 }, q[5] = { 0.7, 0.9, 0.8, 0.7, 0.7 };
            const double tilt = p.tiltDb.load();
            const double g[5] = { p.subDb.load() - tilt, p.bodyDb.load(), p.presenceDb.load(), p.tameDb.load(), p.airDb.load() + tilt };
            for (int k = 0; k < 5; ++k)
            {
                StereoBiquad s;
                makePeakingCoefficients (s, r, f[k], g[k], q[k]);
                const auto& c = s.coefficients;
                eq[k].b0 = c.b0; eq[k].b1 = c.b1; eq[k].b2 = c.b2; eq[k].a1 = c.a1; eq[k].a2 = c.a2;
            }
        }

        void cut (float f, float cutDb, float q, Biquad& c) const
        {
            const float a = std::pow (10.0f, -cutDb / 40.0f);
            const float w = juce::MathConstants<float>::twoPi * f / (float) rate;
            const float alpha = std::sin (w) / (2.0f * q), d = 1.0f + alpha / a;
            c.b0 = (1.0f + alpha * a) / d; c.b1 = -2.0f * std::cos (w) / d; c.b2 = (1.0f - alpha * a) / d;
            c.a1 = c.b1; c.a2 = (1.0f - alpha / a) / d;
        }

        static float direct (const Biquad& c, float (&s)[4], float x)
        {
            const float y = c.b0 * x + c.b1 * s[0] + c.b2 * s[1] - c.a1 * s[2] - c.a2 * s[3];
            s[1] = s[0]; s[0] = x; s[3] = s[2]; s[2] = y;
            return y;
        }

        void dist (float& L, float& R)
        {
            const float d1 = params.densityAmount, d2 = params.articAmount, d3 = params.residueAmount, d4 = params.motionAmount;
            if (d1 < 0.01f && d2 < 0.01f && d3 < 0.01f && d4 < 0.001f) return;
            float M = (L + R) / 2.0f, S = (L - R) / 2.0f;
            const float M0 = std::abs (M);
            if (d1 > 0.01f)
            {
                densityEnv = std::abs (M) > densityEnv ? std::abs (M) : densityEnv * 0.9999f;
                if (densityEnv > 0.1f && std::abs (M) > 0.05f)
                    M *= std::max (1.0f - std::abs (M) / (densityEnv + 0.001f) * d1 * 0.4f, 0.5f);
            }
            if (d2 > 0.01f)
            {
                const float x = std::abs (M);
                articEnv += (x - articEnv) * (x > articEnv ? 0.05f : 0.001f);
                const float delta = articEnv - articPrev;
                articPrev = articEnv;
                if (delta > 0.0f && articEnv > 0.01f) M *= std::min (1.0f + d2 * delta * 20.0f, 2.0f);
            }
            if (d3 > 0.01f)
            {
                const float t = std::tanh ((3.0f * d3 + 1.0f) * M);
                residue = (t - M) * 0.2f + residue * 0.8f;
                M += residue * d3 * 2.0f;
            }
            if (d4 > 0.001f)
            {
                motionPhase += FinalizerProcessor::motionRateHz / (float) rate;
                if (motionPhase > 1.0f) motionPhase -= 1.0f;
                const float s = std::sin (juce::MathConstants<float>::twoPi * motionPhase) * d4;
                M *= 1.0f + 0.5f * s; S *= 1.0f - 0.3f * s;
            }
            L = M + S; R = M - S;
            if (std::abs (M) > 1.2f * M0 && std::abs (M) > 0.01f) { L *= M0 / std::abs (M); R *= M0 / std::abs (M); }
        }

        void atomize (float& L, float& R)
        {
            const float u = params.aboveAmount, v = params.belowAmount;
            if (u < 0.01f && v < 0.01f) return;
            const float r = (float) rate;
            float y[2] = { L, R };
            if (u > 0.01f)
            {
                abovePhase += 0.5f / r; if (abovePhase > 1.0f) abovePhase -= 1.0f;
                const float f = juce::jlimit (4000.0f, 12000.0f, 6000.0f + 4000.0f * u + 300.0f * u * std::sin (juce::MathConstants<float>::twoPi * abovePhase));
                Biquad c; cut (f, 6.0f * u + 3.0f, 4.0f * u + 4.0f, c);
                for (int ch = 0; ch < 2; ++ch)
                {
                    float x = direct (c, aboveH[ch], y[ch]);
                    aboveSmooth[ch] += (x - aboveSmooth[ch]) * 0.15f;
                    x = (x - aboveSmooth[ch]) * (1.0f + 0.25f * u) + aboveSmooth[ch];
                    aboveLow[ch] += (x - aboveLow[ch]) * 0.02f;
                    y[ch] = (x - aboveLow[ch]) * 0.15f * u + (1.0f - 0.15f * u) * x;
                }
            }
            if (v > 0.01f)
            {
                belowPhase += 0.3f / r; if (belowPhase > 1.0f) belowPhase -= 1.0f;
                const float f = juce::jlimit (4000.0f, 10000.0f, 8000.0f - 3000.0f * v + 200.0f * v * std::sin (juce::MathConstants<float>::twoPi * belowPhase));
                Biquad c; cut (f, 4.0f * v + 2.0f, 3.0f * v + 3.0f, c);
                for (int ch = 0; ch < 2; ++ch)
                {
                    float x = direct (c, belowH[ch], y[ch]);
                    belowSmooth[ch] += (x - belowSmooth[ch]) * 0.2f;
                    x = (x - belowSmooth[ch]) * (1.0f - 0.2f * v) + belowSmooth[ch];
                    belowLow[ch] += (x - belowLow[ch]) * 0.01f;
                    y[ch] = (1.0f + 0.15f * v) * belowLow[ch] + (x - belowLow[ch]);
                }
            }
            L = y[0]; R = y[1];
        }

        void process (juce::AudioBuffer<float>& buffer)
        {
            auto* outL = buffer.getWritePointer (0);
            auto* outR = buffer.getWritePointer (1);
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                const float gIn = FinalizerProcessor::toGain (params.inputGainDb), gOut = FinalizerProcessor::toGain (params.outputGainDb);
                const float gCeil = FinalizerProcessor::toGain (params.ceilingDb);
                float L = outL[i] * gIn, R = outR[i] * gIn;
                for (auto& b : eq) { L = b.run (0, L); R = b.run (1, R); }
                if (params.dcFilterSource->load()) { L = dc.run (0, L); R = dc.run (1, R); }

                float bandL[6], bandR[6], xl = L, xr = R;
                for (int k = 0; k < 5; ++k)
                {
                    const float lpL = (1.0f - xc[k]) * xl + xc[k] * xsL[k], lpR = (1.0f - xc[k]) * xr + xc[k] * xsR[k];
                    xsL[k] = lpL; xsR[k] = lpR; bandL[k] = lpL; bandR[k] = lpR; xl -= lpL; xr -= lpR;
                }
                bandL[5] = xl; bandR[5] = xr;

                float sumL = 0, sumR = 0;
                for (size_t k = 0; k < 6; ++k)
                {
                    float l = bandL[k], r = bandR[k];
                    const float drive = params.bandDrive[k];
                    if (drive > 0.0001f)
                    {
                        const float g = 4.0f * drive + 1.0f, m = juce::jlimit (0.0f, 1.0f, 0.5f * drive);
                        const int mode = params.bandMode[k];
                        if (mode == 1) { const float mid = (l + r) / 2.0f, d = (std::tanh (g * mid) - mid) * m; l += d; r += d; }
                        else if (mode == 3)
                        {
                            float mid = (l + r) / 2.0f, side = (l - r) / 2.0f;
                            mid = mid + (std::tanh (g * mid) - mid) * m; side = side + (std::tanh (g * side) - side) * m;
                            l = mid + side; r = mid - side;
                        }
                        else { l = l + (std::tanh (g * l) - l) * m; r = r + (std::tanh (g * r) - r) * m; }
                    }
                    const float mid = (l + r) / 2.0f, side = (l - r) / 2.0f * params.bandWidth[k];
                    sumL += mid + side; sumR += mid - side;
                }

                const float M = (sumL + sumR) / 2.0f, S = (sumL - sumR) / 2.0f * params.width;
                const float a = params.asymmetryDeg / 180.0f;
                L = M + (1.0f - a) * S; R = M - (1.0f + a) * S;
                const float t = params.rotateDeg * juce::MathConstants<float>::pi / 180.0f;
                float Lr = std::cos (t) * L - std::sin (t) * R, Rr = std::cos (t) * R + std::sin (t) * L;

                if (std::abs (Lr) > gCeil) Lr = std::copysign (gCeil, Lr);
                if (std::abs (Rr) > gCeil) Rr = std::copysign (gCeil, Rr);
                dist (Lr, Rr);
                atomize (Lr, Rr);
                Lr *= gOut; Rr *= gOut;
                outL[i] = Lr * params.leftMix; outR[i] = Rr * params.rightMix;
                if (std::abs (Lr) > peakLeft) peakLeft = std::abs (Lr);
                if (std::abs (Rr) > peakRight) peakRight = std::abs (Rr);
            }
        }
    };
}

TEST (FinalizerReference, BlockHoistingGivesTheSameOutputAsPerSampleWork)
{
    constexpr double rate = 48000.0;
    FinalizerSettings fin;
    FinalizerProcessor processor (fin);
    processor.prepare (rate, 512);
    fin.subDb = 5.0f; fin.bodyDb = -3.0f; fin.presenceDb = 2.5f; fin.airDb = 6.0f; fin.tameDb = -4.0f; fin.tiltDb = 1.5f;
    processor.updateEqCoefficients();
    for (size_t k = 0; k < 6; ++k)
    {
        fin.bandDrive[k] = 0.3f * (float) k;
        fin.bandMode[k] = (int) k % 3 + 1;
        fin.bandWidth[k] = 0.4f + 0.3f * (float) k;
    }
    fin.width = 1.6f; fin.asymmetryDeg = -35.0f; fin.rotateDeg = 17.0f;
    fin.densityAmount = 0.8f; fin.articAmount = 0.6f; fin.residueAmount = 0.7f; fin.motionAmount = 0.15f;
    fin.aboveAmount = 0.9f; fin.belowAmount = 0.6f;
    fin.inputGainDb = 3.0f; fin.outputGainDb = -2.0f; fin.ceilingDb = -0.5f;
    fin.leftMix = 0.8f;

    PerSampleFinalizer reference (fin, rate);

    auto signal = [] (int i) { return std::pair (0.7f * (float) std::sin (i * 0.021) + 0.3f * (float) std::sin (i * 0.4),
                                                 0.6f * (float) std::sin (i * 0.013 + 0.5)); };
    int start = 0;
    for (int blockSize : { 512, 64, 1, 333, 512 })
    {
        juce::AudioBuffer<float> a (2, blockSize);
        for (int i = 0; i < blockSize; ++i)
        {
            const auto [l, r] = signal (start + i);
            a.setSample (0, i, l);
            a.setSample (1, i, r);
        }
        juce::AudioBuffer<float> b (a);
        processor.process (a, 0, blockSize);
        reference.process (b);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                ASSERT_EQ (a.getSample (ch, i), b.getSample (ch, i)) << "block at " << start << ", sample " << i;
        start += blockSize;
    }
    EXPECT_EQ (processor.peakLeft.load(), reference.peakLeft);
    EXPECT_EQ (processor.peakRight.load(), reference.peakRight);
}
