#include "effects/finalizer/TavroFinalizer.h"

#include <cmath>

namespace
{
    constexpr float twoPi = juce::MathConstants<float>::twoPi;

    template <typename Array>
    bool allFinite (const Array& values) noexcept
    {
        for (auto v : values)
            if (! std::isfinite (v))
                return false;
        return true;
    }

    inline float processDirectForm (const BiquadCoefficients& c, std::array<float, 4>& h, float x) noexcept
    {
        // h holds x1, x2, y1, y2
        const float y = c.b0 * x + c.b1 * h[0] + c.b2 * h[1] - c.a1 * h[2] - c.a2 * h[3];
        h[1] = h[0]; h[0] = x; h[3] = h[2]; h[2] = y;
        return y;
    }
}

//==============================================================================
bool StereoBiquad::historyIsFinite() const noexcept
{
    return std::isfinite (xl1) && std::isfinite (xl2) && std::isfinite (yl1) && std::isfinite (yl2)
        && std::isfinite (xr1) && std::isfinite (xr2) && std::isfinite (yr1) && std::isfinite (yr2);
}

void makePeakingCoefficients (StereoBiquad& filter, double sampleRate, double frequency, double gainDb, double q)
{
    const double a = std::pow (10.0, gainDb / 40.0);
    const double w = juce::MathConstants<double>::twoPi * frequency / sampleRate;
    const double alpha = std::sin (w) / (2.0 * q);
    const double d = 1.0 + alpha / a;

    filter.b0 = (float) ((1.0 + alpha * a) / d);
    filter.b1 = (float) (-2.0 * std::cos (w) / d);
    filter.b2 = (float) ((1.0 - alpha * a) / d);
    filter.a1 = filter.b1;
    filter.a2 = (float) ((1.0 - alpha / a) / d);
}

float TavroFinalizer::toGain (float dB) noexcept
{
    return dB <= -100.0f ? 0.0f : std::pow (10.0f, dB * 0.05f);
}

//==============================================================================
void TavroFinalizer::prepare (double requestedRate, int)
{
    // A device that reports no usable rate would turn every filter design into NaN.
    const double newSampleRate = std::isfinite (requestedRate) && requestedRate > 0.0 ? requestedRate : 48000.0;

    sampleRate.store (newSampleRate, std::memory_order_relaxed);
    processSampleRate.store (newSampleRate, std::memory_order_relaxed);

    {
        const float w = 10.0f * juce::MathConstants<float>::pi / (float) newSampleRate;
        const float alpha = std::sin (w) / 1.414f;
        const float c = std::cos (w);
        const float d = 1.0f + alpha;
        auto& dc = dsp.dcFilter;
        dc.b0 = dc.b2 = (1.0f + c) * 0.5f / d;
        dc.b1 = -(1.0f + c) / d;
        dc.a1 = -2.0f * c / d;
        dc.a2 = (1.0f - alpha) / d;
        dc.clearHistory();
    }

    for (size_t k = 0; k < crossoverHz.size(); ++k)
    {
        const double rate = juce::jmax (newSampleRate, 4800.0);
        const double coef = std::exp (-juce::MathConstants<double>::twoPi * crossoverHz[k] / rate);
        dsp.crossoverCoef[k] = (float) juce::jlimit (0.0, 0.9999, coef);
        dsp.crossoverStateLeft[k] = 0.0f;
        dsp.crossoverStateRight[k] = 0.0f;
    }

    updateEqCoefficients();
}

void TavroFinalizer::updateEqCoefficients()
{
    const double storedRate = processSampleRate.load (std::memory_order_relaxed);
    const double r = storedRate > 0.0 ? storedRate : 48000.0;
    const double tilt = tiltDb.load();

    struct BandDesign { double frequency, q, gainDb; };
    const BandDesign designs[5] = {
        { 80.0,    0.7, subDb.load() - tilt },
        { 200.0,   0.9, (double) bodyDb.load() },
        { 3000.0,  0.8, (double) presenceDb.load() },
        { 7000.0,  0.7, (double) tameDb.load() },
        { 10000.0, 0.7, airDb.load() + tilt },
    };

    std::array<BiquadCoefficients, 5> sets;
    for (size_t k = 0; k < sets.size(); ++k)
    {
        StereoBiquad section;
        makePeakingCoefficients (section, r, designs[k].frequency, designs[k].gainDb, designs[k].q);
        sets[k] = { section.b0, section.b1, section.b2, section.a1, section.a2 };
    }

    eqSnapshot.publish (sets);
}

void TavroFinalizer::pullEqCoefficients() noexcept
{
    const auto& sets = eqSnapshot.acquire();

    for (size_t k = 0; k < sets.size(); ++k)
    {
        auto& band = dsp.eqBands[k];
        band.b0 = sets[k].b0;
        band.b1 = sets[k].b1;
        band.b2 = sets[k].b2;
        band.a1 = sets[k].a1;
        band.a2 = sets[k].a2;
    }
}

FinalizerMeters TavroFinalizer::readMeters() const
{
    const juce::SpinLock::ScopedLockType sl (meterLock);
    return sharedMeters;
}

void TavroFinalizer::publishMeters() noexcept
{
    const juce::SpinLock::ScopedTryLockType tl (meterLock);
    if (! tl.isLocked())
        return;     // the reader is busy; the next block publishes again

    sharedMeters.midRms = dsp.midRms;
    sharedMeters.sideRms = dsp.sideRms;
    sharedMeters.features = dsp.features;
}

void TavroFinalizer::raisePeak (std::atomic<float>& peak, float value) noexcept
{
    float current = peak.load (std::memory_order_relaxed);
    while (value > current && ! peak.compare_exchange_weak (current, value, std::memory_order_relaxed))
    {
    }
}

void TavroFinalizer::decayPeak (std::atomic<float>& peak, float factor) noexcept
{
    float current = peak.load (std::memory_order_relaxed);
    while (! peak.compare_exchange_weak (current, current * factor, std::memory_order_relaxed))
    {
    }
}

//==============================================================================
void TavroFinalizer::resetAudioState() noexcept
{
    for (auto& band : dsp.eqBands)
        band.clearHistory();
    dsp.dcFilter.clearHistory();
    dsp.crossoverStateLeft.fill (0.0f);
    dsp.crossoverStateRight.fill (0.0f);

    dsp.densityEnvelope = dsp.articEnvelope = dsp.articPrevEnvelope = 0.0f;
    dsp.residueState = dsp.motionPhase = 0.0f;

    dsp.abovePhase = dsp.belowPhase = 0.0f;
    dsp.aboveCoefs = {};
    dsp.belowCoefs = {};
    dsp.aboveHistoryLeft.fill (0.0f);
    dsp.aboveHistoryRight.fill (0.0f);
    dsp.belowHistoryLeft.fill (0.0f);
    dsp.belowHistoryRight.fill (0.0f);
    dsp.aboveSmooth.fill (0.0f);
    dsp.aboveLowpass.fill (0.0f);
    dsp.belowSmooth.fill (0.0f);
    dsp.belowLowpass.fill (0.0f);

    dsp.midRms = dsp.sideRms = 0.0f;
}

bool TavroFinalizer::audioStateIsFinite() const noexcept
{
    for (auto& band : dsp.eqBands)
        if (! band.historyIsFinite())
            return false;

    const float scalars[] = { dsp.densityEnvelope, dsp.articEnvelope, dsp.articPrevEnvelope, dsp.residueState,
                              dsp.motionPhase, dsp.abovePhase, dsp.belowPhase, dsp.midRms, dsp.sideRms };

    return dsp.dcFilter.historyIsFinite()
        && allFinite (scalars)
        && allFinite (dsp.crossoverStateLeft) && allFinite (dsp.crossoverStateRight)
        && allFinite (dsp.aboveHistoryLeft) && allFinite (dsp.aboveHistoryRight)
        && allFinite (dsp.belowHistoryLeft) && allFinite (dsp.belowHistoryRight)
        && allFinite (dsp.aboveSmooth) && allFinite (dsp.aboveLowpass)
        && allFinite (dsp.belowSmooth) && allFinite (dsp.belowLowpass);
}

//==============================================================================
void TavroFinalizer::process (juce::AudioBuffer<float>& buffer)
{
    juce::ScopedNoDenormals noDenormals;

    if (bypassed.load (std::memory_order_relaxed) || buffer.getNumChannels() < 2)
        return;

    pullEqCoefficients();

    const int numSamples = buffer.getNumSamples();
    float* const outLeft = buffer.getWritePointer (0);
    float* const outRight = buffer.getWritePointer (1);

    // A non-finite sample from upstream is read as silence; the block is then dropped below
    // and the filters restart, so the fault cannot linger in their histories.
    bool nonFiniteInput = false;
    for (int i = 0; i < numSamples; ++i)
    {
        if (! std::isfinite (outLeft[i]))  { outLeft[i] = 0.0f;  nonFiniteInput = true; }
        if (! std::isfinite (outRight[i])) { outRight[i] = 0.0f; nonFiniteInput = true; }
    }

    constexpr auto relaxed = std::memory_order_relaxed;
    const float gIn = toGain (inputGainDb.load (relaxed));
    const float gOut = toGain (outputGainDb.load (relaxed));
    const float gCeil = toGain (ceilingDb.load (relaxed));

    std::array<float, 6> bandW, bandD, bandMix, bandG;
    std::array<int, 6> bandM;
    for (size_t k = 0; k < 6; ++k)
    {
        bandW[k] = bandWidth[k].load (relaxed);
        bandD[k] = bandDrive[k].load (relaxed);
        bandM[k] = bandMode[k].load (relaxed);
        bandMix[k] = juce::jlimit (0.0f, 1.0f, 0.5f * bandD[k]);
        bandG[k] = 4.0f * bandD[k] + 1.0f;
    }

    const float mixL = leftMix.load (relaxed);
    const float mixR = rightMix.load (relaxed);
    const float widthNow = width.load (relaxed);
    const float asym = asymmetryDeg.load (relaxed) / 180.0f;
    const float angle = rotateDeg.load (relaxed) * juce::MathConstants<float>::pi / 180.0f;
    const float cosT = std::cos (angle);
    const float sinT = std::sin (angle);
    const bool dcOn = dcFilterButton.getAtomicState();

    const double storedRate = processSampleRate.load (relaxed);
    blockParams.density = densityAmount.load (relaxed);
    blockParams.artic = articAmount.load (relaxed);
    blockParams.residue = residueAmount.load (relaxed);
    blockParams.motion = motionAmount.load (relaxed);
    blockParams.above = aboveAmount.load (relaxed);
    blockParams.below = belowAmount.load (relaxed);
    blockParams.processRate = (float) storedRate;
    blockParams.atomizeRate = storedRate > 0.0 ? (float) storedRate : 48000.0f;
    blockParams.aboveGain = std::pow (10.0f, -(6.0f * blockParams.above + 3.0f) / 40.0f);
    blockParams.belowGain = std::pow (10.0f, -(4.0f * blockParams.below + 2.0f) / 40.0f);

    restIdleStages();

    double midSum = 0.0, sideSum = 0.0;
    float blockPeakLeft = 0.0f, blockPeakRight = 0.0f;
    float finiteProbe = 0.0f;

    for (int i = 0; i < numSamples; ++i)
    {
        float l = outLeft[i] * gIn;
        float r = outRight[i] * gIn;

        for (auto& band : dsp.eqBands)
            band.process (l, r);

        if (dcOn)
            dsp.dcFilter.process (l, r);

        float bandLeft[6], bandRight[6];
        {
            float xl = l, xr = r;
            for (size_t k = 0; k < 5; ++k)
            {
                const float c = dsp.crossoverCoef[k];
                const float lpL = (1.0f - c) * xl + c * dsp.crossoverStateLeft[k];
                const float lpR = (1.0f - c) * xr + c * dsp.crossoverStateRight[k];
                dsp.crossoverStateLeft[k] = lpL;
                dsp.crossoverStateRight[k] = lpR;
                bandLeft[k] = lpL;
                bandRight[k] = lpR;
                xl -= lpL;
                xr -= lpR;
            }
            bandLeft[5] = xl;
            bandRight[5] = xr;
        }

        float sumL = 0.0f, sumR = 0.0f;
        for (size_t k = 0; k < 6; ++k)
        {
            float bl = bandLeft[k], br = bandRight[k];

            if (bandD[k] > 0.0001f)
            {
                const float g = bandG[k];
                const float m = bandMix[k];

                if (bandM[k] == 1)
                {
                    const float mid = (bl + br) / 2.0f;
                    const float d = (std::tanh (g * mid) - mid) * m;
                    bl += d;
                    br += d;
                }
                else if (bandM[k] == 3)
                {
                    float mid = (bl + br) / 2.0f;
                    float side = (bl - br) / 2.0f;
                    mid = mid + (std::tanh (g * mid) - mid) * m;
                    side = side + (std::tanh (g * side) - side) * m;
                    bl = mid + side;
                    br = mid - side;
                }
                else
                {
                    bl = bl + (std::tanh (g * bl) - bl) * m;
                    br = br + (std::tanh (g * br) - br) * m;
                }
            }

            const float mid = (bl + br) / 2.0f;
            const float side = (bl - br) / 2.0f * bandW[k];
            sumL += mid + side;
            sumR += mid - side;
        }

        const float gm = (sumL + sumR) / 2.0f;
        const float gs = (sumL - sumR) / 2.0f * widthNow;
        l = gm + (1.0f - asym) * gs;
        r = gm - (1.0f + asym) * gs;

        float lr = cosT * l - sinT * r;
        float rr = cosT * r + sinT * l;

        const double m2 = (double) ((lr + rr) / 2.0f);
        const double s2 = (double) ((lr - rr) / 2.0f);
        midSum += m2 * m2;
        sideSum += s2 * s2;

        if (std::abs (lr) > gCeil) lr = std::copysign (gCeil, lr);
        if (std::abs (rr) > gCeil) rr = std::copysign (gCeil, rr);

        applyDistStage (lr, rr);
        applyAtomizeStage (lr, rr);

        lr *= gOut;
        rr *= gOut;

        outLeft[i] = lr * mixL;
        outRight[i] = rr * mixR;

        blockPeakLeft = juce::jmax (blockPeakLeft, std::abs (lr));
        blockPeakRight = juce::jmax (blockPeakRight, std::abs (rr));
        finiteProbe += lr * 0.0f + rr * 0.0f;
    }

    if (nonFiniteInput || ! std::isfinite (finiteProbe) || ! audioStateIsFinite())
    {
        resetAudioState();
        buffer.clear (0, 0, numSamples);
        buffer.clear (1, 0, numSamples);
        blockPeakLeft = blockPeakRight = 0.0f;
        midSum = sideSum = 0.0;
    }

    raisePeak (peakLeft, blockPeakLeft);
    raisePeak (peakRight, blockPeakRight);

    if (numSamples > 0)
    {
        const float n = (float) numSamples;
        const float o = std::exp (-n / ((float) storedRate * 0.15f));
        dsp.midRms = std::sqrt ((float) (midSum / numSamples)) * (1.0f - o) + o * dsp.midRms;
        dsp.sideRms = std::sqrt ((float) (sideSum / numSamples)) * (1.0f - o) + o * dsp.sideRms;

        if (! std::isfinite (dsp.midRms) || ! std::isfinite (dsp.sideRms))
            dsp.midRms = dsp.sideRms = 0.0f;
    }

    extractFeatures (outLeft, outRight, numSamples);
    publishMeters();
}

//==============================================================================
void TavroFinalizer::restIdleStages() noexcept
{
    // A stage that is switched off forgets its recursive state, so switching it on again
    // starts from rest instead of replaying a stale value from long ago as a click.
    if (blockParams.residue <= 0.01f)
        dsp.residueState = 0.0f;

    if (blockParams.above <= 0.01f)
    {
        dsp.abovePhase = 0.0f;
        dsp.aboveHistoryLeft.fill (0.0f);
        dsp.aboveHistoryRight.fill (0.0f);
        dsp.aboveSmooth.fill (0.0f);
        dsp.aboveLowpass.fill (0.0f);
    }

    if (blockParams.below <= 0.01f)
    {
        dsp.belowPhase = 0.0f;
        dsp.belowHistoryLeft.fill (0.0f);
        dsp.belowHistoryRight.fill (0.0f);
        dsp.belowSmooth.fill (0.0f);
        dsp.belowLowpass.fill (0.0f);
    }
}

void TavroFinalizer::applyDistStage (float& left, float& right) noexcept
{
    const float d1 = blockParams.density;
    const float d2 = blockParams.artic;
    const float d3 = blockParams.residue;
    const float d4 = blockParams.motion;

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

    if (d4 > 0.001f && blockParams.processRate > 0.0f)
    {
        dsp.motionPhase += motionRateHz / blockParams.processRate;
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

void TavroFinalizer::makeCutCoefficients (float frequency, float cutDb, float q,
                                          BiquadCoefficients& coefficients) const noexcept
{
    designCut (frequency, std::pow (10.0f, -cutDb / 40.0f), q, coefficients);
}

void TavroFinalizer::designCut (float frequency, float a, float q, BiquadCoefficients& c) const noexcept
{
    const float r = blockParams.atomizeRate;
    const float w = twoPi * frequency / r;
    const float alpha = std::sin (w) / (2.0f * q);
    const float d = 1.0f + alpha / a;

    c.b0 = (1.0f + alpha * a) / d;
    c.b1 = -2.0f * std::cos (w) / d;
    c.b2 = (1.0f - alpha * a) / d;
    c.a1 = c.b1;
    c.a2 = (1.0f - alpha / a) / d;
}

void TavroFinalizer::applyAtomizeStage (float& left, float& right) noexcept
{
    const float u = blockParams.above;
    const float v = blockParams.below;

    if (u < 0.01f && v < 0.01f)
        return;

    const float r = blockParams.atomizeRate;
    // Above the Nyquist limit the design folds back and can turn unstable; at the usual
    // device rates the limit is far above the stage's range and changes nothing.
    const float nyquistGuard = 0.45f * r;

    if (u > 0.01f)
    {
        dsp.abovePhase += 0.5f / r;
        if (dsp.abovePhase > 1.0f)
            dsp.abovePhase -= 1.0f;

        float f = 6000.0f + 4000.0f * u + 300.0f * u * std::sin (twoPi * dsp.abovePhase);
        f = juce::jmin (juce::jlimit (4000.0f, 12000.0f, f), nyquistGuard);

        designCut (f, blockParams.aboveGain, 4.0f * u + 4.0f, dsp.aboveCoefs);

        float y[2] = { processDirectForm (dsp.aboveCoefs, dsp.aboveHistoryLeft, left),
                       processDirectForm (dsp.aboveCoefs, dsp.aboveHistoryRight, right) };

        for (int ch = 0; ch < 2; ++ch)
        {
            auto& smooth = dsp.aboveSmooth[(size_t) ch];
            auto& low = dsp.aboveLowpass[(size_t) ch];
            float yc = y[ch];
            smooth += (yc - smooth) * 0.15f;
            yc = (yc - smooth) * (1.0f + 0.25f * u) + smooth;
            low += (yc - low) * 0.02f;
            y[ch] = (yc - low) * 0.15f * u + (1.0f - 0.15f * u) * yc;
        }

        left = y[0];
        right = y[1];
    }

    if (v > 0.01f)
    {
        dsp.belowPhase += 0.3f / r;
        if (dsp.belowPhase > 1.0f)
            dsp.belowPhase -= 1.0f;

        float f = 8000.0f - 3000.0f * v + 200.0f * v * std::sin (twoPi * dsp.belowPhase);
        f = juce::jmin (juce::jlimit (4000.0f, 10000.0f, f), nyquistGuard);

        designCut (f, blockParams.belowGain, 3.0f * v + 3.0f, dsp.belowCoefs);

        float y[2] = { processDirectForm (dsp.belowCoefs, dsp.belowHistoryLeft, left),
                       processDirectForm (dsp.belowCoefs, dsp.belowHistoryRight, right) };

        for (int ch = 0; ch < 2; ++ch)
        {
            auto& smooth = dsp.belowSmooth[(size_t) ch];
            auto& low = dsp.belowLowpass[(size_t) ch];
            float yc = y[ch];
            smooth += (yc - smooth) * 0.2f;
            yc = (yc - smooth) * (1.0f - 0.2f * v) + smooth;
            low += (yc - low) * 0.01f;
            y[ch] = (1.0f + 0.15f * v) * low + (yc - low);
        }

        left = y[0];
        right = y[1];
    }
}
