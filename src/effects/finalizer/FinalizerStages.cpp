#include "effects/finalizer/FinalizerProcessor.h"

#include "dsp/VectorTanh.h"

#include <cmath>

namespace
{
    constexpr float twoPi = juce::MathConstants<float>::twoPi;

    /** One channel of a dip's after-filter: a smoother whose difference from the input is
        scaled by `emphasis`, then a slow lowpass of that. Returns the emphasised value. */
    inline float emphasise (float y, float& smooth, float& low, float smoothStep, float emphasis, float lowStep) noexcept
    {
        smooth += (y - smooth) * smoothStep;
        y = (y - smooth) * emphasis + smooth;
        low += (y - low) * lowStep;
        return y;
    }

}

/** How one ATOMIZE dip sweeps: its centre is base + span·a + sweep·a·sin(phase), clamped, and
    its Q is qBase·a + qBase, for the stage amount a. */
struct FinalizerProcessor::DipSweep
{
    float rateHz, base, span, sweep, lowest, highest, qBase;
};

namespace
{
    constexpr FinalizerProcessor::DipSweep aboveSweep { 0.5f, 6000.0f, 4000.0f, 300.0f, 4000.0f, 12000.0f, 4.0f };
    constexpr FinalizerProcessor::DipSweep belowSweep { 0.3f, 8000.0f, -3000.0f, 200.0f, 4000.0f, 10000.0f, 3.0f };
}

//==============================================================================
void FinalizerProcessor::planStages() noexcept
{
    auto& p = params;

    // The same expressions, in the same precision, as the stages would evaluate per sample.
    p.motionStep = p.processRate > 0.0f ? motionRateHz / p.processRate : 0.0f;
    p.aboveStep = aboveSweep.rateHz / p.atomizeRate;
    p.belowStep = belowSweep.rateHz / p.atomizeRate;
    p.aboveQ = aboveSweep.qBase * p.above + aboveSweep.qBase;
    p.belowQ = belowSweep.qBase * p.below + belowSweep.qBase;

    // Above the Nyquist limit the design folds back and can turn unstable; at the usual
    // device rates the limit is far above the stage's range and changes nothing.
    p.nyquistGuard = 0.45f * p.atomizeRate;
}

void FinalizerProcessor::restIdleStages() noexcept
{
    // A stage that is switched off forgets its recursive state, so switching it on again
    // starts from rest instead of replaying a stale value from long ago as a click.
    if (params.residue <= 0.01f)
        dsp.residueState = 0.0f;

    if (params.above <= 0.01f)
        dsp.above.clear();

    if (params.below <= 0.01f)
        dsp.below.clear();
}

void FinalizerProcessor::applyDistStage (float& left, float& right) noexcept
{
    distStage (&left, &right, 1);
}

void FinalizerProcessor::distStage (float* left, float* right, int n) noexcept
{
    const float d1 = params.density;
    const float d2 = params.artic;
    const float d3 = params.residue;
    const float d4 = params.motion;

    if (d1 < 0.01f && d2 < 0.01f && d3 < 0.01f && d4 < 0.001f)
        return;

    // The envelopes run sample by sample; the residue's saturation only reads what they
    // leave, so it is evaluated for the whole run at once before its own recursion.
    float mid[chunkSize], side[chunkSize], before[chunkSize];
    distEnvelopes (left, right, n, mid, side, before);

    if (d3 > 0.01f)
    {
        const float drive = 3.0f * d3 + 1.0f;
        float driven[chunkSize] {}, saturated[chunkSize];
        for (int i = 0; i < n; ++i)
            driven[i] = drive * mid[i];
        dsp::tanhEach (driven, saturated, n);

        float state = dsp.residueState;
        for (int i = 0; i < n; ++i)
        {
            state = (saturated[i] - mid[i]) * 0.2f + state * 0.8f;
            mid[i] += state * d3 * 2.0f;
        }
        dsp.residueState = state;
    }

    if (d4 > 0.001f && params.processRate > 0.0f)
    {
        float phase = dsp.motionPhase;
        for (int i = 0; i < n; ++i)
        {
            phase += params.motionStep;
            if (phase > 1.0f)
                phase -= 1.0f;

            const float sv = std::sin (twoPi * phase) * d4;
            mid[i] *= 1.0f + 0.5f * sv;
            side[i] *= 1.0f - 0.3f * sv;
        }
        dsp.motionPhase = phase;
    }

    for (int i = 0; i < n; ++i)
    {
        const float m = mid[i], s = side[i], m0 = before[i];
        float l = m + s, r = m - s;

        const float am = std::abs (m);
        if (am > 1.2f * m0 && am > 0.01f)
        {
            const float scale = m0 / am;
            l *= scale;
            r *= scale;
        }

        left[i] = l;
        right[i] = r;
    }
}

void FinalizerProcessor::distEnvelopes (const float* left, const float* right, int n, float* mid, float* side,
                                        float* before) noexcept
{
    const float d1 = params.density;
    const float d2 = params.artic;
    const bool density = d1 > 0.01f, artic = d2 > 0.01f;
    float densityEnvelope = dsp.densityEnvelope, articEnvelope = dsp.articEnvelope, articPrev = dsp.articPrevEnvelope;

    for (int i = 0; i < n; ++i)
    {
        float m = (left[i] + right[i]) / 2.0f;
        side[i] = (left[i] - right[i]) / 2.0f;
        before[i] = std::abs (m);

        if (density)
        {
            const float am = std::abs (m);
            densityEnvelope = am > densityEnvelope ? am : densityEnvelope * 0.9999f;

            if (densityEnvelope > 0.1f && am > 0.05f)
                m *= juce::jmax (1.0f - am / (densityEnvelope + 0.001f) * d1 * 0.4f, 0.5f);
        }

        if (artic)
        {
            const float x = std::abs (m);
            articEnvelope += (x - articEnvelope) * (x > articEnvelope ? 0.05f : 0.001f);
            const float delta = articEnvelope - articPrev;
            articPrev = articEnvelope;

            if (delta > 0.0f && articEnvelope > 0.01f)
                m *= juce::jmin (1.0f + d2 * delta * 20.0f, 2.0f);
        }

        mid[i] = m;
    }

    dsp.densityEnvelope = densityEnvelope;
    dsp.articEnvelope = articEnvelope;
    dsp.articPrevEnvelope = articPrev;
}

void FinalizerProcessor::makeCutCoefficients (float frequency, float cutDb, float q,
                                              BiquadCoefficients& coefficients) const noexcept
{
    designCut (frequency, std::pow (10.0f, -cutDb / 40.0f), q, coefficients);
}

void FinalizerProcessor::designCut (float frequency, float a, float q, BiquadCoefficients& c) const noexcept
{
    c = dsp::peaking<float> (params.atomizeRate, frequency, a, q);
}

void FinalizerProcessor::sweepDip (DipState& dip, const DipSweep& sweep, float amount, float gain, float step,
                                   float q, int n, dsp::PeakingTrack& track) noexcept
{
    // The centre's constant part and depth, grouped as the per-sample expression groups them.
    const float centre = sweep.base + sweep.span * amount;
    const float depth = sweep.sweep * amount;
    float frequencies[chunkSize];
    float phase = dip.phase;

    for (int i = 0; i < n; ++i)
    {
        phase += step;
        if (phase > 1.0f)
            phase -= 1.0f;

        const float f = centre + depth * std::sin (twoPi * phase);
        frequencies[i] = juce::jmin (juce::jlimit (sweep.lowest, sweep.highest, f), params.nyquistGuard);
    }

    dip.phase = phase;
    dsp::peakingEach (params.atomizeRate, frequencies, gain, q, n, track);
    dip.filter.coefficients = track.at (n - 1);
}

void FinalizerProcessor::applyAtomizeStage (float& left, float& right) noexcept
{
    atomizeStage (&left, &right, 1);
}

void FinalizerProcessor::atomizeStage (float* left, float* right, int n) noexcept
{
    const float u = params.above;
    const float v = params.below;

    if ((u < 0.01f && v < 0.01f) || n <= 0)
        return;

    // The dips' sweeps do not depend on the signal: each run's coefficients are designed
    // together first, then the filters run through it.
    dsp::PeakingTrack track;
    float* const io[2] = { left, right };

    if (u > 0.01f)
    {
        sweepDip (dsp.above, aboveSweep, u, params.aboveGain, params.aboveStep, params.aboveQ, n, track);

        for (size_t ch = 0; ch < 2; ++ch)
        {
            auto history = dsp.above.filter.channels[ch];
            float smooth = dsp.above.smooth[ch], low = dsp.above.lowpass[ch];
            float* const x = io[ch];

            for (int i = 0; i < n; ++i)
            {
                const float yc = emphasise (history.process (track.at (i), x[i]), smooth, low, 0.15f, 1.0f + 0.25f * u, 0.02f);
                x[i] = (yc - low) * 0.15f * u + (1.0f - 0.15f * u) * yc;
            }

            dsp.above.filter.channels[ch] = history;
            dsp.above.smooth[ch] = smooth;
            dsp.above.lowpass[ch] = low;
        }
    }

    if (v > 0.01f)
    {
        sweepDip (dsp.below, belowSweep, v, params.belowGain, params.belowStep, params.belowQ, n, track);

        for (size_t ch = 0; ch < 2; ++ch)
        {
            auto history = dsp.below.filter.channels[ch];
            float smooth = dsp.below.smooth[ch], low = dsp.below.lowpass[ch];
            float* const x = io[ch];

            for (int i = 0; i < n; ++i)
            {
                const float yc = emphasise (history.process (track.at (i), x[i]), smooth, low, 0.2f, 1.0f - 0.2f * v, 0.01f);
                x[i] = (1.0f + 0.15f * v) * low + (yc - low);
            }

            dsp.below.filter.channels[ch] = history;
            dsp.below.smooth[ch] = smooth;
            dsp.below.lowpass[ch] = low;
        }
    }
}
