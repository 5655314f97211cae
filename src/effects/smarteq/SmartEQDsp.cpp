#include "effects/smarteq/SmartEQDsp.h"

#include "dsp/Biquad.h"
#include "dsp/Decibels.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <cmath>

namespace smarteq
{
    void computeCoefficients (BandParams& band, double sampleRate) noexcept
    {
        // The band types are numbered in the shared design's shape order. A = 10^(mean / 40):
        // halving first is exact, so this is the same float as dividing the mean by 40.
        const float meanDb = (band.gainLeftDb + band.gainRightDb) * 0.5f;
        const float A = dsp::decibelsToGain<dsp::DecibelForm::unfloored> (meanDb * 0.5f);
        const auto c = dsp::rbj ((dsp::BiquadShape) band.filterType, band.frequencyHz, band.q, A, sampleRate);
        band.b0 = c.b0;
        band.b1 = c.b1;
        band.b2 = c.b2;
        band.a1 = c.a1;
        band.a2 = c.a2;
    }

    namespace
    {
        enum class DriveShape { none, soft, tube, plain };

        // Everything about a band that cannot change inside a block, worked out once. Each
        // value uses the same expression, in the same precision, as the per-sample form would,
        // so the results are bit-identical.
        // No floor: the macro EQ's gains are unlimited, and a NaN must stay a NaN.
        inline float gainOf (float dB) noexcept { return dsp::decibelsToGain<dsp::DecibelForm::unfloored> (dB); }

        struct BlockPlan
        {
            dsp::BiquadCoefficients coefficients;

            bool motion = false;
            float phaseIncrement = 0.0f;
            float depthScale = 0.0f;

            bool dynamics = false;
            float attackCoeff = 0.0f, releaseCoeff = 0.0f, slopeFactor = 0.0f;

            bool gainVaries = false;
            bool equalGains = false;   // then both channels' gain is one and the same power
            float fixedGainLeft = 1.0f, fixedGainRight = 1.0f;

            DriveShape drive = DriveShape::none;
            float preGain = 1.0f;
            bool harmonics = false;
            float harmonicsMix = 0.0f;

            bool boost = false;
            float boostFactor = 1.0f;

            bool width = false;
            bool silencedBySolo = false;
        };

        BlockPlan planBand (const BandParams& p, BandState& st, float sr, float invSr, bool anySolo)
        {
            BlockPlan plan;
            plan.coefficients = { p.b0, p.b1, p.b2, p.a1, p.a2 };

            // The renderer keeps its own rate so that the 2 Hz stored under BPM sync outlives
            // the sync until the user sets a rate again.
            if (! st.rateSeen || st.seenRateWrites != p.motionRateWrites)
            {
                st.motionRateHz = p.motionRateHz;
                st.seenRateWrites = p.motionRateWrites;
                st.rateSeen = true;
            }

            plan.motion = p.motionOn && p.motionDepthPct > 0.0f;
            if (plan.motion)
            {
                const float rate = p.syncBpm ? 2.0f : st.motionRateHz;
                plan.phaseIncrement = rate * invSr;
                plan.depthScale = p.motionDepthPct / 100.0f;
            }

            plan.dynamics = p.dynamicOn;
            if (plan.dynamics)
            {
                plan.attackCoeff = std::exp (-1.0f / (p.attackMs * 0.001f * sr));
                plan.releaseCoeff = std::exp (-1.0f / (p.releaseMs * 0.001f * sr));
                plan.slopeFactor = 1.0f - 1.0f / p.ratio;
            }

            plan.gainVaries = plan.motion || plan.dynamics;
            plan.equalGains = p.gainLeftDb == p.gainRightDb;
            if (! plan.gainVaries)
            {
                plan.fixedGainLeft = gainOf (p.gainLeftDb);
                plan.fixedGainRight = gainOf (p.gainRightDb);
            }

            if (p.driveOn)
            {
                const float amount = p.driveAmountPct > 0.0f ? p.driveAmountPct
                                   : (p.saturationPct > 0.0f ? p.saturationPct : 0.0f);
                if (amount > 0.0f)
                {
                    plan.preGain = gainOf (p.driveThreshDb) * (1.0f + 3.0f * amount / 100.0f);
                    plan.drive = p.softClip ? DriveShape::soft : (p.tubeMode ? DriveShape::tube : DriveShape::plain);
                    plan.harmonics = std::abs (p.harmonicsPct) > 0.01f;
                    plan.harmonicsMix = p.harmonicsPct / 100.0f;
                }
            }

            if (p.vocalMode)       { plan.boost = true; plan.boostFactor = 1.0f + p.airPct / 100.0f * 0.3f; }
            else if (p.drumMode)   { plan.boost = true; plan.boostFactor = 1.0f + p.densityPct / 100.0f * 0.4f; }
            else if (p.bassMode)   { plan.boost = true; plan.boostFactor = 1.0f + p.warmthPct / 100.0f * 0.2f; }

            plan.width = std::abs (p.widthPct - 100.0f) > 0.1f;
            plan.silencedBySolo = ! p.solo && anySolo;
            return plan;
        }

        inline float shape (DriveShape mode, float x) noexcept
        {
            switch (mode)
            {
                case DriveShape::soft: return std::tanh (1.5f * x);
                case DriveShape::tube: return std::atan (2.0f * x) * 0.636619f;
                case DriveShape::plain:
                case DriveShape::none:
                default:               return std::tanh (x);
            }
        }
    }

    void Renderer::process (const Snapshot& snapshot, const GlobalParams& globals,
                            float* left, float* right, int numSamples) noexcept
    {
        juce::ScopedNoDenormals noDenormals;

        if (numSamples < 1 || left == nullptr || right == nullptr)
            return;

        const float sr = (float) snapshot.sampleRate;
        const float invSr = 1.0f / sr;

        int soloCount = 0;
        for (const auto& b : snapshot.bands)
            soloCount += b.solo ? 1 : 0;

        std::array<BlockPlan, numBands> plans;
        for (int b = 0; b < numBands; ++b)
        {
            const auto& p = snapshot.bands[(size_t) b];
            if (p.enabled)
                plans[(size_t) b] = planBand (p, states[(size_t) b], sr, invSr,
                                              soloCount - (p.solo ? 1 : 0) > 0);
        }

        for (int i = 0; i < numSamples; ++i)
        {
            const float dryL = std::isfinite (left[i]) ? left[i] : 0.0f;
            const float dryR = std::isfinite (right[i]) ? right[i] : 0.0f;
            float L = dryL, R = dryR;

            for (int b = 0; b < numBands; ++b)
            {
                const auto& p = snapshot.bands[(size_t) b];
                if (! p.enabled)
                    continue;

                const auto& plan = plans[(size_t) b];
                auto& st = states[(size_t) b];
                const float inL = L, inR = R;

                float m = 0.0f;
                if (plan.motion)
                {
                    st.motionPhase += plan.phaseIncrement;
                    if (st.motionPhase >= 1.0f)
                        st.motionPhase -= 1.0f;
                    m = std::sin (6.283185f * st.motionPhase) * plan.depthScale * 6.0f;
                }

                float d = 0.0f;
                if (plan.dynamics)
                {
                    const float level = 20.0f * std::log10 (std::max (std::abs (inL), std::abs (inR)) + 1e-10f);
                    const float coeff = level > st.envelopeDb ? plan.attackCoeff : plan.releaseCoeff;
                    st.envelopeDb = st.envelopeDb * coeff + (1.0f - coeff) * level;
                    if (st.envelopeDb > p.thresholdDb)
                        d = -(st.envelopeDb - p.thresholdDb) * plan.slopeFactor;
                }

                float yL = st.filterLeft.process (plan.coefficients, inL);
                float yR = st.filterRight.process (plan.coefficients, inR);

                if (plan.gainVaries)
                {
                    const float gainL = gainOf (m + p.gainLeftDb + d);
                    yL *= gainL;
                    yR *= plan.equalGains ? gainL : gainOf (m + p.gainRightDb + d);
                }
                else
                {
                    yL *= plan.fixedGainLeft;
                    yR *= plan.fixedGainRight;
                }

                if (plan.drive != DriveShape::none)
                {
                    yL = shape (plan.drive, plan.preGain * yL);
                    yR = shape (plan.drive, plan.preGain * yR);

                    if (plan.harmonics)
                    {
                        const float h = plan.harmonicsMix;
                        yL = std::sin (3.14159f * yL) * h + (1.0f - h) * yL;
                        yR = std::sin (3.14159f * yR) * h + (1.0f - h) * yR;
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

                if (plan.boost)
                {
                    yL *= plan.boostFactor;
                    yR *= plan.boostFactor;
                }

                if (plan.width)
                {
                    const float mid = (yL + yR) / 2.0f;
                    const float side = (yL - yR) / 2.0f * p.widthPct / 100.0f;
                    yL = mid + side;
                    yR = mid - side;
                }

                if (plan.silencedBySolo)
                    yL = yR = 0.0f;

                L = inL + (yL - inL) * p.mixPct / 100.0f;
                R = inR + (yR - inR) * p.mixPct / 100.0f;

                // A band that blew up (huge macro gains, a runaway state) must not keep its
                // poison: it passes its input on for this sample and starts again from rest.
                if (! (std::isfinite (L) && std::isfinite (R)))
                {
                    st.filterLeft.clear();
                    st.filterRight.clear();
                    st.envelopeDb = 0.0f;
                    L = inL;
                    R = inR;
                }
            }

            L = ((L - dryL) * globals.globalMix + dryL) * globals.outGain;
            R = ((R - dryR) * globals.globalMix + dryR) * globals.outGain;

            if (globals.mono)
                L = R = (L + R) / 2.0f;

            // Only an overflow at the output gain can get here (inf - inf); tanh keeps the rest bounded.
            if (std::isnan (L)) L = 0.0f;
            if (std::isnan (R)) R = 0.0f;

            left[i] = std::tanh (L);
            right[i] = globals.mono ? left[i] : std::tanh (R);
        }

        for (int b = 0; b < numBands; ++b)
        {
            const auto& p = snapshot.bands[(size_t) b];
            if (p.enabled && p.syncBpm && p.motionOn)
                states[(size_t) b].motionRateHz = 2.0f;
        }
    }
}
