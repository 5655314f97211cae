#include "effects/dictionary/DictionaryReaderProcessor.h"
#include "dsp/RingRead.h"

#include "platform/CrtRand.h"

#include <algorithm>
#include <cmath>

namespace
{
    constexpr auto relaxed = std::memory_order_relaxed;

    float finiteOrZero (float x) noexcept { return std::isfinite (x) ? x : 0.0f; }

    // Sizes a buffer, keeping what it holds: a new prepare only restarts the positions.
    void sizeKeeping (std::vector<float>& buffer, size_t size)
    {
        buffer.resize (size, 0.0f);
    }
}

//==============================================================================
void DictionaryReaderParameters::storeEngineParams (const ReaderEngineParams& p) noexcept
{
    mpMix.store (p.mpMix, relaxed);
    grMix.store (p.grMix, relaxed);
    htMix.store (p.htMix, relaxed);
    mpDetune.store (p.mpDetune, relaxed);
    grPitch.store (p.grPitch, relaxed);
    htTime.store (p.htTime, relaxed);
}

ReaderEngineParams DictionaryReaderParameters::loadEngineParams() const noexcept
{
    ReaderEngineParams p;
    p.mpMix = mpMix.load (relaxed);
    p.grMix = grMix.load (relaxed);
    p.htMix = htMix.load (relaxed);
    p.mpDetune = mpDetune.load (relaxed);
    p.grPitch = grPitch.load (relaxed);
    p.htTime = htTime.load (relaxed);
    return p;
}

//==============================================================================
DictionaryReaderProcessor::DictionaryReaderProcessor()
{
    // The dry copies do not depend on the rate, so a block before the first prepare is mixed too.
    for (auto& d : dry)
        d.assign ((size_t) maxChunkFrames, 0.0f);
}

void DictionaryReaderProcessor::prepare (double newSampleRate, int)
{
    rate = newSampleRate;
    sampleRate.store (newSampleRate, relaxed);

    const auto delaySamples = (size_t) std::max (0, (int) (newSampleRate * 0.035));
    sizeKeeping (microPitchDelayL, delaySamples);
    sizeKeeping (microPitchDelayR, delaySamples);
    microPitchWrite = 0;

    sizeKeeping (grainRing, 2 * (size_t) std::max (0, (int) (newSampleRate * 4.0)));
    grainWrite = 0;
    liveGrains = 0;
    grainClock = 0.0f;

    const int grainLength = getGrainLength();
    grainWindowTable.resize ((size_t) grainLength);
    for (int k = 0; k < grainLength; ++k)
        grainWindowTable[(size_t) k] = hannWindow ((float) k, grainLength);

    sizeKeeping (halfTimeRing, 2 * (size_t) halfTimeFrames);
    halfTimeWrite = 0;
    halfTimeRead = 0.0;

    parameters.wordHistoryClearRequests.fetch_add (1, std::memory_order_release);
}

void DictionaryReaderProcessor::reset()
{
    for (auto* buffer : { &microPitchDelayL, &microPitchDelayR, &grainRing, &halfTimeRing })
        std::fill (buffer->begin(), buffer->end(), 0.0f);

    microPitchWrite = grainWrite = halfTimeWrite = 0;
    grainClock = 0.0f;
    liveGrains = 0;
    halfTimeRead = halfTimePhase = 0.0;
}

bool DictionaryReaderProcessor::isActive() const noexcept
{
    return ! parameters.bypassed.load (relaxed)
        && parameters.reading.load (relaxed)
        && parameters.wordCount.load (relaxed) > 0;
}

int DictionaryReaderProcessor::getMicroPitchDelay() const noexcept
{
    const int n = getMicroPitchLength();
    return std::min (std::max (1, (int) (rate * 15.0 / 1000.0)), n - 2);
}

int DictionaryReaderProcessor::getGrainLength() const noexcept
{
    const int frames = getGrainRingValues() / 2;
    const int g = (int) (rate * 40.0 / 1000.0);
    return g < 100 ? 100 : std::min (g, frames / 2);
}

double DictionaryReaderProcessor::getGrainInterval (float verbDrive) const noexcept
{
    return rate / (15.0 + 20.0 * (double) verbDrive);
}

double DictionaryReaderProcessor::halfTimeSpeed (float htTime, double phase) noexcept
{
    return (1.0 + 0.005 * std::sin (juce::MathConstants<double>::twoPi * phase))
         / (double) std::max (htTime, 1.2f);
}

float DictionaryReaderProcessor::hannWindow (float position, std::int32_t length) noexcept
{
    return 0.5f * (1.0f - std::cos (juce::MathConstants<float>::twoPi * position / (float) length));
}

//==============================================================================
void DictionaryReaderProcessor::consumeEngineReset() noexcept
{
    const auto requested = parameters.engineResetRequests.load (std::memory_order_acquire);
    if (requested == handledEngineResets)
        return;

    handledEngineResets = requested;
    halfTimeRead = halfTimePhase = 0.0;
    halfTimeWrite = 0;
    grainClock = 0.0f;
    liveGrains = 0;
}

void DictionaryReaderProcessor::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    const juce::ScopedNoDenormals noDenormals;
    consumeEngineReset();

    if (! isActive() || numSamples <= 0 || buffer.getNumChannels() < 1)
        return;

    Settings s;
    s.mix = parameters.mix.load (relaxed) / 100.0f;
    if (! (s.mix >= 0.001f))
        return;

    s.microPitch = parameters.microPitch.load (relaxed);
    s.granular = parameters.granular.load (relaxed);
    s.halfTime = parameters.halfTime.load (relaxed);
    s.engine = parameters.loadEngineParams();
    s.verbDrive = parameters.verbDrive.load (relaxed);

    float* left = buffer.getWritePointer (0, startSample);
    float* right = buffer.getNumChannels() > 1 ? buffer.getWritePointer (1, startSample) : left;

    for (int done = 0; done < numSamples; done += maxChunkFrames)
    {
        const int n = std::min (maxChunkFrames, numSamples - done);
        processChunk (left + done, right == left ? left + done : right + done, n, s);
    }
}

void DictionaryReaderProcessor::processChunk (float* left, float* right, int n, const Settings& s) noexcept
{
    // A one-channel block arrives as the same pointer twice. The engines then run on a scratch
    // copy for the right side, so every engine sees a true pair and no write lands on a sample
    // the other channel has yet to read; the right result is dropped.
    const bool mono = left == right;
    float* dryL = dry[0].data();
    float* dryR = dry[1].data();
    float* wetR = mono ? dry[2].data() : right;

    for (int i = 0; i < n; ++i)
    {
        dryL[i] = left[i] = finiteOrZero (left[i]);
        dryR[i] = wetR[i] = mono ? dryL[i] : finiteOrZero (right[i]);
    }

    if (s.microPitch)
        processMicroPitch (left, wetR, n, s.engine.mpMix, s);
    if (s.granular)
        processGranular (left, wetR, n, s.engine.grMix, s);
    if (s.halfTime)
        processHalfTime (left, wetR, n, s.engine.htMix, s);

    const float mix = s.mix;
    for (int i = 0; i < n; ++i)
    {
        left[i] = std::tanh (juce::jlimit (-4.0f, 4.0f, (1.0f - mix) * dryL[i] + mix * left[i]));
        if (! mono)
            right[i] = std::tanh (juce::jlimit (-4.0f, 4.0f, (1.0f - mix) * dryR[i] + mix * right[i]));
    }
}

//==============================================================================
namespace
{
    // Linear interpolation at a fractional position of a ring of `size` samples, taken into
    // the ring first however far outside it lies.
    float readRing (const float* ring, int size, float position) noexcept
    {
        position -= (float) size * std::floor (position / (float) size);
        const int i0 = (int) position % size;
        return dsp::lerpRing (ring, i0, position - (float) (int) position, size);
    }
}

void DictionaryReaderProcessor::processMicroPitch (float* left, float* right, int n, float amount,
                                                   const Settings& s) noexcept
{
    const int size = (int) microPitchDelayL.size();
    if (! (amount >= 0.001f) || size < 4)
        return;

    const float cents = std::isfinite (s.engine.mpDetune) ? s.engine.mpDetune : 0.0f;
    const float d = (float) getMicroPitchDelay();
    const float delayL = d * std::pow (2.0f, -cents / 1200.0f);
    const float delayR = d * std::pow (2.0f, cents / 1200.0f);
    const float keep = 1.0f - amount;

    float* bufL = microPitchDelayL.data();
    float* bufR = microPitchDelayR.data();
    int w = microPitchWrite;

    for (int i = 0; i < n; ++i)
    {
        bufL[w] = left[i];
        bufR[w] = right[i];
        left[i] = amount * readRing (bufL, size, (float) w - delayL) + keep * left[i];
        right[i] = amount * readRing (bufR, size, (float) w - delayR) + keep * right[i];
        if (++w == size)
            w = 0;
    }

    microPitchWrite = w;
}

//==============================================================================
float DictionaryReaderProcessor::grainWindow (const Grain& g) const noexcept
{
    // Grains played at their own pitch sit on whole frames: their weights are the table's,
    // which holds exactly what the cosine gives there.
    const int k = (int) g.position;
    if ((float) k == g.position && g.length == (std::int32_t) grainWindowTable.size() && k < g.length)
        return grainWindowTable[(size_t) k];

    return hannWindow (g.position, g.length);
}

void DictionaryReaderProcessor::startGrain (int grainLength, float speed) noexcept
{
    const int frames = (int) grainRing.size() / 2;

    // Drawn even when the pool is full, so the sequence of pans does not depend on it.
    const int r = platform::crtRand();
    if (liveGrains == grainPoolSize)
        return;

    auto& g = grains[(size_t) liveGrains++];
    g.start = (grainWrite - 2 * grainLength + frames) % frames;
    g.length = grainLength;
    g.position = 0.0f;
    g.speed = speed;
    g.pan = 0.5f + 0.3f * ((float) r / (float) platform::crtRandMax - 0.5f);
    g.active = true;
}

void DictionaryReaderProcessor::processGranular (float* left, float* right, int n, float amount,
                                                 const Settings& s) noexcept
{
    const int frames = (int) grainRing.size() / 2;
    if (! (amount >= 0.001f) || frames < 1000)
        return;

    // Pitch and drive are kept to where a grain still ends and the clock still ticks.
    const float semitones = std::isfinite (s.engine.grPitch) ? juce::jlimit (-48.0f, 48.0f, s.engine.grPitch) : 0.0f;
    const float drive = std::isfinite (s.verbDrive) ? juce::jlimit (0.0f, 1.0f, s.verbDrive) : 0.0f;
    const float ratio = std::pow (2.0f, semitones / 12.0f);
    const int grainLength = getGrainLength();
    const float interval = (float) getGrainInterval (drive);
    const float keep = 1.0f - amount;
    float* ring = grainRing.data();

    for (int i = 0; i < n; ++i)
    {
        ring[2 * grainWrite] = left[i];
        ring[2 * grainWrite + 1] = right[i];
        if (++grainWrite == frames)
            grainWrite = 0;
        grainClock += 1.0f;

        if (grainClock >= interval)
        {
            grainClock -= interval;
            startGrain (grainLength, ratio);
        }

        float sumL = 0.0f, sumR = 0.0f;
        bool anyEnded = false;
        for (int k = 0; k < liveGrains; ++k)
        {
            auto& g = grains[(size_t) k];
            const float w = grainWindow (g);
            const int f = ((int) g.position + g.start) % frames;
            sumL += (1.0f - g.pan) * w * ring[2 * f];
            sumR += g.pan * w * ring[2 * f + 1];
            g.position += g.speed;
            if (g.position >= (float) g.length)
            {
                g.active = false;
                anyEnded = true;
            }
        }

        if (anyEnded)
        {
            int kept = 0;
            for (int k = 0; k < liveGrains; ++k)
                if (grains[(size_t) k].active)
                    grains[(size_t) kept++] = grains[(size_t) k];
            liveGrains = kept;
        }

        left[i] = 0.5f * amount * sumL + keep * left[i];
        right[i] = 0.5f * amount * sumR + keep * right[i];
    }
}

//==============================================================================
void DictionaryReaderProcessor::processHalfTime (float* left, float* right, int n, float amount,
                                                 const Settings& s) noexcept
{
    const int frames = (int) halfTimeRing.size() / 2;
    if (! (amount >= 0.001f) || frames < 100)
        return;

    halfTimePhase += 0.8 / rate;
    if (halfTimePhase > 1.0)
        halfTimePhase -= 1.0;

    const float time = std::isfinite (s.engine.htTime) ? s.engine.htTime : 1.5f;
    const double speed = halfTimeSpeed (time, halfTimePhase);
    const float wet = std::min (1.0f, 1.3f * amount);
    const float dryShare = 1.0f - wet;
    float* ring = halfTimeRing.data();

    for (int i = 0; i < n; ++i)
    {
        ring[2 * halfTimeWrite] = left[i];
        ring[2 * halfTimeWrite + 1] = right[i];
        halfTimeRead += speed;
        if (++halfTimeWrite == frames)
            halfTimeWrite = 0;

        while (halfTimeRead >= frames)
            halfTimeRead -= frames;
        while (halfTimeRead < 0.0)
            halfTimeRead += frames;

        const int a = (int) halfTimeRead;
        const double frac = halfTimeRead - a;
        const int b = (a + 1) % frames;
        const auto readL = (float) ((1.0 - frac) * ring[2 * a] + frac * ring[2 * b]);
        const auto readR = (float) ((1.0 - frac) * ring[2 * a + 1] + frac * ring[2 * b + 1]);

        left[i] = wet * std::tanh (1.2f * readL) + dryShare * left[i];
        right[i] = wet * std::tanh (1.2f * readR) + dryShare * right[i];
    }
}
