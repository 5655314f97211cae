#include "effects/finalizer/FinalizerProcessor.h"

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
    const float d1 = params.density;
    const float d2 = params.artic;
    const float d3 = params.residue;
    const float d4 = params.motion;

    if (d1 < 0.01f && d2 < 0.01f && d3 < 0.01f && d4 < 0.001f)
        return;

    float m = (left + right) / 2.0f;
    float s = (left - right) / 2.0f;
    const float m0 = std::abs (m);

    if (d1 > 0.01f)
    {
        const float am = std::abs (m);
        dsp.densityEnvelope = am > dsp.densityEnvelope ? am : dsp.densityEnvelope * 0.9999f;

        if (dsp.densityEnvelope > 0.1f && am > 0.05f)
            m *= juce::jmax (1.0f - am / (dsp.densityEnvelope + 0.001f) * d1 * 0.4f, 0.5f);
    }

    if (d2 > 0.01f)
    {
        const float x = std::abs (m);
        dsp.articEnvelope += (x - dsp.articEnvelope) * (x > dsp.articEnvelope ? 0.05f : 0.001f);
        const float delta = dsp.articEnvelope - dsp.articPrevEnvelope;
        dsp.articPrevEnvelope = dsp.articEnvelope;

        if (delta > 0.0f && dsp.articEnvelope > 0.01f)
            m *= juce::jmin (1.0f + d2 * delta * 20.0f, 2.0f);
    }

    if (d3 > 0.01f)
    {
        const float t = std::tanh ((3.0f * d3 + 1.0f) * m);
        dsp.residueState = (t - m) * 0.2f + dsp.residueState * 0.8f;
        m += dsp.residueState * d3 * 2.0f;
    }

    if (d4 > 0.001f && params.processRate > 0.0f)
    {
        dsp.motionPhase += params.motionStep;
        if (dsp.motionPhase > 1.0f)
            dsp.motionPhase -= 1.0f;

        const float sv = std::sin (twoPi * dsp.motionPhase) * d4;
        m *= 1.0f + 0.5f * sv;
        s *= 1.0f - 0.3f * sv;
    }

    left = m + s;
    right = m - s;

    const float am = std::abs (m);
    if (am > 1.2f * m0 && am > 0.01f)
    {
        const float scale = m0 / am;
        left *= scale;
        right *= scale;
    }
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

void FinalizerProcessor::filterDip (DipState& dip, const DipSweep& sweep, float amount, float gain, float step,
                                    float q, float left, float right, float (&y)[2]) noexcept
{
    dip.phase += step;
    if (dip.phase > 1.0f)
        dip.phase -= 1.0f;

    float f = sweep.base + sweep.span * amount + sweep.sweep * amount * std::sin (twoPi * dip.phase);
    f = juce::jmin (juce::jlimit (sweep.lowest, sweep.highest, f), params.nyquistGuard);

    designCut (f, gain, q, dip.filter.coefficients);

    y[0] = dip.filter.process (0, left);
    y[1] = dip.filter.process (1, right);
}

void FinalizerProcessor::applyAtomizeStage (float& left, float& right) noexcept
{
    const float u = params.above;
    const float v = params.below;

    if (u < 0.01f && v < 0.01f)
        return;

    if (u > 0.01f)
    {
        float y[2];
        filterDip (dsp.above, aboveSweep, u, params.aboveGain, params.aboveStep, params.aboveQ, left, right, y);

        for (size_t ch = 0; ch < 2; ++ch)
        {
            const float yc = emphasise (y[ch], dsp.above.smooth[ch], dsp.above.lowpass[ch], 0.15f, 1.0f + 0.25f * u, 0.02f);
            y[ch] = (yc - dsp.above.lowpass[ch]) * 0.15f * u + (1.0f - 0.15f * u) * yc;
        }

        left = y[0];
        right = y[1];
    }

    if (v > 0.01f)
    {
        float y[2];
        filterDip (dsp.below, belowSweep, v, params.belowGain, params.belowStep, params.belowQ, left, right, y);

        for (size_t ch = 0; ch < 2; ++ch)
        {
            const float yc = emphasise (y[ch], dsp.below.smooth[ch], dsp.below.lowpass[ch], 0.2f, 1.0f - 0.2f * v, 0.01f);
            const float low = dsp.below.lowpass[ch];
            y[ch] = (1.0f + 0.15f * v) * low + (yc - low);
        }

        left = y[0];
        right = y[1];
    }
}
