#include "effects/delayverb/DelayVerbProcessor.h"

#include <algorithm>
#include <cmath>

namespace
{
    constexpr float twoPi = 6.2831855f;
    constexpr float halfPi = 1.5707964f;

    inline float finiteOrZero (float x) noexcept { return std::isfinite (x) ? x : 0.0f; }

    /** trunc (x), held within lo..hi before it becomes an int (so huge values stay defined). */
    inline int truncatedWithin (double x, int lo, int hi) noexcept
    {
        return (int) std::clamp (std::trunc (x), (double) lo, (double) hi);
    }
}

/** What a block works with, worked out once at its start. */
struct DelayVerbProcessor::BlockSettings
{
    int delayLeft = 1, delayRight = 1, preDelay = 1;
    float feedback = 0.0f;
    float delayMixLeft = 0.0f, delayMixRight = 0.0f, reverbMixLeft = 0.0f, reverbMixRight = 0.0f;
    float dryLeft = 1.0f, dryRight = 1.0f;
    float lowpassCoef = 0.0f, highpassCoef = 0.0f;
    float combFeedback = 0.0f, dampStep = 1.0f;
    float late = 0.0f, width = 1.0f;
    float modDepth = 0.0f;
    double phaseIncrement = 0.0, rate = 44100.0;
    float panCos = 1.0f, panSin = 0.0f, pingPong = 0.0f;
};

//==============================================================================
void DelayVerbProcessor::prepare (double newSampleRate, int)
{
    // Lines keep what they hold: resizing zero-fills only new space.
    const bool usable = std::isfinite (newSampleRate) && newSampleRate > 0.0;
    const double rate = usable ? newSampleRate : 0.0;
    if (usable)
        sampleRate.store (newSampleRate, std::memory_order_relaxed);

    for (int c = 0; c < 2; ++c)
    {
        delayLine[(size_t) c].resize ((size_t) (rate * 5.0));
        for (int k = 1; k <= numCombs; ++k)
            comb[(size_t) c][(size_t) k - 1].resize ((size_t) ((double) k * (rate * 0.05)));
        for (int j = 1; j <= numAllpasses; ++j)
            allpass[(size_t) c][(size_t) j - 1].resize ((size_t) ((double) j * (rate * 0.02)));
        preDelay[(size_t) c].resize ((size_t) (rate * 0.25));
    }

    clearPositionsAndFilters();
}

void DelayVerbProcessor::clearPositionsAndFilters() noexcept
{
    delayWriteIndex = {};
    combIndex = {};
    allpassIndex = {};
    preDelayWriteIndex = 0;
    feedbackLowpass = {};
    feedbackHighpass = {};
    combDamp = {};
}

void DelayVerbProcessor::reset()
{
    for (int c = 0; c < 2; ++c)
    {
        std::fill (delayLine[(size_t) c].begin(), delayLine[(size_t) c].end(), 0.0f);
        std::fill (preDelay[(size_t) c].begin(), preDelay[(size_t) c].end(), 0.0f);
        for (auto& line : comb[(size_t) c])    std::fill (line.begin(), line.end(), 0.0f);
        for (auto& line : allpass[(size_t) c]) std::fill (line.begin(), line.end(), 0.0f);
    }

    clearPositionsAndFilters();
    modPhase = 0.0f;
}

bool DelayVerbProcessor::linesAreFinite() const noexcept
{
    const auto finite = [] (const std::vector<float>& line)
    {
        return std::all_of (line.begin(), line.end(), [] (float x) { return std::isfinite (x); });
    };

    for (int c = 0; c < 2; ++c)
    {
        if (! finite (delayLine[(size_t) c]) || ! finite (preDelay[(size_t) c]))
            return false;
        for (auto& line : comb[(size_t) c])    if (! finite (line)) return false;
        for (auto& line : allpass[(size_t) c]) if (! finite (line)) return false;
    }
    return true;
}

//==============================================================================
float DelayVerbProcessor::knobValue (DelayVerbParameters::Knob k) const noexcept
{
    // The knobs never leave their ranges; a value written some other way is held to them, so
    // every index below stays within one wrap of its line.
    const auto& spec = DelayVerbParameters::knobTable()[(size_t) k];
    const auto value = parameters.knob (k);
    if (! std::isfinite (value))
        return (float) spec.defaultValue;
    return std::clamp (value, (float) spec.minimum, (float) spec.maximum);
}

float DelayVerbProcessor::offset (const std::atomic<float>& value) const noexcept
{
    return finiteOrZero (value.load (std::memory_order_relaxed));
}

float DelayVerbProcessor::getRandomiserOffset (int index) const noexcept
{
    return randomiserOffsets[(size_t) index].load (std::memory_order_relaxed);
}

namespace
{
    float delayMix (float knob, float korruptOffset, float randomiserOffset) noexcept
    {
        const auto floor = (double) korruptOffset + (double) randomiserOffset;
        return (float) std::max (floor, (double) knob);
    }

    float reverbMix (float knob, float korruptOffset, float randomiserOffset) noexcept
    {
        const auto sum = (double) korruptOffset + (double) knob + (double) randomiserOffset;
        return (float) std::clamp (sum, 0.0, 100.0);
    }
}

float DelayVerbProcessor::getDelayLeftMix() const noexcept
{
    return delayMix (knobValue (DelayVerbParameters::delayLeft), offset (parameters.korruptOffsets[3]), getRandomiserOffset (2));
}

float DelayVerbProcessor::getDelayRightMix() const noexcept
{
    return delayMix (knobValue (DelayVerbParameters::delayRight), offset (parameters.korruptOffsets[3]), getRandomiserOffset (2));
}

float DelayVerbProcessor::getReverbLeftMix() const noexcept
{
    return reverbMix (knobValue (DelayVerbParameters::reverbLeft), offset (parameters.korruptOffsets[2]), getRandomiserOffset (3));
}

float DelayVerbProcessor::getReverbRightMix() const noexcept
{
    return reverbMix (knobValue (DelayVerbParameters::reverbRight), offset (parameters.korruptOffsets[2]), getRandomiserOffset (3));
}

float DelayVerbProcessor::getSyncedDelayMs() const noexcept
{
    return delayverb::syncedDelayMs (parameters.bpm.load (std::memory_order_relaxed),
                                     parameters.note.load (std::memory_order_relaxed),
                                     parameters.type.load (std::memory_order_relaxed));
}

bool DelayVerbProcessor::isActive() const noexcept
{
    return ! parameters.bypassed.load (std::memory_order_relaxed)
        && (getDelayLeftMix() > 0.01f || getDelayRightMix() > 0.01f
            || getReverbLeftMix() > 0.01f || getReverbRightMix() > 0.01f);
}

float DelayVerbProcessor::combFeedback (float decaySeconds, float sizePercent) noexcept
{
    const float decay = std::clamp (decaySeconds, 0.1f, 20.0f);
    const float size = std::clamp (sizePercent, 10.0f, 100.0f);
    return std::min (0.92f, (decay / 20.0f * 0.25f + 0.7f) * size / 100.0f);
}

//==============================================================================
void DelayVerbProcessor::smoothRandomiserOffsets() noexcept
{
    for (size_t i = 0; i < randomiserOffsets.size(); ++i)
    {
        const float k = i == 0 ? 0.0005f : 0.001f;
        auto value = randomiserOffsets[i].load (std::memory_order_relaxed);
        dsp::smoothTowards (value, offset (parameters.randomiserOffsetTargets[i]), k);
        randomiserOffsets[i].store (value, std::memory_order_relaxed);
    }
}

DelayVerbProcessor::BlockSettings DelayVerbProcessor::readSettings() noexcept
{
    using P = DelayVerbParameters;
    BlockSettings s;
    const double rate = getSampleRate();
    const auto rateF = (float) rate;
    s.rate = rate;

    float time;
    if (parameters.syncEnabled.load (std::memory_order_relaxed))
        time = getSyncedDelayMs();
    else
        time = (float) std::clamp ((double) knobValue (P::time) + (double) offset (parameters.korruptOffsets[0])
                                       + (double) getRandomiserOffset (0), 0.5, 5000.0);

    const float feedbackPct = (float) std::clamp ((double) knobValue (P::feedback) + (double) offset (parameters.korruptOffsets[1])
                                                      + (double) getRandomiserOffset (1), 0.0, 95.0);
    s.feedback = feedbackPct / 100.0f * 0.75f;

    s.delayMixLeft = getDelayLeftMix() / 100.0f;
    s.delayMixRight = getDelayRightMix() / 100.0f;
    s.reverbMixLeft = getReverbLeftMix() / 100.0f;
    s.reverbMixRight = getReverbRightMix() / 100.0f;
    s.dryLeft = 1.0f - 0.5f * s.delayMixLeft - 0.5f * s.reverbMixLeft;
    s.dryRight = 1.0f - 0.5f * s.delayMixRight - 0.5f * s.reverbMixRight;

    const int lineLength = getDelayLineLength();
    s.delayLeft = truncatedWithin ((double) time * rate / 1000.0, 1, lineLength - 1);
    s.delayRight = truncatedWithin ((double) (time + knobValue (P::stereo)) * rate / 1000.0, 1, lineLength - 1);
    s.preDelay = truncatedWithin ((double) knobValue (P::preDelay) * rate / 1000.0, 1, getPreDelayLength() - 1);

    s.lowpassCoef = 1.0f - std::exp (-twoPi * knobValue (P::delayLowpass) / rateF);
    s.highpassCoef = std::exp (-twoPi * knobValue (P::delayHighpass) / rateF);

    s.combFeedback = combFeedback (knobValue (P::decay), knobValue (P::size));
    s.dampStep = 1.0f - knobValue (P::damp) / 100.0f * 0.4f;

    s.late = knobValue (P::late) / 100.0f;
    s.width = knobValue (P::width) / 100.0f;
    s.modDepth = knobValue (P::delayMod);
    s.phaseIncrement = (double) knobValue (P::delayRate) / rate;

    // The pad's range; beyond it the cross-feed could lift the loop gain above one.
    const float pan = std::clamp (finiteOrZero (parameters.delayPan.load (std::memory_order_relaxed)), -1.0f, 1.0f);
    if (pan != cachedPan)
    {
        const float theta = (pan + 1.0f) * 0.5f * halfPi;
        panCos = std::cos (theta);
        panSin = std::sin (theta);
        cachedPan = pan;
    }
    s.panCos = panCos;
    s.panSin = panSin;
    s.pingPong = std::clamp (finiteOrZero (parameters.pingPong.load (std::memory_order_relaxed)), 0.0f, 1.0f);
    return s;
}

void DelayVerbProcessor::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    if (parameters.bypassed.load (std::memory_order_relaxed) || buffer.getNumChannels() < 2 || numSamples <= 0
        || startSample < 0 || startSample + numSamples > buffer.getNumSamples()
        || getDelayLineLength() < 4 || getPreDelayLength() < 4 || getCombLength (0) < 4)
        return;

    auto* left = buffer.getWritePointer (0, startSample);
    auto* right = buffer.getWritePointer (1, startSample);
    if (left == nullptr || right == nullptr)
        return;

    smoothRandomiserOffsets();
    processSamples (left, right, numSamples, readSettings());

    if (auto* t = tap.load (std::memory_order_acquire))
        t->outputBlock (left, right, numSamples);
}

void DelayVerbProcessor::processSamples (float* left, float* right, int numSamples, const BlockSettings& s) noexcept
{
    auto* lineL = delayLine[0].data();
    auto* lineR = delayLine[1].data();
    auto* preL = preDelay[0].data();
    auto* preR = preDelay[1].data();
    const int lineLength = getDelayLineLength();
    const int preLength = getPreDelayLength();
    int writeL = delayWriteIndex[0], writeR = delayWriteIndex[1], preWrite = preDelayWriteIndex;
    const float pp = s.pingPong;

    for (int i = 0; i < numSamples; ++i)
    {
        const float inL = finiteOrZero (left[i]);
        const float inR = finiteOrZero (right[i]);

        // Read-position wobble, in whole samples.
        const float sine = std::sin (modPhase * twoPi);
        modPhase = (float) ((double) modPhase + s.phaseIncrement);
        if (modPhase > 1.0f)
            modPhase -= 1.0f;
        const int mod = (int) std::trunc ((double) (sine * s.modDepth) * s.rate / 1000.0);

        const float eL = lineL[wrapIndex (writeL - mod - s.delayLeft, lineLength)];
        const float eR = lineR[wrapIndex (writeR - mod - s.delayRight, lineLength)];

        // Feedback filters: a one-pole low-pass into a one-pole high-pass, per line.
        const float hp[2] = {
            feedbackHighpass[0].process (feedbackLowpass[0].process (eL, s.lowpassCoef), s.highpassCoef),
            feedbackHighpass[1].process (feedbackLowpass[1].process (eR, s.lowpassCoef), s.highpassCoef)
        };

        const float wetL = s.panCos * eL + (1.0f - s.panCos) * eR * pp;
        const float wetR = s.panSin * eR + (1.0f - s.panSin) * eL * pp;

        lineL[writeL] = inL + s.feedback * ((1.0f - pp) * hp[0] + pp * hp[1]);
        lineR[writeR] = inR + s.feedback * ((1.0f - pp) * hp[1] + pp * hp[0]);
        writeL = wrapIndex (writeL + 1, lineLength);
        writeR = wrapIndex (writeR + 1, lineLength);

        // Reverb: pre-delay, four damped combs in parallel, two all-passes in series.
        const int preRead = wrapIndex (preWrite - s.preDelay, preLength);
        const float pL = preL[preRead], pR = preR[preRead];
        preL[preWrite] = inL;
        preR[preWrite] = inR;
        preWrite = wrapIndex (preWrite + 1, preLength);

        float sumL = 0.0f, sumR = 0.0f;
        for (size_t k = 0; k < (size_t) numCombs; ++k)
        {
            auto& lineCL = comb[0][k];
            const int length = (int) lineCL.size();
            if (length < 2)
                continue;

            auto* cl = lineCL.data();
            auto* cr = comb[1][k].data();
            int& j = combIndex[k];
            const int read = wrapIndex (j + 1, length);
            const float cL = cl[read], cR = cr[read];
            cl[j] = combDamp[0][k].process (cL, s.dampStep) * s.combFeedback + pL;
            cr[j] = combDamp[1][k].process (cR, s.dampStep) * s.combFeedback + pR;
            j = wrapIndex (j + 1, length);
            sumL += cL;
            sumR += cR;
        }

        float sL = sumL * 0.25f, sR = sumR * 0.25f;

        for (size_t a = 0; a < (size_t) numAllpasses; ++a)
        {
            const int length = (int) allpass[0][a].size();
            if (length < 2)
                continue;

            auto* al = allpass[0][a].data();
            auto* ar = allpass[1][a].data();
            int& q = allpassIndex[a];
            const int read = wrapIndex (q + 1, length);
            const float aL = al[read], aR = ar[read];
            const float vL = sL - 0.5f * aL, vR = sR - 0.5f * aR;
            al[q] = vL;
            ar[q] = vR;
            q = wrapIndex (q + 1, length);
            sL = aL + 0.5f * vL;
            sR = aR + 0.5f * vR;
        }

        const float mid = (sL + sR) * 0.5f;
        const float side = (sL - sR) * 0.5f * s.width;

        float outL = s.dryLeft * inL + wetL * s.delayMixLeft * 0.7f + (mid + side) * s.late * s.reverbMixLeft * 0.8f;
        float outR = s.dryRight * inR + wetR * s.delayMixRight * 0.7f + (mid - side) * s.late * s.reverbMixRight * 0.8f;

        if (! std::isfinite (outL)) outL = inL;
        if (! std::isfinite (outR)) outR = inR;

        left[i] = std::tanh (outL);
        right[i] = std::tanh (outR);
    }

    delayWriteIndex = { writeL, writeR };
    preDelayWriteIndex = preWrite;
}
