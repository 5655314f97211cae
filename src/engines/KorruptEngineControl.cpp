#include "engines/KorruptEngine.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>

// The engine's control side: the 30 Hz tick on the message thread that moves five effects of
// the chain. Every offset is rebuilt from nothing on each tick (oscillators, then events and
// wobbles, then gestures add to them), and the finished set is published whole, so a block
// never pushes a half-built set.

namespace
{
    constexpr float tickSeconds = 1.0f / 30.0f;
    constexpr float twoPi = juce::MathConstants<float>::twoPi;

    float wave (float x) noexcept { return std::sin (twoPi * x); }

    std::uint32_t r16 (std::uint32_t state) noexcept { return state >> 16; }
    std::uint32_t r8 (std::uint32_t state) noexcept  { return state >> 8; }

    /** (state field mod m) - offset, as a signed value. */
    float centred (std::uint32_t field, std::uint32_t m, int offset) noexcept
    {
        return (float) ((int) (field % m) - offset);
    }

    void addClamped (float& value, float delta, float low, float high) noexcept
    {
        value = std::clamp (value + delta, low, high);
    }

    float envelopeShape (int curve, float x) noexcept
    {
        switch (curve)
        {
            case 3:  return 1.0f - (1.0f - x) * (1.0f - x);
            case 4:  return (3.0f - 2.0f * x) * x * x;
            default: return x;
        }
    }

    using Param = KorruptEngine::ModulationParam;

    // (name, min, max, default, swing low, swing high, unipolar, depth) of each target's parameters.
    const Param stereoParams[] = {
        { 0, "Width", -100.0f, 200.0f, 100.0f, -50.0f, 100.0f, false, 0.3f },
        { 1, "Rotation", -180.0f, 180.0f, 0.0f, -90.0f, 90.0f, false, 0.4f },
        { 2, "Balance", -100.0f, 100.0f, 0.0f, -50.0f, 50.0f, false, 0.5f },
        { 3, "Mix", 0.0f, 100.0f, 100.0f, 0.0f, 100.0f, true, 0.2f },
    };
    const Param delayParams[] = {
        { 0, "Time", 0.0f, 2000.0f, 250.0f, -500.0f, 500.0f, false, 0.2f },
        { 1, "Feedback", 0.0f, 100.0f, 30.0f, -30.0f, 40.0f, false, 0.3f },
        { 2, "ReverbMix", 0.0f, 100.0f, 20.0f, -20.0f, 50.0f, false, 0.25f },
        { 3, "Mix", 0.0f, 100.0f, 50.0f, 0.0f, 100.0f, true, 0.15f },
    };
    const Param distortionParams[] = {
        { 0, "Drive", 0.0f, 100.0f, 0.0f, 0.0f, 60.0f, false, 0.35f },
        { 1, "BitDepth", 1.0f, 24.0f, 24.0f, -12.0f, 0.0f, false, 0.4f },
        { 2, "Mix", 0.0f, 100.0f, 0.0f, 0.0f, 100.0f, true, 0.2f },
    };
    const Param atomizerParams[] = {
        { 0, "Intensity", 0.0f, 100.0f, 0.0f, 0.0f, 80.0f, false, 0.25f },
        { 1, "Feedback", 0.0f, 100.0f, 20.0f, -20.0f, 50.0f, false, 0.3f },
        { 2, "Mix", 0.0f, 100.0f, 0.0f, 0.0f, 100.0f, true, 0.2f },
    };
    const Param finalizerParams[] = {
        { 0, "BandWidth", 0.0f, 2.0f, 1.0f, -0.5f, 1.0f, false, 0.3f },
        { 1, "BandDist", 0.0f, 100.0f, 0.0f, 0.0f, 40.0f, false, 0.35f },
    };

    template <size_t n>
    KorruptEngine::ModulationTarget makeTarget (int id, const char* name, float threshold, const Param (&params)[n])
    {
        KorruptEngine::ModulationTarget target;
        target.id = id;
        target.name = name;
        target.threshold = threshold;
        target.paramCount = (int) n;
        std::copy (params, params + n, target.params.begin());
        return target;
    }

    // Targets take part from their threshold, each growing on its own curve.
    constexpr float intensityExponents[] = { 0.7f, 0.8f, 0.9f, 1.0f, 1.1f };
}

const std::array<KorruptEngine::ZoneRow, 6> KorruptEngine::zoneTable { {
    { 0.5f, 1.0f, 0.7f, 0.7f, 0.7f },
    { 0.7f, 0.8f, 0.8f, 0.8f, 0.9f },
    { 1.0f, 0.6f, 0.9f, 0.9f, 0.8f },
    { 1.0f, 0.5f, 0.8f, 1.0f, 0.9f },
    { 0.6f, 1.0f, 1.0f, 0.7f, 0.7f },
    { 0.5f, 1.0f, 0.7f, 0.8f, 0.6f },
} };

void KorruptEngine::buildModulationTargets()
{
    modulationTargets = { makeTarget (1, "Stereo Utility", 0.1f, stereoParams),
                          makeTarget (2, "Delay/Verb", 0.2f, delayParams),
                          makeTarget (3, "Distortion", 0.3f, distortionParams),
                          makeTarget (4, "Atomizer", 0.4f, atomizerParams),
                          makeTarget (5, "Finalizer", 0.5f, finalizerParams) };

    // No event has happened yet: nothing in the histories may match a real pair.
    typeHistory.fill (-1);
    targetHistory.fill (-1);
}

std::uint32_t KorruptEngine::draw() noexcept
{
    const auto state = lcgState.load (std::memory_order_relaxed) * 1103515245u + 12345u;
    lcgState.store (state, std::memory_order_relaxed);
    return state;
}

float KorruptEngine::beatSeconds() const noexcept
{
    return 60.0f / std::max (tempoBpm.load (std::memory_order_relaxed), 60.0f);
}

void KorruptEngine::mirrorControlState() noexcept
{
    for (size_t i = 0; i < character.size(); ++i)
        mirror.character[i].store (character[i], std::memory_order_relaxed);

    mirror.zone.store (zone, std::memory_order_relaxed);
    mirror.targetZone.store (targetZone, std::memory_order_relaxed);
    mirror.zoneBlend.store (zoneBlend, std::memory_order_relaxed);
    mirror.behaviourGain.store (behaviourGain, std::memory_order_relaxed);
}

//==============================================================================
void KorruptEngine::setModulationTargets (const TargetFields& fields) noexcept
{
    size_t i = 0;
    const auto add = [this, &i] (const auto& group)
    {
        for (auto* field : group)
            targetFields[i++].store (field, std::memory_order_relaxed);
    };

    add (fields.stereoUtility);
    add (fields.delayVerb);
    add (fields.distortion);
    add (fields.atomizer);
    add (fields.finalizer);
}

void KorruptEngine::applyModulationTargets() noexcept
{
    pushTargets (published.acquire());
}

void KorruptEngine::pushTargets (const TargetSet& set) noexcept
{
    const auto& o = set.offsets;
    const std::array<float, numTargetFields> values {
        o.stereoWidth, o.stereoRotation, o.stereoBalance, o.stereoMix,
        o.delayTime, o.delayFeedback, o.delayReverbMix, o.delayMix,
        o.distortionDrive, o.distortionBitDepth, o.distortionMix,
        o.atomizerIntensity, o.atomizerFeedback, o.atomizerMix,
        o.finalizerBandWidth[0], o.finalizerBandWidth[1], o.finalizerBandWidth[2],
        o.finalizerBandWidth[3], o.finalizerBandWidth[4], o.finalizerBandWidth[5],
        o.finalizerBandDist[0], o.finalizerBandDist[1], o.finalizerBandDist[2],
        o.finalizerBandDist[3], o.finalizerBandDist[4], o.finalizerBandDist[5]
    };

    constexpr int firstField[] = { stereoUtilityField, delayVerbField, distortionField, atomizerField,
                                   finalizerField, numTargetFields };

    for (int t = 0; t < 5; ++t)
    {
        if (targetFields[(size_t) firstField[t]].load (std::memory_order_relaxed) == nullptr)
            continue;

        const bool moving = set.intensity[(size_t) t] > 0.01f;

        for (int f = firstField[t]; f < firstField[t + 1]; ++f)
            if (auto* field = targetFields[(size_t) f].load (std::memory_order_relaxed))
                field->store (moving ? values[(size_t) f] : 0.0f, std::memory_order_relaxed);
    }
}

void KorruptEngine::pushZeros() noexcept
{
    pushTargets (TargetSet {});
}

void KorruptEngine::publishTargets (bool push)
{
    publishedByTick.tick = ++tickCount;
    publishedByTick.intensity = targetIntensity;
    publishedByTick.offsets = targetOffsets;
    published.publish (publishedByTick);

    if (push)
        pushTargets (publishedByTick);
}

//==============================================================================
void KorruptEngine::timerTick()
{
    if (! active.load (std::memory_order_relaxed) || amount.load (std::memory_order_relaxed) < 0.001f)
    {
        clearControlForIdle();
        return;
    }

    updateZoneValues();
    updateTargetIntensities();
    scheduleEvents (tickSeconds);
    stepEvents (tickSeconds);
    stepGestures (tickSeconds);
    publishTargets (true);
    eventLoad = std::max (eventLoad - 1.0f / 60.0f, 0.0f);
}

void KorruptEngine::clearControlForIdle()
{
    targetIntensity.fill (0.0f);

    for (auto& g : gestures)
    {
        g.running = false;
        g.free = true;
    }

    gestureClock = 0.0f;
    activeGestureCount = 0;
    eventLoad = 0.0f;

    // Nothing is pushed here, but the audio side must see the zero intensities: it pushes the
    // last published set while the amount is above 0 and would otherwise keep moving the
    // effects with the intensities of the last running tick.
    publishTargets (false);
}

void KorruptEngine::updateZoneValues()
{
    const auto row = [] (int z) -> const ZoneRow& { return zoneTable[(size_t) std::clamp (z, 0, 5)]; };
    const float b = mirror.zoneBlend.load (std::memory_order_relaxed);
    const auto& from = row (mirror.zone.load (std::memory_order_relaxed));
    const auto& to = row (mirror.targetZone.load (std::memory_order_relaxed));

    zoneEnergy = std::max (0.5f, (1.0f - b) * from.energy + b * to.energy);
    zoneSustain = std::max (0.5f, (1.0f - b) * from.sustain + b * to.sustain);
    zoneTension = std::clamp (0.3f * zoneEnergy + 0.3f - 0.2f * zoneSustain, 0.0f, 1.0f);
}

void KorruptEngine::updateTargetIntensities()
{
    const float a = amount.load (std::memory_order_relaxed);
    const float gain = mirror.behaviourGain.load (std::memory_order_relaxed);
    const bool fast = a >= 0.8f;

    for (size_t k = 0; k < 5; ++k)
    {
        const float th = modulationTargets[k].threshold;
        const float goal = a < th ? 0.0f : std::pow ((a - th) / (1.0f - th), intensityExponents[k]) * gain;
        targetIntensityGoal[k] = goal;
        targetIntensity[k] += (goal - targetIntensity[k]) * (fast ? 0.3f : 0.1f);
    }

    const float rate = (2.0f * a + 0.2f) * (fast ? 3.0f : 1.0f) / 30.0f;
    const auto c = [this] (int i) { return mirror.character[(size_t) i].load (std::memory_order_relaxed); };
    const float speeds[] = { 0.8f + 0.4f * c (6), 1.0f + 0.4f * c (7), 0.7f + 0.4f * c (8),
                             1.2f + 0.4f * c (9), 0.5f + 0.4f * c (0) };

    for (size_t k = 0; k < 5; ++k)
    {
        targetLfoPhase[k] += rate * speeds[k];
        if (targetLfoPhase[k] > 1.0f)
            targetLfoPhase[k] -= 1.0f;
        targetJumpClock[k] += tickSeconds;
    }

    applyOscillators (a, targetIntensity[0], targetIntensity[1], targetIntensity[2], targetIntensity[3],
                      targetIntensity[4]);
}

void KorruptEngine::applyOscillators (float a, float i1, float i2, float i3, float i4, float i5)
{
    auto& o = targetOffsets;
    const float m = 0.5f * a + 0.25f;
    const float aPlus = a + 0.1f;
    const auto& phase = targetLfoPhase;
    auto& clock = targetJumpClock;

    o = {};

    if (i1 > 0.01f)
    {
        const float s = wave (phase[0]), t = wave (2.3f * phase[0]);
        o.stereoWidth = 50.0f * s * i1;
        o.stereoBalance = 30.0f * t * i1;
        o.stereoMix = 100.0f * m * i1;
        o.stereoRotation = 45.0f * (0.7f * s + 0.3f * t) * i1;

        if (clock[0] > 2.0f / aPlus && a >= 0.7f)
        {
            clock[0] = 0.0f;
            const auto r = draw();
            if ((int) (r16 (r) % 100u) < (int) (40.0f * a))
                o.stereoWidth = centred (r8 (r), 200u, 100) * i1;
        }
    }

    if (i2 > 0.01f)
    {
        const float s = wave (phase[1]), u = wave (1.7f * phase[1]);
        o.delayTime = 300.0f * s * i2;
        o.delayFeedback = 45.0f * (0.5f * s + 0.5f) * i2;
        o.delayReverbMix = 60.0f * (0.5f * u + 0.5f) * i2;
        o.delayMix = 100.0f * m * i2;

        if (clock[1] > 1.5f / aPlus && a >= 0.7f)
        {
            clock[1] = 0.0f;
            const auto r = draw();
            if ((int) (r16 (r) % 100u) < (int) (50.0f * a))
                o.delayFeedback = (float) (r8 (r) % 30u) + 40.0f;
        }
    }

    if (i3 > 0.01f)
    {
        o.distortionDrive = 8.0f * (0.7f * wave (phase[2]) + 0.3f) * i3;
        o.distortionBitDepth = -12.0f * i3;
        o.distortionMix = 100.0f * m * i3;

        if (clock[2] > 1.0f / aPlus && a >= 0.6f)
        {
            clock[2] = 0.0f;
            const auto r = draw();
            if ((int) (r16 (r) % 100u) < (int) (60.0f * a))
                o.distortionDrive = (float) (r8 (r) % 6u) + 10.0f;
        }
    }

    if (i4 > 0.01f)
    {
        o.atomizerIntensity = 50.0f * (0.5f * wave (phase[3]) + 0.5f) * i4;
        o.atomizerFeedback = 40.0f * (0.7f * wave (3.1f * phase[3]) + 0.3f) * i4;
        o.atomizerMix = 100.0f * m * i4;
    }

    if (i5 > 0.01f)
    {
        const float b = wave (phase[4]);
        for (int n = 0; n < 6; ++n)
        {
            const float sn = wave ((1.0f + 0.3f * (float) n) * phase[4]);
            o.finalizerBandWidth[(size_t) n] = 60.0f * i5 * (0.25f * sn + 0.75f * b);
            o.finalizerBandDist[(size_t) n] = 25.0f * (0.5f * sn + 0.5f) * i5;
        }

        if (a >= 0.6f && clock[4] > 0.6f / aPlus)
        {
            clock[4] = 0.0f;
            const float d = centred (r8 (draw()), 100u, 30) * i5 * 0.6f;
            for (auto& width : o.finalizerBandWidth)
                width += d;
        }
    }
}

//==============================================================================
// Events and wobbles

void KorruptEngine::scheduleEvents (float dt)
{
    const float a = amount.load (std::memory_order_relaxed);
    if (! active.load (std::memory_order_relaxed) || a < 0.01f)
        return;

    scheduleClock += dt;
    maxEventLoad = 3.0f * a + 1.0f;
    const float rate = std::max (0.1f, (5.8f * std::pow (a, 1.5f) + 0.2f) * (0.6f * zoneEnergy + 0.7f)
                                           * (1.0f - 0.3f * zoneSustain));

    if (scheduleClock >= scheduleInterval)
    {
        if (maxEventLoad > eventLoad)
        {
            const auto r = draw();
            const int count = eventCount.load (std::memory_order_relaxed);

            if ((float) (r16 (r) % 100u) / 100.0f < (0.5f * a + 0.4f) * 0.5f && count < 16)
            {
                int type = chooseEventType();
                int target = chooseEventTarget();

                for (int back = 1; back <= 3; ++back)
                {
                    const auto p = (size_t) ((historyPos - back + 8) % 8);
                    if (typeHistory[p] == type && targetHistory[p] == target)
                    {
                        type = chooseEventType();
                        target = chooseEventTarget();
                        break;
                    }
                }

                Event event;
                event.type = type;
                event.target = target;
                configureEvent (event);

                const int placed = eventCount.load (std::memory_order_relaxed);
                if (placed < 16)
                {
                    eventQueue[(size_t) placed] = event;
                    eventCount.store (placed + 1, std::memory_order_relaxed);
                }

                typeHistory[(size_t) historyPos] = type;
                targetHistory[(size_t) historyPos] = target;
                historyPos = (historyPos + 1) % 8;
                eventLoad += event.weight;
            }
        }

        scheduleClock = 0.0f;
        scheduleInterval = (0.75f + 0.5f * (float) (r16 (draw()) % 100u) / 100.0f) / rate;
    }

    stepWobbles (dt);
}

int KorruptEngine::chooseEventType()
{
    const float x = (float) (r16 (draw()) % 1000u) / 1000.0f;
    const float e = 0.4f * zoneEnergy, s = 0.3f * zoneSustain;

    if (x < 0.2f * e + 0.15f)                  return 6;
    if (x < 0.15f * e + 0.25f)                 return 2;
    if (x < 0.1f * e + 0.35f)                  return 9;
    if (x < 0.15f * s + 0.5f)                  return 1;
    if (x < 0.1f * s + 0.6f)                   return 5;
    if (x < 0.045f * zoneTension + 0.7f)       return 3;
    if (x < 0.8f)                              return 0;
    if (x < 0.9f)                              return 4;
    return 7;
}

int KorruptEngine::chooseEventTarget()
{
    const float a = amount.load (std::memory_order_relaxed);
    std::array<int, 5> ids {};
    std::uint32_t count = 0;

    for (const auto& t : modulationTargets)
        if (t.enabled && t.threshold <= a)
            ids[count++] = t.id;

    if (count == 0)
        return 0;

    return ids[r16 (draw()) % count];
}

void KorruptEngine::configureEvent (Event& event)
{
    const float a = amount.load (std::memory_order_relaxed);
    const auto sr = (float) mirror.sampleRate.load (std::memory_order_relaxed);
    const float beat = beatSeconds();
    const auto samples = [sr] (float seconds) { return (int) (seconds * sr); };

    event.depth = 0.7f * a + 0.3f;
    event.jitter = 0.3f * zoneEnergy;

    // (attack s, release s, weight) by type.
    struct Lengths { float attack, release, weight; };
    const Lengths table[] = {
        { 0.05f, 0.1f, 0.5f },           { 2.0f * beat, beat, 1.0f },   { 0.5f * beat, 0.01f, 1.5f },
        { beat, 0.02f, 2.0f },           { 0.3f, 0.2f, 1.5f },          { beat, 0.5f * beat, 1.0f },
        { 0.4f * a + 0.1f, 0.05f, 1.5f }, { 2.0f * beat, 0.3f, 2.0f },  { 2.0f, 1.0f, 0.3f },
        { 0.2f, 0.05f, 2.5f },
    };

    const auto& row = table[(size_t) std::clamp (event.type, 0, 9)];
    event.attackSamples = samples (row.attack);
    event.releaseSamples = samples (row.release);
    event.weight = row.weight;

    const bool hasEntry = event.target >= 1 && event.target <= 5;
    const auto* entry = hasEntry ? &modulationTargets[(size_t) event.target - 1] : nullptr;
    const int n = entry != nullptr ? entry->paramCount : 0;

    switch (event.type)
    {
        case 0:
            fillEventSlots (event);
            break;

        case 1:
            event.attackCurve = 4;
            if (n > 0)
            {
                const auto& p = entry->params[(size_t) (r16 (draw()) % (std::uint32_t) n)];
                event.slots[0] = { p.index, event.depth * p.swingLow, event.depth * p.swingHigh };
                event.slotCount = 1;
            }
            break;

        case 5:
            if (event.target == 3)
            {
                event.slots[0] = { 0, 10.0f * event.depth, 40.0f * event.depth };
                event.slots[1] = { 1, -4.0f * event.depth, -8.0f * event.depth };
                event.slotCount = 2;
            }
            break;

        case 8:
            event.depth *= 0.3f;
            break;

        case 9:
            event.jitter = 0.8f;
            event.slotCount = std::min (n, 4);
            for (int i = 0; i < event.slotCount; ++i)
            {
                const auto& p = entry->params[(size_t) i];
                event.slots[(size_t) i] = { p.index, 1.5f * event.depth * p.swingLow, 1.5f * event.depth * p.swingHigh };
            }
            break;

        default:
            break;
    }

    if (zoneSustain > 0.3f)
        event.releaseSamples = (int) ((zoneSustain + 1.0f) * (float) event.releaseSamples);

    event.running = true;
    event.attackProgress = event.releaseProgress = 0.0f;
}

void KorruptEngine::fillEventSlots (Event& event)
{
    if (event.target < 1 || event.target > 5)
        return;

    const auto& entry = modulationTargets[(size_t) event.target - 1];
    const auto n = (std::uint32_t) entry.paramCount;
    if (n == 0)
        return;

    event.slotCount = (int) (r16 (draw()) % std::min (n, 3u)) + 1;

    for (int i = 0; i < event.slotCount; ++i)
    {
        const auto& p = entry.params[r16 (draw()) % n];
        event.slots[(size_t) i] = { p.index, event.depth * p.swingLow, event.depth * p.swingHigh };
    }
}

void KorruptEngine::stepEvents (float dt)
{
    const double sr = mirror.sampleRate.load (std::memory_order_relaxed);
    const int count = eventCount.load (std::memory_order_relaxed);

    for (int i = 0; i < count; ++i)
    {
        auto& e = eventQueue[(size_t) i];
        if (! e.running)
            continue;

        if (e.attackProgress < 1.0f)
            e.attackProgress = std::min (1.0f, e.attackProgress + dt / std::max ((float) (e.attackSamples / sr), 0.001f));
        else
            e.releaseProgress = std::min (1.0f, e.releaseProgress + dt / std::max ((float) (e.releaseSamples / sr), 0.001f));

        const float attack = envelopeShape (e.attackCurve, std::clamp (e.attackProgress, 0.0f, 1.0f));
        const float release = envelopeShape (e.releaseCurve, std::clamp (e.releaseProgress, 0.0f, 1.0f));
        float v = e.attackProgress < 1.0f ? attack : 1.0f - release;

        if (e.jitter > 0.01f)
            v += centred (r16 (draw()), 200u, 100) / 100.0f * e.jitter * 0.2f;

        e.envelope = std::clamp (v, 0.0f, 1.0f) * e.depth;
        applyEventToTargets (e);

        if (e.releaseProgress >= 1.0f)
        {
            e.running = false;
            e.finished = true;
        }
    }

    int kept = 0;
    for (int i = 0; i < count; ++i)
    {
        const auto& e = eventQueue[(size_t) i];
        if (e.running || ! e.finished)
            eventQueue[(size_t) kept++] = e;
    }
    eventCount.exchange (kept);

    applyWobbles();
}

void KorruptEngine::applyEventToTargets (const Event& event)
{
    if (event.target < 1 || event.target > 5 || event.slotCount <= 0
        || targetIntensity[(size_t) event.target - 1] < 0.01f)
        return;

    auto& o = targetOffsets;

    for (int i = 0; i < std::min (event.slotCount, 4); ++i)
    {
        const auto& slot = event.slots[(size_t) i];
        const float v = slot.from + (slot.to - slot.from) * event.envelope;

        switch (event.target)
        {
            case 1:
                switch (slot.paramIndex)
                {
                    case 0: addClamped (o.stereoWidth, v, -200.0f, 200.0f); break;
                    case 1: addClamped (o.stereoRotation, v, -180.0f, 180.0f); break;
                    case 2: addClamped (o.stereoBalance, v, -100.0f, 100.0f); break;
                    case 3: addClamped (o.stereoMix, 0.5f * v, 0.0f, 100.0f); break;
                    default: break;
                }
                break;

            case 2:
                switch (slot.paramIndex)
                {
                    case 0: addClamped (o.delayTime, v, -1000.0f, 1000.0f); break;
                    case 1: addClamped (o.delayFeedback, v, -80.0f, 80.0f); break;
                    case 2: addClamped (o.delayReverbMix, v, -50.0f, 100.0f); break;
                    case 3: addClamped (o.delayMix, 0.5f * v, 0.0f, 100.0f); break;
                    default: break;
                }
                break;

            case 3:
                switch (slot.paramIndex)
                {
                    case 0: addClamped (o.distortionDrive, v, -20.0f, 60.0f); break;
                    case 1: addClamped (o.distortionBitDepth, v, -12.0f, 0.0f); break;
                    case 2: addClamped (o.distortionMix, 0.5f * v, 0.0f, 100.0f); break;
                    default: break;
                }
                break;

            case 4:
                switch (slot.paramIndex)
                {
                    case 0: addClamped (o.atomizerIntensity, v, -50.0f, 100.0f); break;
                    case 1: addClamped (o.atomizerFeedback, v, -50.0f, 80.0f); break;
                    case 2: addClamped (o.atomizerMix, 0.5f * v, 0.0f, 100.0f); break;
                    default: break;
                }
                break;

            default:
            {
                const auto band = (size_t) (r16 (draw()) % 6u);
                if (slot.paramIndex == 0)
                    addClamped (o.finalizerBandWidth[band], v, -1.0f, 2.0f);
                else if (slot.paramIndex == 1)
                    addClamped (o.finalizerBandDist[band], v, -20.0f, 60.0f);
                break;
            }
        }
    }
}

void KorruptEngine::stepWobbles (float dt)
{
    const float a = amount.load (std::memory_order_relaxed);
    const float k = (0.5f * zoneSustain + 1.0f) * a * 0.15f;

    for (auto& w : wobbles)
    {
        w.phase += dt * w.rateHz;
        if (w.phase > 1.0f)
            w.phase -= 1.0f;
        w.depth += (w.targetDepth - w.depth) * 2.0f * dt;

        if (w.depth < 0.01f && k > 0.01f)
        {
            const auto r = draw();
            w.targetDepth = ((float) (r16 (r) % 100u) / 200.0f + 0.5f) * k;
            w.rateHz = (float) (r8 (r) % 100u) / 500.0f + 0.05f;

            std::array<int, 5> ids {};
            std::uint32_t count = 0;
            for (const auto& t : modulationTargets)
                if (t.enabled && t.threshold <= a)
                    ids[count++] = t.id;

            if (count > 0)
            {
                w.target = ids[r16 (r) % count];
                const auto params = (std::uint32_t) modulationTargets[(size_t) w.target - 1].paramCount;
                w.paramIndex = (int) ((r >> 24) % params);
            }
        }
    }
}

void KorruptEngine::applyWobbles()
{
    auto& o = targetOffsets;

    for (const auto& w : wobbles)
    {
        if (w.depth < 0.001f || w.target < 1 || w.target > 5 || targetIntensity[(size_t) w.target - 1] < 0.01f)
            continue;

        const float s = std::sin (6.28318f * w.phase) * w.depth;

        switch (w.target * 10 + w.paramIndex)
        {
            case 10: o.stereoWidth += 10.0f * s; break;
            case 11: o.stereoRotation += 15.0f * s; break;
            case 20: o.delayTime += 50.0f * s; break;
            case 21: o.delayFeedback += 5.0f * s; break;
            case 30: o.distortionDrive += 5.0f * s; break;
            case 40: o.atomizerIntensity += 10.0f * s; break;
            default:
                if (w.target == 5)
                    o.finalizerBandWidth[(size_t) (((w.paramIndex % 6) + 6) % 6)] += 0.2f * s;
                break;
        }
    }
}
