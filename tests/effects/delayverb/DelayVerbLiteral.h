#pragma once

// The DelayVerb written the slow, literal way, to hold the processor to: every line index by
// remainder (plus the length, remainder again, then clamped), the pan's cosine and sine taken
// afresh at every sample, nothing hoisted out of the sample loop. Finite inputs only; the
// settings are plain values given per block.

#include <algorithm>
#include <cmath>
#include <vector>

namespace delayverb_test
{
    struct LiteralSettings
    {
        float time = 250.5f, feedback = 30.0f, stereo = 10.0f, modDepth = 2.0f, modRate = 1.0f;
        float lowpass = 12000.0f, highpass = 80.0f;
        float preDelay = 20.0f, decay = 2.5f, size = 50.0f, damp = 40.0f, late = 70.0f, width = 100.0f;
        float delayMixLeft = 0.0f, delayMixRight = 0.0f, reverbMixLeft = 0.0f, reverbMixRight = 0.0f;   // percent
        float delayPan = 0.0f, pingPong = 0.0f;
    };

    class LiteralDelayVerb
    {
    public:
        explicit LiteralDelayVerb (double rate) : sampleRate (rate)
        {
            for (int c = 0; c < 2; ++c)
            {
                delay[c].assign ((size_t) (rate * 5), 0.0f);
                pre[c].assign ((size_t) (rate * 0.25), 0.0f);
                for (int k = 1; k <= 4; ++k) comb[c][k - 1].assign ((size_t) (k * (rate * 0.05)), 0.0f);
                for (int j = 1; j <= 2; ++j) allpass[c][j - 1].assign ((size_t) (j * (rate * 0.02)), 0.0f);
            }
        }

        void process (float* left, float* right, int n, const LiteralSettings& p)
        {
            const int N = (int) delay[0].size(), P = (int) pre[0].size();
            const float time = p.time;
            const float fb = std::clamp (p.feedback, 0.0f, 95.0f) / 100.0f * 0.75f;
            const float dMixL = p.delayMixLeft / 100.0f, dMixR = p.delayMixRight / 100.0f;
            const float rMixL = p.reverbMixLeft / 100.0f, rMixR = p.reverbMixRight / 100.0f;
            const int dL = std::max (1, std::min (N - 1, (int) (time * sampleRate / 1000)));
            const int dR = std::max (1, std::min (N - 1, (int) ((time + p.stereo) * sampleRate / 1000)));
            const int preD = std::min (P - 1, std::max (1, (int) (p.preDelay * sampleRate / 1000)));
            const float lpCoef = 1.0f - std::exp (-6.2831855f * p.lowpass / (float) sampleRate);
            const float hpCoef = std::exp (-6.2831855f * p.highpass / (float) sampleRate);
            const float combFb = std::min (0.92f, (std::clamp (p.decay, 0.1f, 20.0f) / 20.0f * 0.25f + 0.7f)
                                                      * std::clamp (p.size, 10.0f, 100.0f) / 100.0f);
            const float damp = p.damp / 100.0f * 0.4f;
            const float late = p.late / 100.0f, width = p.width / 100.0f;

            for (int i = 0; i < n; ++i)
            {
                const float inL = left[i], inR = right[i];

                const float s = std::sin (modPhase * 6.2831855f);
                modPhase += p.modRate / sampleRate;
                if (modPhase > 1.0f)
                    modPhase -= 1.0f;
                const int mod = (int) ((double) (s * p.modDepth) * sampleRate / 1000);

                const float eL = delay[0][(size_t) wrap (write[0] - mod - dL, N)];
                const float eR = delay[1][(size_t) wrap (write[1] - mod - dR, N)];
                const float e[2] = { eL, eR };
                float hp[2];
                for (int c = 0; c < 2; ++c)
                {
                    lp[c] += (e[c] - lp[c]) * lpCoef;
                    hp[c] = hpCoef * (hpOut[c] + lp[c] - hpIn[c]);
                    hpOut[c] = hp[c];
                    hpIn[c] = lp[c];
                }

                const float theta = (p.delayPan + 1.0f) * 0.5f * 1.5707964f;
                const float cs = std::cos (theta), sn = std::sin (theta), pp = p.pingPong;
                const float wetL = cs * eL + (1.0f - cs) * eR * pp;
                const float wetR = sn * eR + (1.0f - sn) * eL * pp;

                delay[0][(size_t) write[0]] = inL + fb * ((1.0f - pp) * hp[0] + pp * hp[1]);
                delay[1][(size_t) write[1]] = inR + fb * ((1.0f - pp) * hp[1] + pp * hp[0]);
                write[0] = (write[0] + 1) % N;
                write[1] = (write[1] + 1) % N;

                const int read = wrap (preWrite - preD, P);
                const float pL = pre[0][(size_t) read], pR = pre[1][(size_t) read];
                pre[0][(size_t) preWrite] = inL;
                pre[1][(size_t) preWrite] = inR;
                preWrite = (preWrite + 1) % P;

                float sumL = 0.0f, sumR = 0.0f;
                for (int k = 0; k < 4; ++k)
                {
                    const int C = (int) comb[0][k].size();
                    const int r = wrap (combIndex[k] - C + 1, C);
                    const float cL = comb[0][k][(size_t) r], cR = comb[1][k][(size_t) r];
                    dampL[k] += (cL - dampL[k]) * (1.0f - damp);
                    dampR[k] += (cR - dampR[k]) * (1.0f - damp);
                    comb[0][k][(size_t) combIndex[k]] = dampL[k] * combFb + pL;
                    comb[1][k][(size_t) combIndex[k]] = dampR[k] * combFb + pR;
                    combIndex[k] = (combIndex[k] + 1) % C;
                    sumL += cL;
                    sumR += cR;
                }

                float sL = sumL * 0.25f, sR = sumR * 0.25f;
                for (int j = 0; j < 2; ++j)
                {
                    const int A = (int) allpass[0][j].size();
                    const int r = (allpassIndex[j] + 1) % A;
                    const float aL = allpass[0][j][(size_t) r], aR = allpass[1][j][(size_t) r];
                    const float vL = sL - 0.5f * aL, vR = sR - 0.5f * aR;
                    allpass[0][j][(size_t) allpassIndex[j]] = vL;
                    allpass[1][j][(size_t) allpassIndex[j]] = vR;
                    allpassIndex[j] = (allpassIndex[j] + 1) % A;
                    sL = aL + 0.5f * vL;
                    sR = aR + 0.5f * vR;
                }

                const float mid = (sL + sR) * 0.5f, side = (sL - sR) * 0.5f * width;
                float outL = (1.0f - 0.5f * dMixL - 0.5f * rMixL) * inL + wetL * dMixL * 0.7f + (mid + side) * late * rMixL * 0.8f;
                float outR = (1.0f - 0.5f * dMixR - 0.5f * rMixR) * inR + wetR * dMixR * 0.7f + (mid - side) * late * rMixR * 0.8f;
                if (! std::isfinite (outL)) outL = inL;
                if (! std::isfinite (outR)) outR = inR;
                left[i] = std::tanh (outL);
                right[i] = std::tanh (outR);
            }
        }

    private:
        static int wrap (int index, int length)
        {
            return std::clamp (((index % length) + length) % length, 0, length - 1);
        }

        double sampleRate;
        std::vector<float> delay[2], pre[2], comb[2][4], allpass[2][2];
        int write[2] {}, preWrite = 0, combIndex[4] {}, allpassIndex[2] {};
        float lp[2] {}, hpOut[2] {}, hpIn[2] {}, dampL[4] {}, dampR[4] {};
        float modPhase = 0.0f;
    };
}
