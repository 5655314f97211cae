#include "effects/finalizer/FinalizerProcessor.h"

#include "dsp/Decibels.h"

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
void makePeakingCoefficients (StereoBiquad& filter, double sampleRate, double frequency, double gainDb, double q)
{
    filter.coefficients = dsp::peaking<double> (sampleRate, frequency, std::pow (10.0, gainDb / 40.0), q);
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
    return dsp::decibelsToGain<dsp::DecibelForm::flooredNanPasses> (dB);
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

    dsp.dcFilter.coefficients = dsp::rbj (dsp::BiquadShape::highpass, 5.0f, 0.707f, 1.0f, newSampleRate);
    dsp.dcFilter.clear();

    for (size_t k = 0; k < crossoverHz.size(); ++k)
    {
        const double pole = dsp::onePolePole (crossoverHz[k], juce::jmax (newSampleRate, 4800.0));
        dsp.crossoverCoef[k] = (float) juce::jlimit (0.0, 0.9999, pole);
        dsp.crossoverLeft[k].clear();
        dsp.crossoverRight[k].clear();
    }

    updateEqCoefficients();
    eqSnapshot.takeLatest();
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
        sets[k] = dsp::peaking<double> (r, designs[k].frequency, std::pow (10.0, designs[k].gainDb / 40.0), designs[k].q);
    }

    eqSnapshot.publish (sets);
}

void FinalizerProcessor::pullEqCoefficients() noexcept
{
    const auto& sets = eqSnapshot.acquire();

    for (size_t k = 0; k < sets.size(); ++k)
        dsp.eqBands[k].coefficients = sets[k];
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
    filter.clear();
    smooth.fill (0.0f);
    lowpass.fill (0.0f);
}

bool FinalizerProcessor::DipState::isFinite() const noexcept
{
    return std::isfinite (phase) && filter.isFinite() && allFinite (smooth) && allFinite (lowpass);
}

void FinalizerProcessor::resetAudioState() noexcept
{
    for (auto& band : dsp.eqBands)
        band.clear();
    dsp.dcFilter.clear();
    for (size_t k = 0; k < dsp.crossoverLeft.size(); ++k)
    {
        dsp.crossoverLeft[k].clear();
        dsp.crossoverRight[k].clear();
    }

    dsp.densityEnvelope = dsp.articEnvelope = dsp.articPrevEnvelope = 0.0f;
    dsp.residueState = dsp.motionPhase = 0.0f;

    dsp.above.clear();
    dsp.below.clear();
    dsp.above.filter.coefficients = {};
    dsp.below.filter.coefficients = {};

    dsp.midRms = dsp.sideRms = 0.0f;
}

bool FinalizerProcessor::audioStateIsFinite() const noexcept
{
    for (auto& band : dsp.eqBands)
        if (! band.isFinite())
            return false;

    for (size_t k = 0; k < dsp.crossoverLeft.size(); ++k)
        if (! std::isfinite (dsp.crossoverLeft[k].state) || ! std::isfinite (dsp.crossoverRight[k].state))
            return false;

    const float scalars[] = { dsp.densityEnvelope, dsp.articEnvelope, dsp.articPrevEnvelope, dsp.residueState,
                              dsp.motionPhase, dsp.midRms, dsp.sideRms };

    return dsp.dcFilter.isFinite() && allFinite (scalars) && dsp.above.isFinite() && dsp.below.isFinite();
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
            const float lpL = dsp.crossoverLeft[k].process (xl, c);
            const float lpR = dsp.crossoverRight[k].process (xr, c);
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

    // A non-finite sample from upstream is read as silence and the rest of the block goes
    // through untouched: one bad sample must not cost the listener the whole block.
    for (int i = 0; i < numSamples; ++i)
    {
        if (! std::isfinite (outLeft[i]))  outLeft[i] = 0.0f;
        if (! std::isfinite (outRight[i])) outRight[i] = 0.0f;
    }

    readParameters();
    planStages();
    restIdleStages();

    auto sums = runChain (outLeft, outRight, numSamples);

    // Only state that has itself gone non-finite (an overflow, a NaN setting) is thrown away;
    // finite state carries on. Output that is not finite is never handed on.
    if (! audioStateIsFinite())
        resetAudioState();

    if (! std::isfinite (sums.finiteProbe))
    {
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
        {
            l = band.process (0, l);
            r = band.process (1, r);
        }

        if (p.dcFilter)
        {
            l = dsp.dcFilter.process (0, l);
            r = dsp.dcFilter.process (1, r);
        }

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
