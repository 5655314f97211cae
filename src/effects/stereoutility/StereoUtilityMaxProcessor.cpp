#include "effects/stereoutility/StereoUtilityMaxBlockSettings.h"

#include "dsp/Decibels.h"
#include "dsp/OnePole.h"

#include <algorithm>
#include <cmath>

namespace
{
    using Knob = StereoUtilityMaxParameters::Knob;

    constexpr float pi = 3.1415927f;
    constexpr float twoPi = 6.2831855f;

    // Base delays of the four decorrelation stages in seconds; each line holds its base plus 100
    // samples, so the stretched left offsets of the longer stages fold back into the line.
    constexpr std::array<float, 4> decorrelationSeconds { 0.0051f, 0.0073f, 0.0109f, 0.0149f };
    constexpr std::array<double, 4> decorrelationSecondsWide { 0.0051, 0.0073, 0.0109, 0.0149 };

    constexpr std::array<float, 8> tapPositions { 0.12f, 0.23f, 0.37f, 0.47f, 0.59f, 0.71f, 0.83f, 0.97f };

    /** The crossovers' and the mono bass's section: a Butterworth-like low-pass with alpha
        sin w / 1.4142, worked out in float. */
    dsp::BiquadCoefficients lowpassAt (float frequency, double sampleRate) noexcept
    {
        return dsp::rbj (dsp::BiquadShape::lowpass, frequency, 0.7071f, 1.0f, sampleRate);
    }

    /** An offset another thread wrote; anything not finite counts as none. */
    float offset (const std::atomic<float>& value) noexcept
    {
        const auto v = value.load (std::memory_order_relaxed);
        return std::isfinite (v) ? v : 0.0f;
    }

    float clean (float x) noexcept { return std::isfinite (x) ? x : 0.0f; }

    void resizeLine (std::vector<float>& line, double samples)
    {
        line.assign ((size_t) std::max (0.0, samples), 0.0f);
    }
}

//==============================================================================
void StereoUtilityMaxProcessor::prepare (double newSampleRate, int)
{
    if (! (newSampleRate > 0.0) || ! std::isfinite (newSampleRate))
        return;

    sampleRate.store (newSampleRate, std::memory_order_relaxed);
    const double sr = newSampleRate;

    for (auto& line : fineDelayLine)  resizeLine (line, sr * 0.05);
    resizeLine (itdLine, sr * 0.1);
    resizeLine (haasLine, sr * 0.05);
    for (auto& line : pitchLine)      resizeLine (line, sr * 0.2);
    for (auto& line : chorusLine)     resizeLine (line, sr * 0.1);
    for (auto& channel : decorLine)
        for (size_t j = 0; j < channel.size(); ++j)
            channel[j].assign ((size_t) (sr * decorrelationSecondsWide[j]) + 100, 0.0f);
    for (auto& line : earlyLine)      resizeLine (line, sr * 0.5);

    clearState();
}

void StereoUtilityMaxProcessor::reset()
{
    for (auto* line : { &itdLine, &haasLine, &fineDelayLine[0], &fineDelayLine[1], &pitchLine[0], &pitchLine[1],
                        &chorusLine[0], &chorusLine[1], &earlyLine[0], &earlyLine[1] })
        std::fill (line->begin(), line->end(), 0.0f);

    for (auto& channel : decorLine)
        for (auto& line : channel)
            std::fill (line.begin(), line.end(), 0.0f);

    clearState();
}

void StereoUtilityMaxProcessor::clearState() noexcept
{
    for (auto& section : lowSplit)  section.clear();
    for (auto& section : highSplit) section.clear();
    monoBassFilter.clear();
    sideEnvelope = 0.0f;

    itdWrite = haasWrite = pitchWrite = chorusWrite = earlyWrite = 0;
    fineDelayWrite = {};
    thiran = {};
    phaseState = {};
    pitchRead = {};
    chorusPhase = 0.0f;
    decorWrite = {};
    decorLast = {};
    fdnNodes = {};
    fdnDamp = {};
}

bool StereoUtilityMaxProcessor::isActive() const noexcept
{
    return ! parameters.bypassed.load (std::memory_order_relaxed)
        && (parameters.leftMix.load (std::memory_order_relaxed) > 0.01f
            || parameters.rightMix.load (std::memory_order_relaxed) > 0.01f);
}

//==============================================================================
float StereoUtilityMaxProcessor::leftWetWeight() const noexcept
{
    const float floor = offset (randomMixOffset) + offset (parameters.modMixOffset);
    return std::max (floor, parameters.knob (Knob::leftMix)) / 100.0f;
}

float StereoUtilityMaxProcessor::rightWetWeight() const noexcept
{
    const float floor = offset (randomMixOffset) + offset (parameters.modMixOffset);
    return std::max (floor, parameters.knob (Knob::rightMix)) / 100.0f;
}

float StereoUtilityMaxProcessor::widthFactor() const noexcept
{
    const float sum = parameters.knob (Knob::width) + offset (parameters.modWidthOffset) + offset (randomWidthOffset);
    return std::clamp (sum, 0.0f, 200.0f) / 100.0f;
}

float StereoUtilityMaxProcessor::balance() const noexcept
{
    const float sum = parameters.knob (Knob::balance) + offset (parameters.modBalanceOffset) + offset (randomBalanceOffset);
    return std::clamp (sum, -100.0f, 100.0f) / 100.0f;
}

void StereoUtilityMaxProcessor::smoothRandomiserOffsets() noexcept
{
    const auto step = [] (std::atomic<float>& value, const std::atomic<float>& target)
    {
        float v = value.load (std::memory_order_relaxed);
        dsp::smoothTowards (v, offset (target), 0.001f);
        value.store (v, std::memory_order_relaxed);
    };

    step (randomWidthOffset, parameters.randomWidthTarget);
    step (randomBalanceOffset, parameters.randomBalanceTarget);
    step (randomMixOffset, parameters.randomMixTarget);
}

StereoUtilityMaxProcessor::Geometry StereoUtilityMaxProcessor::currentGeometry() const noexcept
{
    const auto& p = parameters;
    const float sr = (float) getSampleRate();
    Geometry g;

    g.timeDifferenceSamples = p.knob (Knob::timeDifference) * sr / 1000000.0f;
    g.leftFineDelay = std::abs (p.knob (Knob::leftDelay)) * sr / 1000000.0f;
    g.rightFineDelay = std::abs (p.knob (Knob::rightDelay)) * sr / 1000000.0f;

    const int haasLength = (int) haasLine.size();
    const int haas = (int) (p.knob (Knob::haas) * sr / 1000.0f);
    g.haasSamples = haas < 1 ? 1 : std::min (haas, haasLength - 1);

    for (size_t j = 0; j < decorrelationSeconds.size(); ++j)
    {
        const float base = sr * decorrelationSeconds[j];
        const int leftLength = (int) decorLine[0][j].size(), rightLength = (int) decorLine[1][j].size();
        g.decorrelationBase[j] = base;
        g.decorrelationLeft[j] = leftLength > 0 ? (int) (base * (1.0f + 0.1f * (float) j)) % leftLength : 0;
        g.decorrelationRight[j] = rightLength > 0 ? (int) (base * (1.0f - 0.07f * (float) j)) % rightLength : 0;
    }

    const float direct = p.knob (Knob::iacc) / 100.0f, diffusion = p.knob (Knob::diffusion) / 100.0f;
    g.decorrelationGain = (0.5f + 0.4f * diffusion) * (0.5f + 0.4f * (1.0f - direct));

    const float room = p.knob (Knob::room) / 100.0f;
    const int earlyLength = (int) earlyLine[0].size();
    g.reflectionSpacing = sr * (room * 0.049f + 0.001f);
    for (size_t k = 0; k < tapPositions.size(); ++k)
    {
        const int d = (int) (g.reflectionSpacing * tapPositions[k]);
        g.reflectionTaps[k] = d < 1 ? 1 : std::min (d, earlyLength - 1);
    }

    return g;
}

//==============================================================================
StereoUtilityMaxProcessor::BlockSettings StereoUtilityMaxProcessor::readSettings() noexcept
{
    const auto& p = parameters;
    const auto k = [&p] (Knob knob) { return p.knob (knob); };
    const auto gain = [&k] (Knob knob) { return dsp::decibelsToGain (k (knob)); };
    const double rate = getSampleRate();

    BlockSettings s;
    s.sampleRate = (float) rate;
    const float sr = s.sampleRate;
    s.leftWet = leftWetWeight();
    s.rightWet = rightWetWeight();
    s.trim = gain (Knob::trim);

    s.lowSplit = lowpassAt (k (Knob::lowCrossover), rate);
    s.highSplit = lowpassAt (k (Knob::highCrossover), rate);
    s.bandWidth = { k (Knob::lowWidth) / 100.0f, k (Knob::midWidth) / 100.0f, k (Knob::highWidth) / 100.0f };
    s.midGain = gain (Knob::mid);
    s.sideGain = gain (Knob::side) * widthFactor();

    s.ratio = k (Knob::dynamicsRatio);
    s.dynamics = s.ratio != 1.0f;
    s.threshold = gain (Knob::dynamicsThreshold);
    s.attack = std::exp (-1.0f / (k (Knob::dynamicsAttack) * sr / 1000.0f));
    s.release = std::exp (-1.0f / (sr * k (Knob::dynamicsRelease) / 1000.0f));

    s.extraction = k (Knob::extraction) / 100.0f;
    s.centreGain = gain (Knob::centre);
    s.sidesGain = gain (Knob::sides);

    const float angle = k (Knob::rotation) * pi / 180.0f;
    s.rotate = std::abs (angle) > 0.001f;
    s.rotationCos = std::cos (angle);
    s.rotationSin = std::sin (angle);

    const float ild = k (Knob::levelDifference);
    s.levelDifference = std::abs (ild) > 0.1f;
    s.levelLeft = dsp::decibelsToGain (ild / 2.0f);
    s.levelRight = dsp::decibelsToGain (-ild / 2.0f);

    s.geometry = currentGeometry();
    readDelaySettings (s);
    readSpaceSettings (s);

    const float b = balance();
    s.balance = std::abs (b) > 0.01f;
    const float theta = 0.5f * (0.5f * (1.0f + b) * pi);
    s.balanceLeft = std::cos (theta) * 1.414f;
    s.balanceRight = std::sin (theta) * 1.414f;

    const float monoCorner = k (Knob::monoBelow);
    s.monoBass = monoCorner > 25.0f;
    s.monoBassCoefficients = lowpassAt (monoCorner, rate);
    return s;
}

void StereoUtilityMaxProcessor::readDelaySettings (BlockSettings& s) const noexcept
{
    const auto& p = parameters;
    const auto& g = s.geometry;
    const float sr = s.sampleRate;

    s.timeDifference = g.timeDifferenceSamples > 0.1f && itdLine.size() >= 5;

    const float leftDelay = p.knob (Knob::leftDelay), rightDelay = p.knob (Knob::rightDelay);
    s.fineDelays = fineDelayLine[0].size() >= 5;
    s.writeLeftDelay = std::abs (leftDelay) > 0.1f;
    s.writeRightDelay = std::abs (rightDelay) > 0.1f;
    s.hearLeftDelay = leftDelay > 0.0f;
    s.hearRightDelay = rightDelay > 0.0f;
    const auto thiranCoefficient = [] (float d)
    {
        const float f = d - (float) (int) d;
        return (1.0f - f) / (1.0f + f);
    };
    s.leftThiran = thiranCoefficient (g.leftFineDelay);
    s.rightThiran = thiranCoefficient (g.rightFineDelay);

    const float phase = p.knob (Knob::phase);
    s.phase = phase > 0.1f;
    s.phaseBlend = phase / 180.0f;
    for (size_t k = 0; k < s.allpass.size(); ++k)
    {
        const float f = 20.0f * std::pow (1000.0f, (float) k / 7.0f);
        const float t = std::tan (0.5f * f * twoPi / sr);
        s.allpass[k] = (t - 1.0f) / (t + 1.0f);
    }

    s.haas = p.knob (Knob::haas) > 0.1f && haasLine.size() >= 5;

    const float cents = p.knob (Knob::pitch);
    s.pitch = cents > 0.1f && pitchLine[0].size() >= 257;
    s.pitchUp = std::pow (2.0f, cents / 1200.0f);
    s.pitchDown = 1.0f / s.pitchUp;
    s.pitchAmount = cents / 50.0f;

    s.chorusDepth = p.knob (Knob::modDepth) / 100.0f;
    s.chorus = s.chorusDepth > 0.01f && chorusLine[0].size() >= 257;
    s.chorusStep = p.knob (Knob::modRate) / sr;
}

void StereoUtilityMaxProcessor::readSpaceSettings (BlockSettings& s) const noexcept
{
    const auto& p = parameters;

    s.directWeight = p.knob (Knob::iacc) / 100.0f;
    s.decorrelate = s.directWeight < 0.99f;

    s.room = p.knob (Knob::room) / 100.0f;
    s.reflections = s.room > 0.01f && earlyLine[0].size() >= 257;
    s.diffusion = p.knob (Knob::diffusion) / 100.0f;
    s.network = s.diffusion > 0.01f;
    s.reflectionGain = dsp::decibelsToGain (p.knob (Knob::early));
    s.damping = 0.7f - 0.3f * s.room;
}

//==============================================================================
void StereoUtilityMaxProcessor::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    if (parameters.bypassed.load (std::memory_order_relaxed))
        return;

    startSample = std::max (0, startSample);
    numSamples = std::min (numSamples, buffer.getNumSamples() - startSample);

    if (buffer.getNumChannels() < 2 || numSamples <= 0 || fineDelayLine[0].size() < 4)
        return;

    float* left = buffer.getWritePointer (0, startSample);
    float* right = buffer.getWritePointer (1, startSample);
    if (left == nullptr || right == nullptr)
        return;

    smoothRandomiserOffsets();
    const auto settings = readSettings();
    processSamples (left, right, numSamples, settings);

    if (auto* t = tap.load (std::memory_order_acquire))
        t->outputBlock (left, right, numSamples);
}

void StereoUtilityMaxProcessor::processSamples (float* left, float* right, int numSamples,
                                                const BlockSettings& s) noexcept
{
    for (int n = 0; n < numSamples; ++n)
    {
        // A non-finite sample from upstream would stay in every line and filter it reaches.
        const float dryL = clean (left[n]), dryR = clean (right[n]);

        Pair x = splitBands ({ dryL, dryR }, s);
        float mid = 0.5f * (x.left + x.right), side = 0.5f * (x.left - x.right);

        if (s.dynamics)
            side = sideDynamics (side, s);

        mid *= s.midGain;
        side *= s.sideGain;

        if (s.extraction > 0.0f)
            extractCentre (mid, side, s);

        x = { mid + side, mid - side };

        if (s.rotate)
            x = { x.left * s.rotationCos - x.right * s.rotationSin, x.right * s.rotationCos + x.left * s.rotationSin };

        if (s.levelDifference)
            x = { x.left * s.levelLeft, x.right * s.levelRight };

        if (s.timeDifference) x.right = timeDifference (x.right, s);
        if (s.fineDelays)     x = fineDelays (x, s);
        if (s.phase)          x = phaseRotation (x, s);
        if (s.haas)           x.right = haasDelay (x.right, s);
        if (s.pitch)          x = pitchSpread (x, s);
        if (s.chorus)         x = chorus (x, s);
        if (s.decorrelate)    x = decorrelate (x, s);
        if (s.reflections)    x = earlyReflections (x, s);

        if (s.balance)
            x = { x.left * s.balanceLeft, x.right * s.balanceRight };

        if (s.monoBass)
            x = monoBass (x, s);

        const float wetL = std::tanh (clean (x.left * s.trim)), wetR = std::tanh (clean (x.right * s.trim));
        left[n] = std::clamp (dryL * (1.0f - s.leftWet) + wetL * s.leftWet, -1.0f, 1.0f);
        right[n] = std::clamp (dryR * (1.0f - s.rightWet) + wetR * s.rightWet, -1.0f, 1.0f);
    }
}

//==============================================================================
StereoUtilityMaxProcessor::Pair StereoUtilityMaxProcessor::splitBands (Pair x, const BlockSettings& s) noexcept
{
    // The low and mid bands are cut from what is left, so the three bands add back to the input.
    std::array<std::array<float, 2>, 3> band;   // [low, mid, high][left, right]
    const float in[2] = { x.left, x.right };

    for (int c = 0; c < 2; ++c)
    {
        const float low = lowSplit[1].channels[(size_t) c].process (s.lowSplit,
                              lowSplit[0].channels[(size_t) c].process (s.lowSplit, in[c]));
        const float rest = in[c] - low;
        const float midBand = highSplit[1].channels[(size_t) c].process (s.highSplit,
                                  highSplit[0].channels[(size_t) c].process (s.highSplit, rest));
        band[0][(size_t) c] = low;
        band[1][(size_t) c] = midBand;
        band[2][(size_t) c] = rest - midBand;
    }

    std::array<float, 3> m, sd;
    for (size_t b = 0; b < 3; ++b)
    {
        m[b] = 0.5f * (band[b][0] + band[b][1]);
        sd[b] = 0.5f * (band[b][0] - band[b][1]) * s.bandWidth[b];
    }

    return { (sd[1] + m[1]) + (sd[0] + m[0]) + (sd[2] + m[2]),
             (m[1] - sd[1]) + (m[0] - sd[0]) + (m[2] - sd[2]) };
}

float StereoUtilityMaxProcessor::sideDynamics (float side, const BlockSettings& s) noexcept
{
    const float level = std::abs (side);
    const float coefficient = level > sideEnvelope ? s.attack : s.release;
    sideEnvelope = level * (1.0f - coefficient) + coefficient * sideEnvelope;

    if (sideEnvelope > s.threshold)
        return side * std::pow (10.0f, std::log10 (sideEnvelope / s.threshold) * -20.0f * (1.0f - 1.0f / s.ratio) / 20.0f);

    if (s.ratio < 1.0f)
    {
        const float e = sideEnvelope > 0.0001f ? sideEnvelope : 0.0001f;
        return side * std::pow (10.0f, std::log10 (s.threshold / e) * -20.0f * (1.0f - s.ratio) / 20.0f);
    }

    return side;
}

void StereoUtilityMaxProcessor::extractCentre (float& mid, float& side, const BlockSettings& s) noexcept
{
    const float x = s.extraction;
    const float mask = std::pow (mid * mid / (0.0001f + mid * mid + side * side), 0.5f + x);
    side *= s.sidesGain;
    mid = (1.0f - 0.5f * x) * (mid * s.centreGain) + x * (mid * mask) * 0.7f;
}

StereoUtilityMaxProcessor::Pair StereoUtilityMaxProcessor::monoBass (Pair x, const BlockSettings& s) noexcept
{
    const float lowL = monoBassFilter.channels[0].process (s.monoBassCoefficients, x.left);
    const float lowR = monoBassFilter.channels[1].process (s.monoBassCoefficients, x.right);
    const float m = 0.5f * (lowL + lowR);
    return { (x.left - lowL) + m, (x.right - lowR) + m };
}

bool StereoUtilityMaxProcessor::stateIsFinite() const noexcept
{
    const auto finite = [] (const std::vector<float>& line)
    {
        return std::all_of (line.begin(), line.end(), [] (float v) { return std::isfinite (v); });
    };

    bool ok = finite (itdLine) && finite (haasLine) && std::isfinite (sideEnvelope);
    for (int c = 0; c < 2; ++c)
    {
        ok = ok && finite (fineDelayLine[(size_t) c]) && finite (pitchLine[(size_t) c])
                && finite (chorusLine[(size_t) c]) && finite (earlyLine[(size_t) c]);
        for (auto& line : decorLine[(size_t) c])
            ok = ok && finite (line);
    }

    for (auto& section : lowSplit)  ok = ok && section.isFinite();
    for (auto& section : highSplit) ok = ok && section.isFinite();
    ok = ok && monoBassFilter.isFinite();

    for (int i = 0; i < 4; ++i)
        ok = ok && std::isfinite (fdnNodes[(size_t) i]) && std::isfinite (fdnDamp[(size_t) i]);

    return ok;
}
