#pragma once

// The Smart EQ renderer written the slow, obvious way: every value recomputed at every sample
// (attack and release coefficients, the band gain powers, the drive amount and pre-gain, the
// solo scan, the BPM-sync rate store). The optimised renderer must produce the same bits.

#include "effects/smarteq/SmartEQDsp.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace smarteq_literal
{
    struct State
    {
        float z1Left = 0.0f, z2Left = 0.0f, z1Right = 0.0f, z2Right = 0.0f;
        float envelopeDb = 0.0f, motionPhase = 0.0f;
    };

    /** `bands` is modified the way the audio thread modifies the records (the 2 Hz rate store). */
    inline void process (std::array<smarteq::BandParams, smarteq::numBands>& bands,
                         std::array<State, smarteq::numBands>& states, double sampleRate,
                         float globalMix, float outGain, bool mono,
                         float* left, float* right, int numSamples)
    {
        const float invSr = 1.0f / (float) sampleRate;
        const float sr = (float) sampleRate;

        for (int i = 0; i < numSamples; ++i)
        {
            const float dryL = left[i], dryR = right[i];
            float L = dryL, R = dryR;

            for (int b = 0; b < smarteq::numBands; ++b)
            {
                auto& p = bands[(size_t) b];
                auto& st = states[(size_t) b];
                if (! p.enabled)
                    continue;

                const float inL = L, inR = R;

                float m = 0.0f;
                if (p.motionOn && p.motionDepthPct > 0.0f)
                {
                    const float rate = p.syncBpm ? 2.0f : p.motionRateHz;
                    st.motionPhase += rate * invSr;
                    if (st.motionPhase >= 1.0f)
                        st.motionPhase -= 1.0f;
                    m = std::sin (6.283185f * st.motionPhase) * (p.motionDepthPct / 100.0f) * 6.0f;
                }

                float d = 0.0f;
                if (p.dynamicOn)
                {
                    const float level = 20.0f * std::log10 (std::max (std::abs (inL), std::abs (inR)) + 1e-10f);
                    const float ca = std::exp (-1.0f / (p.attackMs * 0.001f * sr));
                    const float cr = std::exp (-1.0f / (p.releaseMs * 0.001f * sr));
                    if (level > st.envelopeDb)
                        st.envelopeDb = st.envelopeDb * ca + (1.0f - ca) * level;
                    else
                        st.envelopeDb = st.envelopeDb * cr + (1.0f - cr) * level;
                    if (st.envelopeDb > p.thresholdDb)
                        d = -(st.envelopeDb - p.thresholdDb) * (1.0f - 1.0f / p.ratio);
                }

                float yL = p.b0 * inL + st.z1Left;
                st.z1Left = p.b1 * inL - p.a1 * yL + st.z2Left;
                st.z2Left = p.b2 * inL - p.a2 * yL;
                float yR = p.b0 * inR + st.z1Right;
                st.z1Right = p.b1 * inR - p.a1 * yR + st.z2Right;
                st.z2Right = p.b2 * inR - p.a2 * yR;

                yL = yL * std::pow (10.0f, (m + p.gainLeftDb + d) / 20.0f);
                yR = yR * std::pow (10.0f, (m + p.gainRightDb + d) / 20.0f);

                if (p.driveOn)
                {
                    float amount = 0.0f;
                    if (p.driveAmountPct > 0.0f)
                        amount = p.driveAmountPct;
                    else if (p.saturationPct > 0.0f)
                        amount = p.saturationPct;

                    if (amount > 0.0f)
                    {
                        const float pre = std::pow (10.0f, p.driveThreshDb / 20.0f) * (1.0f + 3.0f * amount / 100.0f);
                        float xL = pre * yL, xR = pre * yR;
                        if (p.softClip)      { xL = std::tanh (1.5f * xL); xR = std::tanh (1.5f * xR); }
                        else if (p.tubeMode) { xL = std::atan (2.0f * xL) * 0.636619f; xR = std::atan (2.0f * xR) * 0.636619f; }
                        else                 { xL = std::tanh (xL); xR = std::tanh (xR); }
                        yL = xL;
                        yR = xR;

                        if (std::abs (p.harmonicsPct) > 0.01f)
                        {
                            const float h = p.harmonicsPct / 100.0f;
                            yL = std::sin (3.14159f * yL) * h + (1.0f - h) * yL;
                            yR = std::sin (3.14159f * yR) * h + (1.0f - h) * yR;
                        }
                    }
                }

                if (p.midMode)
                {
                    yL = yR = (yL + yR) / 2.0f;
                }
                else if (p.sideMode)
                {
                    const float s = (yL - yR) / 2.0f;
                    yL = s;
                    yR = -s;
                }

                if (p.syncBpm && p.motionOn)
                    p.motionRateHz = 2.0f;

                float factor = 1.0f;
                bool boost = false;
                if (p.vocalMode)      { factor = 1.0f + p.airPct / 100.0f * 0.3f; boost = true; }
                else if (p.drumMode)  { factor = 1.0f + p.densityPct / 100.0f * 0.4f; boost = true; }
                else if (p.bassMode)  { factor = 1.0f + p.warmthPct / 100.0f * 0.2f; boost = true; }
                if (boost)
                {
                    yL *= factor;
                    yR *= factor;
                }

                if (std::abs (p.widthPct - 100.0f) > 0.1f)
                {
                    const float mid = (yL + yR) / 2.0f;
                    const float side = (yL - yR) / 2.0f * p.widthPct / 100.0f;
                    yL = mid + side;
                    yR = mid - side;
                }

                bool otherSolo = false;
                for (int o = 0; o < smarteq::numBands; ++o)
                    if (o != b && bands[(size_t) o].solo)
                        otherSolo = true;
                if (! p.solo && otherSolo)
                    yL = yR = 0.0f;

                L = inL + (yL - inL) * p.mixPct / 100.0f;
                R = inR + (yR - inR) * p.mixPct / 100.0f;
            }

            L = ((L - dryL) * globalMix + dryL) * outGain;
            R = ((R - dryR) * globalMix + dryR) * outGain;
            if (mono)
                L = R = (L + R) / 2.0f;

            left[i] = std::tanh (L);
            right[i] = std::tanh (R);
        }
    }
}
