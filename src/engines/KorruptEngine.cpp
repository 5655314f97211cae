#include "engines/KorruptEngine.h"

#include "dsp/OnePole.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>

namespace
{
    constexpr int maxBlockSamples = 8192;
    constexpr float twoDbUp = 1.2589254f;    // 10^(2/20)
    constexpr float twoDbDown = 0.7943282f;  // 10^(-2/20)

    int truncated (double x) noexcept { return (int) x; }

    void sizeLine (KorruptEngine::Line& line, int leftLength, int rightLength, bool emptyFirst)
    {
        if (emptyFirst)
        {
            line.left.clear();
            line.right.clear();
        }
        line.left.resize ((size_t) std::max (0, leftLength), 0.0f);
        line.right.resize ((size_t) std::max (0, rightLength), 0.0f);
        line.writeIndex = 0;
    }

    float drift (float x) noexcept
    {
        return 0.3f * std::sin (1.3f * x + 1.5f) + 0.5f * std::sin (0.7f * x) + 0.2f * std::sin (2.9f * x + 3.7f);
    }

    float softClip (float x, float knee, float range) noexcept
    {
        const float magnitude = std::abs (x);
        if (magnitude < knee)
            return x;
        const float sign = x > 0.0f ? 1.0f : -1.0f;
        return sign * (knee + range * std::tanh (2.0f * (magnitude - knee)));
    }
}

KorruptEngine::KorruptEngine()
{
    for (auto& visits : levelVisits)
        visits.store (0, std::memory_order_relaxed);

    character.fill (0.0f);
    character[10] = 1.0f;
    character[11] = 40.0f;
    character[12] = character[13] = character[14] = 0.5f;
    effectHistory.fill (-1);
    buildModulationTargets();
    softReset();
}

KorruptEngine::~KorruptEngine() = default;

void KorruptEngine::prepare (double newSampleRate, int newBlockSize)
{
    sampleRate = newSampleRate;
    blockSize = newBlockSize;
    mirror.sampleRate.store (newSampleRate, std::memory_order_relaxed);

    const double sr = newSampleRate;
    const auto mono = [] (Line& line, int length, bool emptyFirst) { sizeLine (line, length, length, emptyFirst); };
    sizeLine (lines.warble, 2 * truncated (sr * 0.5), 0, false);
    sizeLine (lines.tape, 2 * truncated (sr * 2.0), 0, false);
    mono (lines.smear, truncated (sr * 0.1), false);
    mono (lines.driftEcho, truncated (sr * 0.5), false);
    mono (lines.threeTap, truncated (sr * 0.05), false);
    mono (lines.comb, truncated (sr * 0.2), false);
    mono (lines.doppler, truncated (sr * 0.02), false);
    mono (lines.flanger, truncated (sr * 0.01), false);
    mono (lines.chorus, truncated (sr * 0.03), false);
    mono (lines.grain, truncated (sr * 0.5), false);
    mono (lines.tempoEcho, std::max (1024, truncated (sr * 0.5)), true);
    mono (lines.repeat, std::max (4096, truncated (sr * 2.0)), true);
    mono (lines.wobble, std::max (1024, truncated (sr * 0.5)), true);
    mono (lines.freeze, std::max (2048, truncated (sr)), true);

    tempoBpm.store (120.0f, std::memory_order_relaxed);

    // Seeds: the clock unless a test pinned it.
    const auto t = clockSeed.has_value() ? *clockSeed : (std::uint64_t) juce::Time::currentTimeMillis();
    pcgState = t ^ 0xDEADBEEFCAFEBABEull;
    std::uint64_t u = t;
    for (int i = 14; i <= 18; ++i)
    {
        u = u * 6364136223846793005ull + 1442695040888963407ull;
        biases[(size_t) i] = (float) ((double) (u >> 33) / 2147483648.0);
    }

    const auto nextPcg = [this]
    {
        pcgState = pcgState * 6364136223846793005ull + 1ull;
        return pcgState;
    };
    for (auto& walk : walks)
    {
        const auto s = nextPcg();
        walk = { 2.0f * (float) ((double) (s >> 33) / 2147483648.0) - 1.0f, 0.0f,
                 0.95f + (float) (s & 0xff) / 2550.0f, 0.05f + (float) ((s >> 8) & 0xff) / 2550.0f };
    }
    for (auto& reverter : meanReverters)
    {
        const auto s = nextPcg();
        reverter = { 0.0f, 0.4f * (float) ((double) (s >> 33) / 2147483648.0) - 0.2f,
                     0.05f + (float) (s & 0xff) / 5100.0f, 0.1f + (float) ((s >> 8) & 0xff) / 2550.0f };
    }
    for (auto& slot : effectSlots)
    {
        const auto s = nextPcg();
        slot = { 0.5f + (float) ((s >> 32) & 0xffff) / 131070.0f, true };
    }

    // A new stream starts the output stage from silence: the held pair, the low-band memory
    // and the watch counters of the old stream would otherwise sound into the first blocks.
    levelMatch.fill (0.0f);
    lastGoodLeft = lastGoodRight = 0.0f;
    nonFiniteRun = silentRun = hotRun = 0;
    silenceRestoreClock = 0.0f;

    softReset();
}

//==============================================================================
void KorruptEngine::softReset() noexcept
{
    amount.store (0.0f, std::memory_order_relaxed);
    level.store (0, std::memory_order_relaxed);
    for (auto& visits : levelVisits)
        visits.store (0, std::memory_order_relaxed);

    behaviourState = 0;
    behaviourTime = 0.0f;
    behaviourGain = 1.0f;
    zone = 2;
    zoneBlend = 0.0f;
    effectHistory.fill (-1);
    effectHistoryIndex = 0;

    lorenzX = 0.1f; lorenzY = 0.0f; lorenzZ = 0.0f;
    logisticX = 0.4f;
    driftPhase = driftA = driftB = driftC = 0.0f;
    onsetEnvelope = silenceTime = blockRms = blockPeak = prevRms = 0.0f;
    onsetFlag = false;
    roughness = 0.5f;
    reseedTimer = driftTimer = 0.0f;

    driftRate = nudgeChance = warbleGain = crushGain = 1.0f;
    shapeExponent = 0.5f;
    delayDrive = stereoDrive = distortionDrive = 0.0f;
    glitchActive = false;
    glitchTime = glitchDrive = glitchReplay = glitchBalance = 0.0f;
    dcState.fill (0.0f);
    mirrorControlState();
}

void KorruptEngine::fullReset() noexcept
{
    active.store (false, std::memory_order_relaxed);
    amount.store (0.0f, std::memory_order_relaxed);
    level.store (0, std::memory_order_relaxed);
    safeMode = true;
    hardMode = false;
    fadingOut = false;
    fadeGain = 1.0f;
    outputTrim = 1.0f;
    behaviourState = 0;
    behaviourGain = 1.0f;
    nonFiniteRun = silentRun = hotRun = safetyTrips = 0;
    activityRing.fill (0.0f);
    levelMatch.fill (0.0f);
    dcState.fill (0.0f);
    lorenzX = 0.1f; lorenzY = 0.0f; lorenzZ = 0.0f;
    logisticX = 0.4f;
    zone = 2;
    tempoBpm.store (120.0f, std::memory_order_relaxed);
    tempoConfidence = 0.0f;
    beatWobbleDepth = beatWobble = 0.0f;
    grooveEffectOn.fill (true);

    for (auto* line : { &lines.warble, &lines.tape, &lines.smear, &lines.driftEcho, &lines.threeTap, &lines.comb,
                        &lines.doppler, &lines.flanger, &lines.chorus, &lines.grain, &lines.tempoEcho,
                        &lines.repeat, &lines.wobble, &lines.freeze })
    {
        std::fill (line->left.begin(), line->left.end(), 0.0f);
        std::fill (line->right.begin(), line->right.end(), 0.0f);
    }

    lcgState = 12345u;
    std::fill (character.begin(), character.begin() + 10, 0.0f);
    mirrorControlState();
}

void KorruptEngine::setOutputTrimDb (float dB) noexcept
{
    float gain;
    if (dB < -24.0f)
        gain = std::pow (10.0f, -24.0f / 20.0f);
    else if (std::isnan (dB))
        gain = 0.0f;
    else
        gain = std::pow (10.0f, std::min (dB, 0.0f) / 20.0f);

    outputTrim = (std::isfinite (gain) && gain > 0.0f) ? std::clamp (gain, 0.01f, 2.0f) : 1.0f;
}

void KorruptEngine::reseedLevel (int newLevel) noexcept
{
    const int index = std::clamp (newLevel, 0, 10);
    reseedFor (index, (std::uint32_t) levelVisits[(size_t) index].load (std::memory_order_relaxed));
}

void KorruptEngine::reseedFor (int index, std::uint32_t visits) noexcept
{
    std::uint32_t x = (visits * 67890u + (std::uint32_t) index * 12345u) ^ 0xDEADBEEFu;

    std::array<std::uint32_t, 15> steps {};
    for (auto& step : steps)
    {
        x = x * 1103515245u + 12345u;
        step = x;
    }

    const auto k = [&steps] (int i) { return (float) ((steps[(size_t) i] >> 16) % 1000u); };
    for (int i = 0; i < 10; ++i)
        character[(size_t) i] = (k (i) / 1000.0f - 0.5f) * 0.7f;

    character[10] = k (10) / 200.0f + 0.5f;
    character[11] = (float) ((steps[11] >> 16) % 75u + 5u);
    character[12] = k (12) / 500.0f + 0.1f;
    character[13] = k (13) / 200.0f + 0.05f;
    character[14] = k (14) / 500.0f + 0.02f;
    lcgState = steps[14];
}

//==============================================================================
void KorruptEngine::requestSoftReset() noexcept
{
    // The visit counts belong to the knob's side; clearing them here keeps the next knob move
    // from counting against the old visits before the audio thread has taken the request.
    for (auto& visits : levelVisits)
        visits.store (0, std::memory_order_relaxed);
    softResetRequested.store (true, std::memory_order_release);
}

void KorruptEngine::toggleActive() noexcept
{
    const bool wasActive = active.load (std::memory_order_relaxed);
    active.store (! wasActive, std::memory_order_relaxed);

    if (wasActive)
    {
        requestSoftReset();

        // The effects would otherwise keep the last offsets pushed, up to their full swing,
        // while nothing moves them any more; a later switch-on starts from nothing too.
        publishedByTick.intensity.fill (0.0f);
        publishedByTick.offsets = {};
        published.publish (publishedByTick);
        offsetClearRequested.store (true, std::memory_order_release);
    }
}

void KorruptEngine::requestReseed (int newLevel) noexcept
{
    const int index = std::clamp (newLevel, 0, 10);
    const int visits = std::clamp (levelVisits[(size_t) index].load (std::memory_order_relaxed), 0, (1 << 26) - 1);
    reseedRequest.store (visits * 16 + index, std::memory_order_release);
}

void KorruptEngine::setLevelFromKnob (int newLevel) noexcept
{
    if (! active.load (std::memory_order_relaxed))
        return;

    newLevel = std::clamp (newLevel, 0, 10);
    if (newLevel != level.load (std::memory_order_relaxed) && newLevel > 0)
    {
        levelVisits[(size_t) newLevel].fetch_add (1, std::memory_order_relaxed);
        requestReseed (newLevel);
    }

    level.store (newLevel, std::memory_order_relaxed);
    amount.store ((float) newLevel / 10.0f, std::memory_order_relaxed);
}

void KorruptEngine::serviceRequests() noexcept
{
    if (softResetRequested.exchange (false, std::memory_order_acquire))
        softReset();

    const int request = reseedRequest.exchange (-1, std::memory_order_acquire);
    if (request >= 0)
    {
        // The visit count travels with the request: a later knob move may already have
        // counted another visit, and the character values must be those of this one.
        reseedFor (request % 16, (std::uint32_t) (request / 16));
        mirrorControlState();
    }

    if (offsetClearRequested.exchange (false, std::memory_order_acquire))
        pushZeros();
}

//==============================================================================
void KorruptEngine::process (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;
    serviceRequests();

    if (left == nullptr || right == nullptr || numSamples < 1 || numSamples > maxBlockSamples
        || ! active.load (std::memory_order_relaxed))
        return;

    if (fadingOut)
    {
        processPanicFade (left, right, numSamples);
        return;
    }

    if (amount.load (std::memory_order_relaxed) < 0.001f)
        return;

    if (! (sampleRate > 0.0 && sampleRate <= 384000.0))
        sampleRate = 44100.0;

    published.acquire();

    // The level tracker, transient detector, periodicity analyser and governor come later; until
    // then the effective amount is the setting alone.
    float e = std::clamp (amount.load (std::memory_order_relaxed), 0.0f, 1.0f);
    if (safeMode)
        e = std::min (e, 0.7f);

    const float dt = std::clamp ((float) numSamples / (float) sampleRate, 0.0001f, 0.1f);
    engineTime += dt;

    runBlockRateSteps (left, right, numSamples, e, dt);
    runSampleChain (left, right, numSamples);
    runEndOfBlock (numSamples);
    mirrorControlState();
}

void KorruptEngine::processPanicFade (float* left, float* right, int numSamples) noexcept
{
    for (int i = 0; i < numSamples && fadeGain > 0.001f; ++i)
    {
        fadeGain *= 0.9995f;
        left[i] *= fadeGain;
        right[i] *= fadeGain;
    }

    if (fadeGain < 0.001f)
        fadingOut = false;
}

void KorruptEngine::runBlockRateSteps (const float* left, const float* right, int numSamples, float e, float dt) noexcept
{
    // Lorenz attractor, one Euler step from the old values.
    const float h = dt * 0.5f;
    const float x = lorenzX, y = lorenzY, z = lorenzZ;
    lorenzX = std::clamp (x + 10.0f * (y - x) * h, -30.0f, 30.0f);
    lorenzY = std::clamp (y + ((28.0f - z) * x - y) * h, -30.0f, 30.0f);
    lorenzZ = std::clamp (z + (x * y - (8.0f / 3.0f) * z) * h, 0.0f, 50.0f);

    logisticX = std::clamp (3.9f * logisticX * (1.0f - logisticX), 0.001f, 0.999f);

    analyseBlock (left, right, numSamples);

    reseedTimer += dt;
    if (reseedTimer > 2.0f)
    {
        reseedLevel (level.load (std::memory_order_relaxed));
        reseedTimer = 0.0f;
    }

    driftTimer += dt * 0.1f;
    if (driftTimer > 1.0f)
    {
        for (int j = 0; j < 10; ++j)
        {
            const float o = (float) j * 0.5f + engineTime;
            character[(size_t) j] = std::clamp (character[(size_t) j] + 0.05f * drift (o), -0.5f, 0.5f);
        }
        driftTimer = 0.0f;
    }

    driftPhase += dt * driftRate;
    driftA = drift (0.5f * driftPhase);
    driftB = drift (1.3f * driftPhase + 10.0f);
    driftC = drift (2.7f * driftPhase + 20.0f);

    const float a = amount.load (std::memory_order_relaxed);
    const auto& intensity = published.current().intensity;
    const auto intensityOf = [this, &intensity] (int fieldIndex, int target)
    {
        return targetFields[(size_t) fieldIndex].load (std::memory_order_relaxed) != nullptr ? intensity[(size_t) target] : 0.0f;
    };
    delayDrive = std::clamp (0.95f * delayDrive + 0.1f * a * intensityOf (delayVerbField, 1), 0.0f, 1.0f);
    stereoDrive = std::clamp (0.95f * stereoDrive + 0.08f * a * intensityOf (stereoUtilityField, 0), 0.0f, 1.0f);
    distortionDrive = std::clamp (0.95f * distortionDrive + 0.12f * a * intensityOf (distortionField, 2), 0.0f, 1.0f);

    stepGlitchEvent (numSamples, e);
}

void KorruptEngine::analyseBlock (const float* left, const float* right, int numSamples) noexcept
{
    double sumSquares = 0.0, edges = 0.0;
    float peak = 0.0f, previousL = 0.0f, previousR = 0.0f;
    for (int i = 0; i < numSamples; ++i)
    {
        const float m = (left[i] + right[i]) * 0.5f;
        if (std::isfinite (m))
        {
            sumSquares += (double) m * m;
            peak = std::max (peak, std::abs (m));
            edges += std::abs (left[i] - previousL) + std::abs (right[i] - previousR);
            previousL = left[i];
            previousR = right[i];
        }
    }

    const float rms = (float) std::sqrt (sumSquares / numSamples);
    blockPeak = peak;
    roughness = (float) (edges / numSamples);

    const float rise = rms - prevRms;
    onsetFlag = rise > 0.05f && rms > 0.1f;
    onsetEnvelope = std::max (rise * 5.0f, onsetEnvelope * 0.9f);
    silenceTime = rms < 0.001f ? silenceTime + (float) numSamples / (float) sampleRate : 0.0f;

    prevRms = blockRms;
    blockRms = rms;
}

void KorruptEngine::stepGlitchEvent (int numSamples, float e) noexcept
{
    if (glitchActive)
    {
        glitchTime += (float) numSamples / (float) sampleRate;
        const float q = glitchTime / ((1.0f - e) * 1.5f + 0.5f);
        if (q >= 1.0f)
        {
            glitchActive = false;
            glitchDrive = glitchReplay = glitchBalance = 0.0f;
        }
        else
        {
            const float s = std::sin (juce::MathConstants<float>::pi * q);
            glitchDrive = 1.5f * s * e;
            glitchReplay = 0.8f * s * e;
            glitchBalance = 2.0f * q - 1.0f;
        }
        return;
    }

    if ((int) ((draw() >> 16) % 10000u) < (int) (20.0f * e * e))
    {
        glitchActive = true;
        glitchTime = 0.0f;
    }
}

//==============================================================================
void KorruptEngine::runSampleChain (float* left, float* right, int numSamples) noexcept
{
    // Fixed for the block: the ceiling the safety stage promises and the low-band step.
    const float ceiling = (outputTrim > 0.0f && outputTrim <= 2.0f) ? outputTrim : 1.0f;
    const float restoreStep = 1.0f / (float) sampleRate;
    const float lowBandCorner = 80.0f / (float) sampleRate;
    const float lowBandStep = lowBandCorner / (lowBandCorner + 1.0f);

    for (int i = 0; i < numSamples; ++i)
    {
        // A non-finite input counts as silence in the dry pair too, so the blend never carries it.
        const float dryL = std::isfinite (left[i]) ? left[i] : 0.0f;
        const float dryR = std::isfinite (right[i]) ? right[i] : 0.0f;
        float wetL = dryL, wetR = dryR;

        if (chainHook != nullptr)
            chainHook (wetL, wetR, chainHookContext);

        safetyStage (wetL, wetR, dryL, dryR, ceiling);
        matchLowBand (wetL, wetR, dryL, dryR, lowBandStep);

        // The match can lift the wet low band past the ceiling when the dry is louder; the
        // ceiling is the stage's promise, so it holds after the match too.
        wetL = std::clamp (wetL, -ceiling, ceiling);
        wetR = std::clamp (wetR, -ceiling, ceiling);

        float outL = 0.75f * wetL + 0.25f * dryL;
        float outR = 0.75f * wetR + 0.25f * dryR;

        if (std::abs (outL) + std::abs (outR) < 0.0001f)
        {
            silenceRestoreClock += restoreStep;
            if (silenceRestoreClock > 1.0f)
            {
                const float gain = 0.25f + std::min (0.75f, (silenceRestoreClock - 1.0f) * 0.5f);
                outL = dryL * gain;
                outR = dryR * gain;
            }
        }
        else
        {
            silenceRestoreClock = 0.0f;
        }

        left[i] = outL;
        right[i] = outR;
    }
}

void KorruptEngine::safetyStage (float& wetL, float& wetR, float dryL, float dryR, float ceiling) noexcept
{
    bool trip = false;
    // A non-finite pair from the chain is silenced before the filters so their memory stays
    // finite, and it still counts as a bad sample: the watch below replaces it with the last
    // good pair and counts the run, which a check after the clamp alone could never see.
    const bool chainFinite = std::isfinite (wetL) && std::isfinite (wetR);
    float* const pair[2] = { &wetL, &wetR };

    for (int ch = 0; ch < 2; ++ch)
    {
        float x = *pair[ch];
        if (! std::isfinite (x))
            x = 0.0f;
        x = softClip (x, 0.85f, 0.15f);

        auto& previousX = dcState[(size_t) (ch * 2)];
        auto& previousY = dcState[(size_t) (ch * 2 + 1)];
        float y = 0.995f * previousY + x - previousX;
        if (! std::isfinite (y))
            y = 0.0f;
        previousX = x;
        previousY = y;

        *pair[ch] = softClip (y, 0.95f, 0.05f);
    }

    wetL = std::clamp (wetL, -ceiling, ceiling);
    wetR = std::clamp (wetR, -ceiling, ceiling);

    if (chainFinite && std::isfinite (wetL) && std::isfinite (wetR))
    {
        nonFiniteRun = 0;
        lastGoodLeft = wetL;
        lastGoodRight = wetR;
    }
    else
    {
        wetL = lastGoodLeft;
        wetR = lastGoodRight;
        if (++nonFiniteRun > 10)
        {
            ++safetyTrips;
            trip = true;
        }
    }

    if (std::abs (wetL) < 0.00001f && std::abs (wetR) < 0.00001f && (std::abs (dryL) > 0.001f || std::abs (dryR) > 0.001f))
        trip = ++silentRun > 1000 || trip;
    else
        silentRun = 0;

    if (std::abs (wetL) > 0.99f || std::abs (wetR) > 0.99f)
        trip = ++hotRun > 5000 || trip;
    else
        hotRun = 0;

    if (trip && ! safetyEngaged)
    {
        safetyEngaged = true;
        safetyTime = 0.0f;
        amount.store (std::min (amount.load (std::memory_order_relaxed), 0.3f), std::memory_order_relaxed);
    }
}

void KorruptEngine::matchLowBand (float& wetL, float& wetR, float dryL, float dryR, float lowBandStep) noexcept
{
    float* const wet[2] = { &wetL, &wetR };
    const float dry[2] = { dryL, dryR };

    for (int ch = 0; ch < 2; ++ch)
    {
        auto& low = levelMatch[(size_t) ch];
        auto& dryLow = levelMatch[(size_t) ch + 2];
        dsp::smoothTowards (low, *wet[ch], lowBandStep);
        dsp::smoothTowards (dryLow, dry[ch], lowBandStep);

        // Comparing the level ratio with the 2 dB factors is the decibel test without a log.
        const float wetLevel = std::abs (low) + 0.0001f;
        const float dryLevel = std::abs (dryLow) + 0.0001f;
        const float ratio = wetLevel / dryLevel;
        if (ratio > twoDbUp)
            *wet[ch] = *wet[ch] - low + twoDbUp * dryLevel / wetLevel * low;
        else if (ratio < twoDbDown)
            *wet[ch] = *wet[ch] - low + twoDbDown * dryLevel / wetLevel * low;
    }
}

//==============================================================================
void KorruptEngine::runEndOfBlock (int numSamples) noexcept
{
    const float seconds = (float) numSamples / (float) sampleRate;

    // Boredom: the effect levels it sums are all 0 until the corruption effects arrive.
    activityTimer += seconds;
    if (activityTimer > 0.1f)
    {
        activityTimer = 0.0f;
        activityRing[(size_t) activityIndex] = 0.0f;
        activityIndex = (activityIndex + 1) % 32;

        float mean = 0.0f, variance = 0.0f;
        for (auto v : activityRing)
            mean += v;
        mean /= 32.0f;
        for (auto v : activityRing)
            variance += (v - mean) * (v - mean);
        variance /= 32.0f;

        stagnation = (variance < 0.01f && mean > 0.1f) ? stagnation + 0.1f : stagnation * 0.95f;
        stagnation = std::clamp (stagnation, 0.0f, 1.0f);
    }

    if (stagnation > 0.5f)
    {
        lcgState = lcgState * 1103515245u + (std::uint32_t) (int) (10000.0f * engineTime) + 12345u;
        reseedLevel (level.load (std::memory_order_relaxed));
        behaviourState = 7;
        behaviourTime = 0.0f;
        stagnation = 0.0f;
    }

    if (safetyEngaged)
    {
        safetyTime += seconds;
        if (safetyTime > 2.0f)
        {
            safetyEngaged = false;
            safetyTime = 0.0f;
        }
    }

    if (beatWobbleDepth > 0.01f)
    {
        beatWobblePhase += 0.05f * seconds;
        beatWobblePhase -= std::floor (beatWobblePhase);
        const float p = beatWobblePhase;
        const float twoPi = juce::MathConstants<float>::twoPi;
        beatWobble = (0.5f * std::sin (twoPi * 2.3f * p) + std::sin (twoPi * p) + 0.3f * std::sin (twoPi * 0.7f * p))
                     * beatWobbleDepth * 0.2f;
    }
    else
    {
        beatWobble = 0.0f;
    }
}
