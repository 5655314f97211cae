#include "effects/timepro/HeightAndWeightProcessor.h"
#include "dsp/RingRead.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
    constexpr float twoPi = 6.2831855f;

    inline float finiteOrZero (float x) noexcept { return std::isfinite (x) ? x : 0.0f; }
}

HeightAndWeightProcessor::HeightAndWeightProcessor()
{
    dryLeft.resize ((size_t) scratchFrames);
    dryRight.resize ((size_t) scratchFrames);
    monoRight.resize ((size_t) scratchFrames);
}

//==============================================================================
void HeightAndWeightProcessor::prepare (double newSampleRate, int)
{
    // Resizing keeps what the buffers hold, so a second prepare at the same rate resumes them.
    const bool usable = std::isfinite (newSampleRate) && newSampleRate > 0.0;
    const double rate = usable ? newSampleRate : 0.0;
    if (usable)
        sampleRate.store (newSampleRate, std::memory_order_relaxed);

    const int frames = (int) (rate * 4.0);
    microDelayLeft.resize ((size_t) (rate * 0.035));
    microDelayRight.resize ((size_t) (rate * 0.035));
    grainRing.resize ((size_t) frames * 2);
    history.resize ((size_t) frames * 2);
    historyFrames = frames;

    // Grains of at most 120 ms, read at a quarter speed at the slowest: four lengths of steps.
    const int longestGrain = std::max (100, std::min ((int) (120.0 * rate / 1000.0), frames / 2));
    windowTable.resize ((size_t) longestGrain * 4 + 8);

    clearPositions();
}

void HeightAndWeightProcessor::clearPositions() noexcept
{
    microWrite = 0;
    microLfoPhase = 0.0f;
    grainWriteIndex = 0;
    grainCount = 0;
    grainTimer = 0.0f;
    historyWriteIndex = 0;
    loopPosition = 0.0;
    gatePhase = 0.0f;
    windowLength = 0;
    windowFilled = 0;
}

void HeightAndWeightProcessor::reset()
{
    for (auto* buffer : { &microDelayLeft, &microDelayRight, &grainRing, &history })
        std::fill (buffer->begin(), buffer->end(), 0.0f);

    clearPositions();
}

bool HeightAndWeightProcessor::isActive() const noexcept
{
    return ! parameters.bypassed.load (std::memory_order_relaxed)
        && parameters.mix.load (std::memory_order_relaxed) > 0.01f;
}

float HeightAndWeightProcessor::getHistorySample (int frame, int channel) const noexcept
{
    const auto index = (size_t) frame * 2 + (size_t) channel;
    return frame >= 0 && channel >= 0 && channel < 2 && index < history.size() ? history[index] : 0.0f;
}

//==============================================================================
int HeightAndWeightProcessor::samplesPerDivision (double rate, double bpm, double division) noexcept
{
    // A tempo of 0 (or a division of 0) would divide by zero; the short fallback keeps any loop
    // built on it audible and bounded.
    if (! (bpm > 0.0) || ! (rate > 0.0) || ! (division > 0.0) || ! std::isfinite (bpm * rate * division))
        return 4410;

    const double samples = rate * 60.0 / bpm * (4.0 / division);
    return (int) std::min (std::trunc (samples), (double) std::numeric_limits<int>::max());
}

int HeightAndWeightProcessor::samplesPerDivision (float division) const noexcept
{
    return samplesPerDivision (getSampleRate(), parameters.bpm.load (std::memory_order_relaxed), division);
}

int HeightAndWeightProcessor::loopDivisionSamples (float division) const noexcept
{
    const auto bpm = parameters.bpm.load (std::memory_order_relaxed);
    const bool useMainTempo = parameters.tempoSyncEnabled.load (std::memory_order_relaxed) && bpm > 0.0f;
    return samplesPerDivision (getSampleRate(), useMainTempo ? bpm : fallbackBpm, division);
}

//==============================================================================
float HeightAndWeightProcessor::knobValue (Knob k) const noexcept
{
    // The knobs never leave their ranges; a value written some other way is held to them.
    const auto& spec = HeightAndWeightParameters::knobTable()[(size_t) k].spec;
    const auto value = parameters.knob (k);
    if (! std::isfinite (value))
        return (float) spec.defaultValue;
    return std::clamp (value, (float) spec.minimum, (float) spec.maximum);
}

HeightAndWeightProcessor::BlockSettings HeightAndWeightProcessor::readSettings() const noexcept
{
    using P = HeightAndWeightParameters;
    BlockSettings s;
    const auto rate = (float) getSampleRate();

    s.mode = parameters.mode.load (std::memory_order_relaxed);
    s.gain = std::pow (10.0f, knobValue (P::outputLevel) / 20.0f);
    s.share = knobValue (P::globalMix) / 100.0f;

    const float detune = knobValue (P::microDetune);
    s.microMix = knobValue (P::microMix) / 100.0f;
    s.microRatioLeft = std::pow (2.0f, -detune / 1200.0f);
    s.microRatioRight = std::pow (2.0f, detune / 1200.0f);
    const int lineLength = (int) microDelayLeft.size();
    s.microBase = std::clamp ((int) (knobValue (P::microDelay) * rate / 1000.0f), 1, std::max (1, lineLength - 2));
    s.microChar = knobValue (P::microChar) / 100.0f;
    s.microLfoIncrement = (0.5f * s.microChar + 0.1f) / rate;
    s.microWidth = knobValue (P::microWidth) / 100.0f;

    const int ringFrames = (int) grainRing.size() / 2;
    s.grainMix = knobValue (P::grainMix) / 100.0f;
    s.frozen = parameters.frozen.load (std::memory_order_relaxed);
    s.grainIncrement = std::pow (2.0f, knobValue (P::grainPitch) / 12.0f);
    const int length = (int) (knobValue (P::grainSize) * rate / 1000.0f);
    s.grainLength = length < 100 ? 100 : std::min (length, ringFrames / 2);
    s.grainSpacing = rate / knobValue (P::grainDensity);
    s.grainMotion = knobValue (P::grainMotion) / 100.0f;
    return s;
}

void HeightAndWeightProcessor::takeTriggerRequests() noexcept
{
    const auto requests = parameters.triggerRequests.load (std::memory_order_acquire);
    if (requests == lastTriggerRequest)
        return;

    // The loop restarts at the frame this block writes first. Presses that arrived together
    // restart it once; they all count as taken.
    appliedTriggerRequests.fetch_add (requests - lastTriggerRequest, std::memory_order_relaxed);
    lastTriggerRequest = requests;
    loopStart = historyWriteIndex;
    loopPosition = 0.0;
    repeatCount = 0;
    gatePhase = 0.0f;
}

void HeightAndWeightProcessor::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    const juce::ScopedNoDenormals noDenormals;

    // Taken before any gate, so a press made while bypassed or idle is not lost.
    takeTriggerRequests();

    const int channels = buffer.getNumChannels();
    if (parameters.bypassed.load (std::memory_order_relaxed) || parameters.mode.load (std::memory_order_relaxed) < 0
        || numSamples <= 0 || channels == 0 || historyFrames <= 0)
        return;

    const auto settings = readSettings();
    float* left = buffer.getWritePointer (0, startSample);
    float* right = channels > 1 ? buffer.getWritePointer (1, startSample) : nullptr;

    for (int done = 0; done < numSamples; done += scratchFrames)
    {
        const int n = std::min (scratchFrames, numSamples - done);
        if (right != nullptr)
        {
            processChunk (left + done, right + done, n, settings);
        }
        else
        {
            // One channel plays both sides; what the right side makes of it is dropped.
            std::copy (left + done, left + done + n, monoRight.data());
            processChunk (left + done, monoRight.data(), n, settings);
        }
    }
}

void HeightAndWeightProcessor::processChunk (float* left, float* right, int n, const BlockSettings& s) noexcept
{
    for (int i = 0; i < n; ++i)
    {
        left[i] = finiteOrZero (left[i]);
        right[i] = finiteOrZero (right[i]);
    }

    appendToHistory (left, right, n);
    std::copy (left, left + n, dryLeft.data());
    std::copy (right, right + n, dryRight.data());

    if (s.mode == 0)
        processMicroPitch (left, right, n, s);
    else if (s.mode == 1)
        processGranular (left, right, n, s);

    const float dryShare = 1.0f - s.share;
    for (int i = 0; i < n; ++i)
    {
        const float l = dryShare * dryLeft[(size_t) i] + s.gain * left[i] * s.share;
        const float r = dryShare * dryRight[(size_t) i] + s.gain * right[i] * s.share;
        left[i] = std::tanh (std::clamp (l, -4.0f, 4.0f));
        right[i] = std::tanh (std::clamp (r, -4.0f, 4.0f));
    }
}

void HeightAndWeightProcessor::appendToHistory (const float* left, const float* right, int n) noexcept
{
    for (int i = 0; i < n; ++i)
    {
        const auto index = (size_t) historyWriteIndex * 2;
        if (index + 1 < history.size())
        {
            history[index] = left[i];
            history[index + 1] = right[i];
        }
        historyWriteIndex = (historyWriteIndex + 1) % historyFrames;
    }
}

//==============================================================================
void HeightAndWeightProcessor::processMicroPitch (float* left, float* right, int n, const BlockSettings& s) noexcept
{
    const float e = s.microMix;
    const int length = (int) std::min (microDelayLeft.size(), microDelayRight.size());
    if (e < 0.001f || length < 4)
        return;

    const auto rate = (float) getSampleRate();
    const auto lengthF = (float) length;
    const float base = (float) s.microBase;
    const auto readLine = [length] (const std::vector<float>& line, float position) noexcept
    {
        const int k = (int) position;
        const float f = position - (float) k;
        return dsp::lerpRing (line.data(), k % length, f, length);
    };

    for (int i = 0; i < n; ++i)
    {
        const float xL = left[i], xR = right[i];

        microLfoPhase += s.microLfoIncrement;
        if (microLfoPhase > 1.0f)
            microLfoPhase -= 1.0f;
        const float v = std::sin (twoPi * microLfoPhase);

        microWrite = std::clamp (microWrite, 0, length - 1);
        microDelayLeft[(size_t) microWrite] = xL;
        microDelayRight[(size_t) microWrite] = xR;

        const float t = 2.0f * s.microChar * v * rate / 1000.0f;
        float pL = (float) microWrite - (base + t) * s.microRatioLeft;
        float pR = (float) microWrite - (base - t) * s.microRatioRight;
        while (pL < 0.0f) pL += lengthF;
        while (pR < 0.0f) pR += lengthF;

        const float dL = readLine (microDelayLeft, pL);
        const float dR = readLine (microDelayRight, pR);
        const float mid = (dL + dR) * 0.5f;
        const float side = (dL - dR) * 0.5f * s.microWidth;

        left[i] = (mid - side) * e + (1.0f - e) * xL;
        right[i] = (mid + side) * e + (1.0f - e) * xR;
        microWrite = (microWrite + 1) % length;
    }
}
