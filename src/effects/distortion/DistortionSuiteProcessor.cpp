// The Distortion Suite's sound: the block frame and the three kernels.
//
// The parameters are read once per block, so everything that depends only on them and the
// sample rate (input and output gains, filter coefficients, envelope and ballistics constants)
// is worked out once per block here, with exactly the expression a per-sample evaluation would
// use, so the results match a per-sample evaluation bit for bit.

#include "effects/distortion/DistortionSuiteProcessor.h"

#include "dsp/Biquad.h"
#include "dsp/Decibels.h"
#include "dsp/OnePole.h"
#include "platform/CrtRand.h"

#include <cmath>

namespace
{
    float randomUnit() noexcept
    {
        return (float) platform::crtRand() / (float) platform::crtRandMax;
    }

    float decibelsToGain (float db) noexcept
    {
        return dsp::decibelsToGain<dsp::DecibelForm::flooredNanSilent> (db);
    }

    // Triangle wave of period 4 through (0, 0), equal to u on [-1, 1]: repeated reflection at
    // +-1 for any finite u, however large. A non-finite u stays non-finite.
    float fold (float u) noexcept
    {
        if (u >= -1.0f && u <= 1.0f)
            return u;

        auto t = std::fmod (u + 1.0f, 4.0f);
        if (t < 0.0f)
            t += 4.0f;

        return t <= 2.0f ? t - 1.0f : 3.0f - t;
    }

    // Offsets come from other subsystems; a non-finite one must not latch in the smoothing.
    float finiteOrZero (float v) noexcept
    {
        return std::isfinite (v) ? v : 0.0f;
    }

    bool allFinite (std::initializer_list<float> values) noexcept
    {
        for (auto v : values)
            if (! std::isfinite (v))
                return false;

        return true;
    }

    // The one-pole highpasses are left out at 20 Hz and below (and without a rate).
    bool highpassInUse (float cutoff, double sampleRate, float& alpha) noexcept
    {
        if (! (cutoff > 20.0f && sampleRate > 0.0))
            return false;

        alpha = dsp::onePoleHighpassAlpha (cutoff, sampleRate);
        return true;
    }

    // The frame around every kernel: a non-finite input is taken as silence, a non-finite
    // kernel output falls back to the input, then the mix, the output gain and the clamp.
    template <typename Kernel>
    void processChannel (float* samples, int numSamples, double wet, double outputGain, Kernel&& kernel) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
        {
            auto x = samples[i];
            if (! std::isfinite (x))
                x = 0.0f;

            auto y = kernel (x);
            if (! std::isfinite (y))
                y = x;

            const auto out = outputGain * ((1.0 - wet) * (double) x + wet * (double) y);
            samples[i] = (float) juce::jlimit (-4.0, 4.0, out);
        }
    }
}

struct DistortionSuiteProcessor::BlockParams
{
    double sampleRate = 0.0;
    float inputGain = 1.0f;

    // Distorter
    float offs = 0.0f, even = 0.0f, odd = 0.0f, pres = 0.0f;
    float positiveSymGain = 1.0f, negativeSymGain = 1.0f, edgeBlend = 0.0f, kneeDb = 0.0f;
    bool highpassOn = false;
    float highpassAlpha = 0.0f;

    // Bitcrush
    float rate = 0.0f, jitter = 0.0f, dither = 0.0f, drift = 0.0f;
    bool holdOn = false, lowpassOn = false, cellsPerUnitIsWhole = false;
    double step = 1.0, cellsPerUnit = 1.0;
    dsp::WideBiquadCoefficients lowpass;

    // Kompressor
    float threshold = 0.0f, ratio = 1.0f, link = 0.0f, saturation = 0.0f;
    bool sidechainHighpassOn = false, sidechainLowpassOn = false, limiterOn = false;
    float sidechainHighpassAlpha = 0.0f, sidechainLowpassCoef = 0.0f, envelopeCoef = 0.0f;
    float attackCoef = 0.0f, releaseCoef = 0.0f, makeupGain = 1.0f, ceiling = 1.0f;
    float satDrive = 1.0f, satNorm = 1.0f;
};

DistortionSuiteProcessor::BlockParams DistortionSuiteProcessor::blockParams (const Values& v, double sr) noexcept
{
    using Id = ParameterId;
    BlockParams p;
    p.sampleRate = sr;
    p.inputGain = decibelsToGain (v[Id::in]);

    const auto sym = v[Id::sym];
    p.positiveSymGain = 1.0f + 1.5f * sym;
    p.negativeSymGain = 1.0f - 1.5f * sym;
    p.offs      = v[Id::offs];
    p.edgeBlend = v[Id::edge] / 10.0f;
    p.kneeDb    = 24.0f * v[Id::knee];
    p.even      = v[Id::even];
    p.odd       = v[Id::odd];
    p.pres      = v[Id::pres];
    p.highpassOn = highpassInUse (v[Id::hpf], sr, p.highpassAlpha);

    const auto bits = v[Id::bits];
    p.rate   = v[Id::rate];
    p.jitter = v[Id::jitr];
    p.dither = v[Id::dthr];
    p.drift  = v[Id::drft];
    p.holdOn = sr > 0.0 && sr * 0.99 > (double) p.rate;

    // step = 2 / 2^BITS, kept as the number of quantiser cells per unit so that an input just
    // below a cell edge is not rounded across it when the offset of 1 is added.
    p.step = 2.0 / std::pow (2.0, (double) bits);
    p.cellsPerUnit = 1.0 / p.step;
    p.cellsPerUnitIsWhole = p.cellsPerUnit == std::floor (p.cellsPerUnit);

    const auto filt = v[Id::filt];
    const auto res = v[Id::res];
    p.lowpassOn = filt < 19000.0f && sr > 0.0;
    if (p.lowpassOn)
    {
        p.lowpass = dsp::lowpassUnnormalised ((double) filt, (double) res, sr);
    }

    p.threshold  = v[Id::thrs];
    p.ratio      = v[Id::rat];
    p.link       = v[Id::link];
    p.saturation = v[Id::sat];

    p.sidechainHighpassOn = highpassInUse (v[Id::schp], sr, p.sidechainHighpassAlpha);

    const auto sclp = v[Id::sclp];
    p.sidechainLowpassOn = sclp < 20000.0f && sr > 0.0;
    if (p.sidechainLowpassOn)
    {
        p.sidechainLowpassCoef = dsp::onePoleLowpassStep (sclp, sr);
    }

    p.envelopeCoef = (float) std::exp (-1.0 / (0.01 * sr));

    const auto atk = v[Id::atk];
    p.attackCoef = (float) std::exp (-1.0 / (sr * (double) std::max (atk, 0.1f) / 1000.0));

    const double releaseSamples = sr * (double) std::max (v[Id::rel], 1.0f) / 1000.0;
    const double releaseExp = std::exp (-1.0 / releaseSamples);
    const double shape = (double) v[Id::shpe];
    p.releaseCoef = shape < 1.0 ? (float) ((1.0 - 1.0 / releaseSamples) * (1.0 - shape) + releaseExp * shape)
                                : (float) (std::exp (-2.0 / releaseSamples) * (shape - 1.0) + releaseExp * (2.0 - shape));

    if (p.saturation > 0.0f)
    {
        p.satDrive = 3.0f * p.saturation + 1.0f;
        p.satNorm = std::tanh (p.satDrive);
    }

    p.makeupGain = decibelsToGain (v[Id::mkup]);

    const auto lim = v[Id::lim];
    p.limiterOn = lim < 0.0f;
    if (p.limiterOn)
        p.ceiling = dsp::decibelsToGain<dsp::DecibelForm::unfloored> (lim);

    return p;
}

const std::array<DistortionSuiteProcessor::ParameterInfo, DistortionSuiteParameters::count>&
DistortionSuiteProcessor::parameterInfo() noexcept
{
    static constexpr std::array<ParameterInfo, Parameters::count> table {{
        { "IN",    -48.0,    48.0,     0.0 },
        { "DRIVE",   0.0,    16.0,     1.0 },
        { "MIX",     0.0,   100.0,     0.0 },
        { "OUT",   -48.0,    24.0,     0.0 },
        { "SYM",    -2.0,     2.0,     0.0 },
        { "OFFS",   -2.0,     2.0,     0.0 },
        { "EDGE",    0.0,    10.0,     1.0 },
        { "KNEE",    0.0,     2.0,     0.5 },
        { "EVEN",    0.0,     2.0,     0.0 },
        { "ODD",     0.0,     2.0,     0.0 },
        { "HPF",    10.0, 10000.0,    20.0 },
        { "PRES",    0.0,     4.0,     0.0 },
        { "BITS",    1.0,    24.0,    16.0 },
        { "RATE",  100.0, 96000.0, 44100.0 },
        { "JITR",    0.0,     1.0,     0.0 },
        { "DTHR",    0.0,     2.0,     0.0 },
        { "FILT",   20.0, 20000.0, 20000.0 },
        { "RES",     0.1,    10.0,     0.7 },
        { "DRFT",    0.0,     1.0,     0.0 },
        { "WIDE",    0.0,     2.0,     1.0 },
        { "THRS",  -80.0,    12.0,   -12.0 },
        { "RAT",     1.0,   100.0,     4.0 },
        { "ATK",     0.01, 1000.0,    10.0 },
        { "REL",     0.1, 10000.0,   100.0 },
        { "MKUP",  -24.0,    36.0,     0.0 },
        { "SAT",     0.0,     4.0,     0.0 },
        { "SCHP",   10.0, 10000.0,    20.0 },
        { "SCLP",  100.0, 22050.0, 22050.0 },
        { "LINK",    0.0,     2.0,     1.0 },
        { "LIM",   -24.0,     0.0,     0.0 },
        { "SHPE",    0.0,     2.0,     1.0 },
    }};

    return table;
}

DistortionSuiteProcessor::DistortionSuiteProcessor()
{
    for (size_t i = 0; i < parameters.values.size(); ++i)
        parameters.values[i].store ((float) parameterInfo()[i].defaultValue, std::memory_order_relaxed);
}

void DistortionSuiteProcessor::prepare (double newSampleRate, int)
{
    setSampleRate (newSampleRate);
    reset();
}

void DistortionSuiteProcessor::reset()
{
    // The randomiser offsets are left alone: they follow their targets over thousands of
    // blocks, and a device restart must not drop them back to zero.
    channelState.fill ({});
}

bool DistortionSuiteProcessor::isActive() const noexcept
{
    return ! parameters.bypassed.load (std::memory_order_relaxed) && getParameter (Parameters::mix) > 0.01f;
}

DistortionSuiteProcessor::Values DistortionSuiteProcessor::loadValues() const noexcept
{
    Values v;
    for (size_t i = 0; i < v.values.size(); ++i)
        v.values[i] = parameters.values[i].load (std::memory_order_relaxed);

    return v;
}

void DistortionSuiteProcessor::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    if (parameters.bypassed.load (std::memory_order_relaxed) || numSamples < 1)
        return;

    const juce::ScopedNoDenormals noDenormals;

    for (size_t i = 0; i < randomiserOffsets.size(); ++i)
    {
        const auto target = finiteOrZero (parameters.randomiserOffsetTargets[i].load (std::memory_order_relaxed));
        dsp::smoothTowards (randomiserOffsets[i], target, 0.001f);
    }

    const auto values = loadValues();

    const double driveSum = (double) values[Parameters::drive]
                          + (double) finiteOrZero (parameters.korruptOffsets[0].load (std::memory_order_relaxed))
                          + (double) randomiserOffsets[0];
    const auto drive = (float) (driveSum < 0.0 ? 0.0 : std::min (driveSum, 16.0));

    const auto mixFloor = finiteOrZero (parameters.korruptOffsets[2].load (std::memory_order_relaxed)) + randomiserOffsets[2];
    const auto wet = (double) juce::jlimit (0.0f, 1.0f, std::max (values[Parameters::mix], mixFloor) / 100.0f);

    const auto outputGain = (double) juce::jlimit (0.0f, 10.0f, decibelsToGain (values[Parameters::out]));

    const auto currentMode = getMode();
    const auto params = blockParams (values, getSampleRate());

    const auto dry = [] (float x) noexcept { return x; };

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
    {
        auto* samples = buffer.getWritePointer (ch, startSample);

        // The kernels keep state for a stereo pair; further channels get the dry path.
        if (ch >= stateChannels)
        {
            processChannel (samples, numSamples, wet, outputGain, dry);
            continue;
        }

        auto& state = channelState[(size_t) ch];

        switch (currentMode)
        {
            case distorterMode:
                processChannel (samples, numSamples, wet, outputGain,
                                [&] (float x) noexcept { return processDistorterSample (x, drive, params, state); });
                break;

            case bitcrushMode:
                processChannel (samples, numSamples, wet, outputGain,
                                [&] (float x) noexcept { return processBitcrushSample (x, params, state); });
                break;

            case kompressorMode:
                processChannel (samples, numSamples, wet, outputGain,
                                [&] (float x) noexcept { return processKompressorSample (x, ch, params); });
                break;

            default:
                processChannel (samples, numSamples, wet, outputGain, dry);
                break;
        }
    }
}

float DistortionSuiteProcessor::processDistorterSample (float x, float drive, const BlockParams& p, ChannelState& s) noexcept
{
    x *= p.inputGain;

    if (p.highpassOn)
    {
        x = s.distHighpass.process (x, p.highpassAlpha);

        // An overflowing input must not leave inf - inf behind to poison every later sample.
        if (! allFinite ({ s.distHighpass.in, s.distHighpass.out }))
            s.distHighpass.clear();
    }

    const auto v = (x + 0.5f * p.offs) * 4.0f * drive;
    const auto u = v * (v > 0.0f ? p.positiveSymGain : p.negativeSymGain);

    const auto hard = juce::jlimit (-1.0f, 1.0f, u);
    const auto e = p.edgeBlend;

    float a;
    if (e < 0.5f)
    {
        const auto soft = std::tanh (1.5f * u);
        a = (1.0f - 2.0f * e) * soft + 2.0f * e * hard;
    }
    else
    {
        const auto c = 2.0f * (e - 0.5f);
        a = (1.0f - c) * hard + c * fold (u);
    }

    const auto kneeDb = p.kneeDb;
    if (kneeDb > 0.1f)
    {
        const auto level = 20.0f * std::log10 (std::abs (a) + 0.0001f);
        if (level > -6.0f - kneeDb && level < kneeDb - 6.0f)
        {
            const auto t = (level + 6.0f + kneeDb) / (2.0f * kneeDb);
            a *= 1.0f - 0.3f * t * t;
        }
    }

    auto h = a + 0.8f * p.even * (a * a - 0.5f) + 0.8f * p.odd * (a * a * a - 0.75f * a);

    if (p.pres > 0.0f)
    {
        const auto d = h - s.distPresencePrev;
        s.distPresencePrev = std::isfinite (h) ? h : 0.0f;
        h += 2.0f * p.pres * d;
    }

    return juce::jlimit (-1.0f, 1.0f, 1.2f * std::tanh (0.8f * h));
}

float DistortionSuiteProcessor::processBitcrushSample (float x, const BlockParams& p, ChannelState& s) noexcept
{
    x *= p.inputGain;

    if (p.holdOn)
    {
        auto m = 1.0f;
        if (p.jitter > 0.0f)
            m = 1.0f + 0.5f * p.jitter * (randomUnit() - 0.5f);

        s.crushHoldPhase += (float) ((double) (m * p.rate) / p.sampleRate);
        if (s.crushHoldPhase >= 1.0f)
        {
            s.crushHoldPhase = std::fmod (s.crushHoldPhase, 1.0f);
            s.crushHeldSample = x;
        }

        if (! allFinite ({ s.crushHoldPhase, s.crushHeldSample }))
            s.crushHoldPhase = s.crushHeldSample = 0.0f;

        x = s.crushHeldSample;
    }

    if (p.dither > 0.0f)
    {
        const auto r1 = randomUnit();
        const auto r2 = randomUnit();
        x += 0.1f * p.dither * ((r1 - 0.5f) + (r2 - 0.5f));
    }

    const auto scaled = (double) x * p.cellsPerUnit;
    const auto cell = p.cellsPerUnitIsWhole ? std::floor (scaled) + p.cellsPerUnit
                                            : std::floor (scaled + p.cellsPerUnit);
    auto y = (float) (cell * p.step - 1.0 + p.step / 2.0);

    if (p.drift > 0.0f)
    {
        if (0.1f * p.drift > randomUnit())
            y = s.crushDriftHeld;

        s.crushDriftHeld = std::isfinite (y) ? y : 0.0f;

        if (0.02f * p.drift > randomUnit())
            y += p.drift * (randomUnit() - 0.5f);
    }

    if (p.lowpassOn)
    {
        y = s.crushLowpass.process (p.lowpass, y);

        if (! s.crushLowpass.isFinite())
            s.crushLowpass.clear();
    }

    return juce::jlimit (-1.0f, 1.0f, y);
}

float DistortionSuiteProcessor::processKompressorSample (float x, int channel, const BlockParams& p) noexcept
{
    auto& s = channelState[(size_t) channel];

    x *= p.inputGain;
    auto d = x;

    if (p.sidechainHighpassOn)
    {
        d = s.kompSidechainHighpass.process (d, p.sidechainHighpassAlpha);
    }

    if (p.sidechainLowpassOn)
    {
        d = s.kompSidechainLowpass.process (d, p.sidechainLowpassCoef);
    }

    s.kompEnvelope = (1.0f - p.envelopeCoef) * std::abs (d) + p.envelopeCoef * s.kompEnvelope;

    const auto sum = s.kompEnvelope + 0.00001f;
    const auto level = dsp::gainToDecibels (sum);

    auto target = 1.0f;
    if (level > p.threshold)
    {
        const auto gainDb = (level - p.threshold) / p.ratio + p.threshold - level;
        target = decibelsToGain (gainDb);
    }

    const auto coef = s.kompGain > target ? p.attackCoef : p.releaseCoef;
    s.kompGain = (1.0f - coef) * target + coef * s.kompGain;

    if (! allFinite ({ s.kompSidechainHighpass.in, s.kompSidechainHighpass.out, s.kompSidechainLowpass.state,
                       s.kompEnvelope, s.kompGain }))
    {
        s.kompSidechainHighpass.clear();
        s.kompSidechainLowpass.clear();
        s.kompEnvelope = 0.0f;
        s.kompGain = 1.0f;
    }

    auto g = s.kompGain;
    if (p.link > 0.0f && channel == 1)
        g = (1.0f - p.link) * channelState[1].kompGain + p.link * channelState[0].kompGain;

    auto y = x * g;

    if (p.saturation > 0.0f)
    {
        y = std::tanh (p.satDrive * y) / p.satNorm;
        y += 0.1f * p.saturation * (y * y - 0.5f) * (y > 0.0f ? 1.0f : -1.0f);
    }

    y *= p.makeupGain;

    if (p.limiterOn && std::abs (y) > p.ceiling)
        y = p.ceiling * std::tanh (y / p.ceiling);

    return juce::jlimit (-1.0f, 1.0f, y);
}
