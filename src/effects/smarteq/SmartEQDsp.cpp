#include "effects/smarteq/SmartEQDsp.h"

#include "dsp/Biquad.h"
#include "dsp/Decibels.h"
#include "dsp/VectorMath.h"
#include "dsp/VectorTanh.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <cmath>
#include <cstring>

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

        /** One band, one sample: L and R in, the band's output out. */
        inline void exactBandSample (const BandParams& p, const BlockPlan& plan, BandState& st,
                                     float& L, float& R) noexcept
        {
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

        //==============================================================================
        // Band by band: one band over a stretch of up to `stretch` samples.

        constexpr int stretch = 64;

        // The C library's functions over a stretch, in loops without the per-sample branching
        // around them. tanh, sin and the powers of ten run several lanes at a time through the
        // library's own algorithms (dsp::tanhEach, sinEach, exp10Each: the same bits).
        inline void log10Each (const float* in, float* out, int n) noexcept { for (int i = 0; i < n; ++i) out[i] = std::log10 (in[i]); }

        /** gainOf over a stretch: the same division by 20, then the same power. */
        inline void gainEach (const float* dB, float* out, int n) noexcept
        {
            for (int i = 0; i < n; ++i)
                out[i] = dB[i] / 20.0f;
            dsp::exp10Each (out, out, n);
        }

        inline bool allFinite (const float* a, const float* b, int n) noexcept
        {
            std::uint32_t nonFinite = 0;
            for (int i = 0; i < n; ++i)
            {
                std::uint32_t x, y;
                std::memcpy (&x, a + i, sizeof (x));
                std::memcpy (&y, b + i, sizeof (y));
                nonFinite |= ((x & 0x7f800000u) == 0x7f800000u) | ((y & 0x7f800000u) == 0x7f800000u);
            }
            return nonFinite == 0;
        }

        /** m: the motion offset in dB per sample (the oscillator advances). */
        void motionStretch (const BlockPlan& plan, BandState& st, float* m, int n) noexcept
        {
            float phase = st.motionPhase;
            for (int i = 0; i < n; ++i)
            {
                phase += plan.phaseIncrement;
                if (phase >= 1.0f)
                    phase -= 1.0f;
                m[i] = 6.283185f * phase;
            }
            st.motionPhase = phase;

            dsp::sinEach (m, m, n);
            for (int i = 0; i < n; ++i)
                m[i] = m[i] * plan.depthScale * 6.0f;
        }

        /** d: the detector's gain change in dB per sample (the envelope advances). */
        void dynamicsStretch (const BandParams& p, const BlockPlan& plan, BandState& st,
                              const float* inL, const float* inR, float* d, int n) noexcept
        {
            for (int i = 0; i < n; ++i)
                d[i] = std::max (std::abs (inL[i]), std::abs (inR[i])) + 1e-10f;
            log10Each (d, d, n);

            float envelope = st.envelopeDb;
            for (int i = 0; i < n; ++i)
            {
                const float level = 20.0f * d[i];
                const float coeff = level > envelope ? plan.attackCoeff : plan.releaseCoeff;
                envelope = envelope * coeff + (1.0f - coeff) * level;
                d[i] = envelope > p.thresholdDb ? -(envelope - p.thresholdDb) * plan.slopeFactor : 0.0f;
            }
            st.envelopeDb = envelope;
        }

        /** Both channels in one loop: two independent chains the processor overlaps. */
        void filterStretch (const BlockPlan& plan, BandState& st, const float* inL, const float* inR,
                            float* outL, float* outR, int n) noexcept
        {
            auto left = st.filterLeft;   // kept in registers over the stretch
            auto right = st.filterRight;
            for (int i = 0; i < n; ++i)
            {
                outL[i] = left.process (plan.coefficients, inL[i]);
                outR[i] = right.process (plan.coefficients, inR[i]);
            }
            st.filterLeft = left;
            st.filterRight = right;
        }

        void gainStretch (const BandParams& p, const BlockPlan& plan, const float* m, const float* d,
                          float* yL, float* yR, int n) noexcept
        {
            if (! plan.gainVaries)
            {
                for (int i = 0; i < n; ++i)
                {
                    yL[i] *= plan.fixedGainLeft;
                    yR[i] *= plan.fixedGainRight;
                }
                return;
            }

            alignas (16) float gain[stretch];
            for (int i = 0; i < n; ++i)
                gain[i] = m[i] + p.gainLeftDb + d[i];
            gainEach (gain, gain, n);
            for (int i = 0; i < n; ++i)
                yL[i] *= gain[i];

            if (! plan.equalGains)
            {
                for (int i = 0; i < n; ++i)
                    gain[i] = m[i] + p.gainRightDb + d[i];
                gainEach (gain, gain, n);
            }
            for (int i = 0; i < n; ++i)
                yR[i] *= gain[i];
        }

        void driveStretch (const BlockPlan& plan, float* y, int n) noexcept
        {
            switch (plan.drive)
            {
                case DriveShape::soft:
                    for (int i = 0; i < n; ++i)
                        y[i] = 1.5f * (plan.preGain * y[i]);
                    dsp::tanhEach (y, y, n);
                    break;
                case DriveShape::plain:
                    for (int i = 0; i < n; ++i)
                        y[i] = plan.preGain * y[i];
                    dsp::tanhEach (y, y, n);
                    break;
                case DriveShape::tube:
                    for (int i = 0; i < n; ++i)
                        y[i] = shape (DriveShape::tube, plan.preGain * y[i]);
                    break;
                case DriveShape::none:
                default:
                    return;
            }

            if (plan.harmonics)
            {
                alignas (16) float s[stretch] = {};   // zeroed only to keep the compiler's uninitialised-read check quiet
                for (int i = 0; i < n; ++i)
                    s[i] = 3.14159f * y[i];
                dsp::sinEach (s, s, n);
                const float h = plan.harmonicsMix;
                for (int i = 0; i < n; ++i)
                    y[i] = s[i] * h + (1.0f - h) * y[i];
            }
        }

        void stereoStretch (const BandParams& p, const BlockPlan& plan, float* yL, float* yR, int n) noexcept
        {
            if (p.midMode)
            {
                for (int i = 0; i < n; ++i)
                    yL[i] = yR[i] = (yL[i] + yR[i]) / 2.0f;
            }
            else if (p.sideMode)
            {
                for (int i = 0; i < n; ++i)
                {
                    const float s = (yL[i] - yR[i]) / 2.0f;
                    yL[i] = s;
                    yR[i] = -s;
                }
            }

            if (plan.boost)
                for (int i = 0; i < n; ++i)
                {
                    yL[i] *= plan.boostFactor;
                    yR[i] *= plan.boostFactor;
                }

            if (plan.width)
                for (int i = 0; i < n; ++i)
                {
                    const float mid = (yL[i] + yR[i]) / 2.0f;
                    const float side = (yL[i] - yR[i]) / 2.0f * p.widthPct / 100.0f;
                    yL[i] = mid + side;
                    yR[i] = mid - side;
                }

            if (plan.silencedBySolo)
                for (int i = 0; i < n; ++i)
                    yL[i] = yR[i] = 0.0f;
        }

        /** One band over L and R in place, n <= stretch. */
        void bandStretch (const BandParams& p, const BlockPlan& plan, BandState& st,
                              float* L, float* R, int n) noexcept
        {
            const BandState saved = st;
            alignas (16) float inL[stretch], inR[stretch], m[stretch], d[stretch];
            std::copy_n (L, n, inL);
            std::copy_n (R, n, inR);

            if (plan.motion) motionStretch (plan, st, m, n);
            else             std::fill_n (m, n, 0.0f);

            if (plan.dynamics) dynamicsStretch (p, plan, st, inL, inR, d, n);
            else               std::fill_n (d, n, 0.0f);

            filterStretch (plan, st, inL, inR, L, R, n);
            gainStretch (p, plan, m, d, L, R, n);
            driveStretch (plan, L, n);
            driveStretch (plan, R, n);
            stereoStretch (p, plan, L, R, n);

            for (int i = 0; i < n; ++i)
            {
                L[i] = inL[i] + (L[i] - inL[i]) * p.mixPct / 100.0f;
                R[i] = inR[i] + (R[i] - inR[i]) * p.mixPct / 100.0f;
            }

            if (allFinite (L, R, n))
                return;

            // Rare (an overflow): run the stretch again sample by sample, with the exact
            // per-sample reset at the sample where it happens.
            st = saved;
            for (int i = 0; i < n; ++i)
            {
                L[i] = inL[i];
                R[i] = inR[i];
                exactBandSample (p, plan, st, L[i], R[i]);
            }
        }

        void renderStretches (const Snapshot& snapshot, const GlobalParams& globals,
                              const std::array<BlockPlan, numBands>& plans, std::array<BandState, numBands>& states,
                              float* left, float* right, int numSamples) noexcept
        {
            for (int start = 0; start < numSamples; start += stretch)
            {
                const int n = std::min (stretch, numSamples - start);
                float* outL = left + start;
                float* outR = right + start;

                // All of the stretch is read before any of it is written: left and right may
                // be one channel.
                alignas (16) float dryL[stretch], dryR[stretch], L[stretch], R[stretch];
                for (int i = 0; i < n; ++i)
                {
                    dryL[i] = L[i] = std::isfinite (outL[i]) ? outL[i] : 0.0f;
                    dryR[i] = R[i] = std::isfinite (outR[i]) ? outR[i] : 0.0f;
                }

                for (int b = 0; b < numBands; ++b)
                    if (snapshot.bands[(size_t) b].enabled)
                        bandStretch (snapshot.bands[(size_t) b], plans[(size_t) b], states[(size_t) b], L, R, n);

                for (int i = 0; i < n; ++i)
                {
                    float l = ((L[i] - dryL[i]) * globals.globalMix + dryL[i]) * globals.outGain;
                    float r = ((R[i] - dryR[i]) * globals.globalMix + dryR[i]) * globals.outGain;
                    if (globals.mono)
                        l = r = (l + r) / 2.0f;
                    L[i] = std::isnan (l) ? 0.0f : l;
                    R[i] = std::isnan (r) ? 0.0f : r;
                }

                dsp::tanhEach (L, L, n);
                if (! globals.mono)
                    dsp::tanhEach (R, R, n);

                for (int i = 0; i < n; ++i)
                {
                    outL[i] = L[i];
                    outR[i] = globals.mono ? L[i] : R[i];
                }
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

        renderStretches (snapshot, globals, plans, states, left, right, numSamples);

        for (int b = 0; b < numBands; ++b)
        {
            const auto& p = snapshot.bands[(size_t) b];
            if (p.enabled && p.syncBpm && p.motionOn)
                states[(size_t) b].motionRateHz = 2.0f;
        }
    }
}
