#include "effects/finalizer/FinalizerProcessor.h"

#include <cmath>

namespace
{
    template <typename Array>
    bool allFinite (const Array& values) noexcept
    {
        for (auto v : values)
            if (! std::isfinite (v))
                return false;
        return true;
    }

    /** The band drive's blend of a value towards its saturated form. */
    inline float saturate (float x, float gain, float mix) noexcept
    {
        return x + (std::tanh (gain * x) - x) * mix;
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

FinalizerSettings::FinalizerSettings()
{
    for (auto& v : bandWidth) v.store (1.0f);
    for (auto& v : bandDrive) v.store (0.0f);
    for (auto& v : bandMode)  v.store (2);
    for (auto& v : korruptBandInputs) v.store (0.0f);
}

//==============================================================================
FinalizerProcessor::FinalizerProcessor (FinalizerSettings& settingsToRead)
    : settings (settingsToRead)
{
}

float FinalizerProcessor::toGain (float dB) noexcept
{
    return dB <= -100.0f ? 0.0f : std::pow (10.0f, dB * 0.05f);
}

bool FinalizerProcessor::isActive() const noexcept
{
    return ! settings.bypassed.load (std::memory_order_relaxed);
}

void FinalizerProcessor::prepare (double requestedRate, int)
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

void FinalizerProcessor::reset()
{
    resetAudioState();
}

void FinalizerProcessor::updateEqCoefficients()
{
    const double storedRate = processSampleRate.load (std::memory_order_relaxed);
    const double r = storedRate > 0.0 ? storedRate : 48000.0;
    const double tilt = settings.tiltDb.load();

    struct BandDesign { double frequency, q, gainDb; };
    const BandDesign designs[5] = {
        { 80.0,    0.7, settings.subDb.load() - tilt },
        { 200.0,   0.9, (double) settings.bodyDb.load() },
        { 3000.0,  0.8, (double) settings.presenceDb.load() },
        { 7000.0,  0.7, (double) settings.tameDb.load() },
        { 10000.0, 0.7, settings.airDb.load() + tilt },
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

void FinalizerProcessor::pullEqCoefficients() noexcept
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

FinalizerMeters FinalizerProcessor::readMeters() const
{
    const juce::SpinLock::ScopedLockType sl (meterLock);
    return sharedMeters;
}

void FinalizerProcessor::publishMeters() noexcept
{
    const juce::SpinLock::ScopedTryLockType tl (meterLock);
    if (! tl.isLocked())
        return;     // the reader is busy; the next block publishes again

    sharedMeters.midRms = dsp.midRms;
    sharedMeters.sideRms = dsp.sideRms;
    sharedMeters.features = dsp.features;
}

void FinalizerProcessor::raisePeak (std::atomic<float>& peak, float value) noexcept
{
    float current = peak.load (std::memory_order_relaxed);
    while (value > current && ! peak.compare_exchange_weak (current, value, std::memory_order_relaxed))
    {
    }
}

void FinalizerProcessor::decayPeak (std::atomic<float>& peak, float factor) noexcept
{
    float current = peak.load (std::memory_order_relaxed);
    while (! peak.compare_exchange_weak (current, current * factor, std::memory_order_relaxed))
    {
    }
}

//==============================================================================
void FinalizerProcessor::DipState::clear() noexcept
{
    phase = 0.0f;
    historyLeft.fill (0.0f);
    historyRight.fill (0.0f);
    smooth.fill (0.0f);
    lowpass.fill (0.0f);
}

bool FinalizerProcessor::DipState::isFinite() const noexcept
{
    return std::isfinite (phase) && allFinite (historyLeft) && allFinite (historyRight)
        && allFinite (smooth) && allFinite (lowpass);
}

void FinalizerProcessor::resetAudioState() noexcept
{
    for (auto& band : dsp.eqBands)
        band.clearHistory();
    dsp.dcFilter.clearHistory();
    dsp.crossoverStateLeft.fill (0.0f);
    dsp.crossoverStateRight.fill (0.0f);

    dsp.densityEnvelope = dsp.articEnvelope = dsp.articPrevEnvelope = 0.0f;
    dsp.residueState = dsp.motionPhase = 0.0f;

    dsp.above.clear();
    dsp.below.clear();
    dsp.above.coefs = {};
    dsp.below.coefs = {};

    dsp.midRms = dsp.sideRms = 0.0f;
}

bool FinalizerProcessor::audioStateIsFinite() const noexcept
{
    for (auto& band : dsp.eqBands)
        if (! band.historyIsFinite())
            return false;

    const float scalars[] = { dsp.densityEnvelope, dsp.articEnvelope, dsp.articPrevEnvelope, dsp.residueState,
                              dsp.motionPhase, dsp.midRms, dsp.sideRms };

    return dsp.dcFilter.historyIsFinite()
        && allFinite (scalars)
        && allFinite (dsp.crossoverStateLeft) && allFinite (dsp.crossoverStateRight)
        && dsp.above.isFinite() && dsp.below.isFinite();
}

//==============================================================================
void FinalizerProcessor::readParameters() noexcept
{
    constexpr auto relaxed = std::memory_order_relaxed;
    auto& p = params;

    p.inputGain = toGain (settings.inputGainDb.load (relaxed));
    p.outputGain = toGain (settings.outputGainDb.load (relaxed));
    p.ceilingGain = toGain (settings.ceilingDb.load (relaxed));

    for (size_t k = 0; k < 6; ++k)
    {
        p.bandWidth[k] = settings.bandWidth[k].load (relaxed);
        p.bandDrive[k] = settings.bandDrive[k].load (relaxed);
        p.bandMode[k] = settings.bandMode[k].load (relaxed);
        p.bandMix[k] = juce::jlimit (0.0f, 1.0f, 0.5f * p.bandDrive[k]);
        p.bandGain[k] = 4.0f * p.bandDrive[k] + 1.0f;
    }

    p.leftMix = settings.leftMix.load (relaxed);
    p.rightMix = settings.rightMix.load (relaxed);
    p.width = settings.width.load (relaxed);
    p.asymmetry = settings.asymmetryDeg.load (relaxed) / 180.0f;
    const float angle = settings.rotateDeg.load (relaxed) * juce::MathConstants<float>::pi / 180.0f;
    p.cosRotate = std::cos (angle);
    p.sinRotate = std::sin (angle);
    p.dcFilter = settings.dcFilterSource->load (relaxed);

    const double storedRate = processSampleRate.load (relaxed);
    p.density = settings.densityAmount.load (relaxed);
    p.artic = settings.articAmount.load (relaxed);
    p.residue = settings.residueAmount.load (relaxed);
    p.motion = settings.motionAmount.load (relaxed);
    p.above = settings.aboveAmount.load (relaxed);
    p.below = settings.belowAmount.load (relaxed);
    p.processRate = (float) storedRate;
    p.atomizeRate = storedRate > 0.0 ? (float) storedRate : 48000.0f;
    p.aboveGain = std::pow (10.0f, -(6.0f * p.above + 3.0f) / 40.0f);
    p.belowGain = std::pow (10.0f, -(4.0f * p.below + 2.0f) / 40.0f);
}

void FinalizerProcessor::bandStage (float& l, float& r) noexcept
{
    const auto& p = params;
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

        if (p.bandDrive[k] > 0.0001f)
        {
            const float g = p.bandGain[k];
            const float m = p.bandMix[k];

            if (p.bandMode[k] == 1)
            {
                const float mid = (bl + br) / 2.0f;
                const float d = (std::tanh (g * mid) - mid) * m;
                bl += d;
                br += d;
            }
            else if (p.bandMode[k] == 3)
            {
                const float mid = saturate ((bl + br) / 2.0f, g, m);
                const float side = saturate ((bl - br) / 2.0f, g, m);
                bl = mid + side;
                br = mid - side;
            }
            else
            {
                bl = saturate (bl, g, m);
                br = saturate (br, g, m);
            }
        }

        const float mid = (bl + br) / 2.0f;
        const float side = (bl - br) / 2.0f * p.bandWidth[k];
        sumL += mid + side;
        sumR += mid - side;
    }

    l = sumL;
    r = sumR;
}

void FinalizerProcessor::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    if (! isActive() || buffer.getNumChannels() < 2 || startSample < 0)
        return;

    numSamples = juce::jmax (0, juce::jmin (numSamples, buffer.getNumSamples() - startSample));
    pullEqCoefficients();

    float* const outLeft = buffer.getWritePointer (0, startSample);
    float* const outRight = buffer.getWritePointer (1, startSample);

    // A non-finite sample from upstream is read as silence; the block is then dropped below
    // and the filters restart, so the fault cannot linger in their histories.
    bool nonFiniteInput = false;
    for (int i = 0; i < numSamples; ++i)
    {
        if (! std::isfinite (outLeft[i]))  { outLeft[i] = 0.0f;  nonFiniteInput = true; }
        if (! std::isfinite (outRight[i])) { outRight[i] = 0.0f; nonFiniteInput = true; }
    }

    readParameters();
    restIdleStages();

    auto sums = runChain (outLeft, outRight, numSamples);

    if (nonFiniteInput || ! std::isfinite (sums.finiteProbe) || ! audioStateIsFinite())
    {
        resetAudioState();
        buffer.clear (0, startSample, numSamples);
        buffer.clear (1, startSample, numSamples);
        sums = {};
    }

    finishBlock (sums, outLeft, outRight, numSamples);
}

FinalizerProcessor::BlockSums FinalizerProcessor::runChain (float* outLeft, float* outRight, int numSamples) noexcept
{
    const auto& p = params;
    BlockSums sums;

    for (int i = 0; i < numSamples; ++i)
    {
        float l = outLeft[i] * p.inputGain;
        float r = outRight[i] * p.inputGain;

        for (auto& band : dsp.eqBands)
            band.process (l, r);

        if (p.dcFilter)
            dsp.dcFilter.process (l, r);

        bandStage (l, r);

        const float gm = (l + r) / 2.0f;
        const float gs = (l - r) / 2.0f * p.width;
        l = gm + (1.0f - p.asymmetry) * gs;
        r = gm - (1.0f + p.asymmetry) * gs;

        float lr = p.cosRotate * l - p.sinRotate * r;
        float rr = p.cosRotate * r + p.sinRotate * l;

        const double m2 = (double) ((lr + rr) / 2.0f);
        const double s2 = (double) ((lr - rr) / 2.0f);
        sums.mid += m2 * m2;
        sums.side += s2 * s2;

        if (std::abs (lr) > p.ceilingGain) lr = std::copysign (p.ceilingGain, lr);
        if (std::abs (rr) > p.ceilingGain) rr = std::copysign (p.ceilingGain, rr);

        applyDistStage (lr, rr);
        applyAtomizeStage (lr, rr);

        lr *= p.outputGain;
        rr *= p.outputGain;

        outLeft[i] = lr * p.leftMix;
        outRight[i] = rr * p.rightMix;

        sums.peakLeft = juce::jmax (sums.peakLeft, std::abs (lr));
        sums.peakRight = juce::jmax (sums.peakRight, std::abs (rr));
        sums.finiteProbe += lr * 0.0f + rr * 0.0f;
    }

    return sums;
}

void FinalizerProcessor::finishBlock (const BlockSums& sums, const float* outLeft, const float* outRight,
                                      int numSamples) noexcept
{
    raisePeak (peakLeft, sums.peakLeft);
    raisePeak (peakRight, sums.peakRight);

    if (numSamples > 0)
    {
        const double storedRate = processSampleRate.load (std::memory_order_relaxed);
        const float n = (float) numSamples;
        const float o = std::exp (-n / ((float) storedRate * 0.15f));
        dsp.midRms = std::sqrt ((float) (sums.mid / numSamples)) * (1.0f - o) + o * dsp.midRms;
        dsp.sideRms = std::sqrt ((float) (sums.side / numSamples)) * (1.0f - o) + o * dsp.sideRms;

        if (! std::isfinite (dsp.midRms) || ! std::isfinite (dsp.sideRms))
            dsp.midRms = dsp.sideRms = 0.0f;
    }

    extractFeatures (outLeft, outRight, numSamples);
    publishMeters();
}
