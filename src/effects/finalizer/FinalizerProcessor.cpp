#include "effects/finalizer/FinalizerProcessor.h"

#include "dsp/Decibels.h"
#include "dsp/VectorTanh.h"

#include <algorithm>

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

    /** The band drive's blend of a value towards its saturated form tanh (gain x). */
    inline float blend (float x, float saturated, float mix) noexcept
    {
        return x + (saturated - x) * mix;
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

void FinalizerProcessor::bandStage (float* left, float* right, int n) noexcept
{
    const auto& p = params;
    float bandLeft[6][chunkSize], bandRight[6][chunkSize];
    splitBands (left, right, n, bandLeft, bandRight);

    // Every drive's tanh arguments of the run go into one array, so they are evaluated four
    // at a time; the blends then read them back in the same order.
    float shaped[12 * chunkSize];
    float* next = shaped;

    for (size_t k = 0; k < 6; ++k)
    {
        if (! (p.bandDrive[k] > 0.0001f))
            continue;

        const float g = p.bandGain[k];
        const float* bl = bandLeft[k];
        const float* br = bandRight[k];

        if (p.bandMode[k] == 1)
        {
            for (int i = 0; i < n; ++i)
                next[i] = g * ((bl[i] + br[i]) / 2.0f);
            next += n;
        }
        else if (p.bandMode[k] == 3)
        {
            for (int i = 0; i < n; ++i)
            {
                next[i] = g * ((bl[i] + br[i]) / 2.0f);
                next[n + i] = g * ((bl[i] - br[i]) / 2.0f);
            }
            next += 2 * n;
        }
        else
        {
            for (int i = 0; i < n; ++i)
            {
                next[i] = g * bl[i];
                next[n + i] = g * br[i];
            }
            next += 2 * n;
        }
    }

    dsp::tanhEach (shaped, shaped, (int) (next - shaped));

    float sumL[chunkSize] {}, sumR[chunkSize] {};
    const float* t = shaped;

    for (size_t k = 0; k < 6; ++k)
    {
        float* bl = bandLeft[k];
        float* br = bandRight[k];

        if (p.bandDrive[k] > 0.0001f)
            t = blendDrive (k, t, bl, br, n);

        const float w = p.bandWidth[k];
        for (int i = 0; i < n; ++i)
        {
            const float mid = (bl[i] + br[i]) / 2.0f;
            const float side = (bl[i] - br[i]) / 2.0f * w;
            sumL[i] += mid + side;
            sumR[i] += mid - side;
        }
    }

    std::copy (sumL, sumL + n, left);
    std::copy (sumR, sumR + n, right);
}

const float* FinalizerProcessor::blendDrive (size_t k, const float* t, float* bl, float* br, int n) const noexcept
{
    const float m = params.bandMix[k];

    if (params.bandMode[k] == 1)
    {
        for (int i = 0; i < n; ++i)
        {
            const float mid = (bl[i] + br[i]) / 2.0f;
            const float d = (t[i] - mid) * m;
            bl[i] += d;
            br[i] += d;
        }
        return t + n;
    }

    if (params.bandMode[k] == 3)
    {
        for (int i = 0; i < n; ++i)
        {
            const float mid = (bl[i] + br[i]) / 2.0f;
            const float side = (bl[i] - br[i]) / 2.0f;
            const float newMid = blend (mid, t[i], m);
            const float newSide = blend (side, t[n + i], m);
            bl[i] = newMid + newSide;
            br[i] = newMid - newSide;
        }
        return t + 2 * n;
    }

    for (int i = 0; i < n; ++i)
    {
        bl[i] = blend (bl[i], t[i], m);
        br[i] = blend (br[i], t[n + i], m);
    }
    return t + 2 * n;
}

void FinalizerProcessor::splitBands (const float* left, const float* right, int n, float (&bandLeft)[6][chunkSize],
                                     float (&bandRight)[6][chunkSize]) noexcept
{
    auto crossLeft = dsp.crossoverLeft;
    auto crossRight = dsp.crossoverRight;
    const auto coef = dsp.crossoverCoef;

    for (int i = 0; i < n; ++i)
    {
        float xl = left[i], xr = right[i];
        for (size_t k = 0; k < 5; ++k)
        {
            const float lpL = crossLeft[k].process (xl, coef[k]);
            const float lpR = crossRight[k].process (xr, coef[k]);
            bandLeft[k][i] = lpL;
            bandRight[k][i] = lpR;
            xl -= lpL;
            xr -= lpR;
        }
        bandLeft[5][i] = xl;
        bandRight[5][i] = xr;
    }

    dsp.crossoverLeft = crossLeft;
    dsp.crossoverRight = crossRight;
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
    BlockSums sums;

    // Stage by stage over short runs: each stage's state stays in registers through its run,
    // and what does not depend on earlier samples is evaluated for the whole run at once.
    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const int n = juce::jmin (chunkSize, numSamples - start);
        float* const l = outLeft + start;
        float* const r = outRight + start;

        equalise (l, r, n);
        bandStage (l, r, n);
        widenAndLimit (l, r, n, sums);
        distStage (l, r, n);
        atomizeStage (l, r, n);
        applyOutput (l, r, n, sums);
    }

    return sums;
}

void FinalizerProcessor::equalise (float* left, float* right, int n) noexcept
{
    const auto& p = params;
    auto eq = dsp.eqBands;
    auto dc = dsp.dcFilter;

    for (int i = 0; i < n; ++i)
    {
        float l = left[i] * p.inputGain;
        float r = right[i] * p.inputGain;

        for (auto& band : eq)
        {
            l = band.process (0, l);
            r = band.process (1, r);
        }

        if (p.dcFilter)
        {
            l = dc.process (0, l);
            r = dc.process (1, r);
        }

        left[i] = l;
        right[i] = r;
    }

    dsp.eqBands = eq;
    dsp.dcFilter = dc;
}

void FinalizerProcessor::widenAndLimit (float* left, float* right, int n, BlockSums& sums) const noexcept
{
    const auto& p = params;

    for (int i = 0; i < n; ++i)
    {
        const float gm = (left[i] + right[i]) / 2.0f;
        const float gs = (left[i] - right[i]) / 2.0f * p.width;
        const float l = gm + (1.0f - p.asymmetry) * gs;
        const float r = gm - (1.0f + p.asymmetry) * gs;

        float lr = p.cosRotate * l - p.sinRotate * r;
        float rr = p.cosRotate * r + p.sinRotate * l;

        const double m2 = (double) ((lr + rr) / 2.0f);
        const double s2 = (double) ((lr - rr) / 2.0f);
        sums.mid += m2 * m2;
        sums.side += s2 * s2;

        if (std::abs (lr) > p.ceilingGain) lr = std::copysign (p.ceilingGain, lr);
        if (std::abs (rr) > p.ceilingGain) rr = std::copysign (p.ceilingGain, rr);

        left[i] = lr;
        right[i] = rr;
    }
}

void FinalizerProcessor::applyOutput (float* left, float* right, int n, BlockSums& sums) const noexcept
{
    const auto& p = params;

    for (int i = 0; i < n; ++i)
    {
        const float lr = left[i] * p.outputGain;
        const float rr = right[i] * p.outputGain;

        left[i] = lr * p.leftMix;
        right[i] = rr * p.rightMix;

        sums.peakLeft = juce::jmax (sums.peakLeft, std::abs (lr));
        sums.peakRight = juce::jmax (sums.peakRight, std::abs (rr));
        sums.finiteProbe += lr * 0.0f + rr * 0.0f;
    }
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
