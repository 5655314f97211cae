#include "engines/KorruptEngine.h"

#include <algorithm>
#include <cmath>

// Gestures: short shaped strokes on one parameter group of one target, up to eight at a time,
// added to the offsets after the events. Message thread, inside the tick.

void KorruptEngine::stepGestures (float dt)
{
    const float a = amount.load (std::memory_order_relaxed);
    if (! active.load (std::memory_order_relaxed) || a < 0.01f)
        return;

    gestureClock += dt;

    const int currentZone = mirror.zone.load (std::memory_order_relaxed);
    float d = 2.0f - 1.5f * a;
    if (currentZone == 2)
        d *= 0.5f;
    else if (currentZone == 0)
        d *= 2.0f;
    gestureInterval = std::max (d, 0.5f * beatSeconds());

    if (gestureClock >= gestureInterval && activeGestureCount < 8)
    {
        if ((float) ((draw() >> 16) % 100u) / 100.0f < 0.6f * a + 0.3f)
            startGesture();
        gestureClock = 0.0f;
    }

    for (auto& g : gestures)
    {
        if (! g.running)
            continue;

        if (g.delay > 0.0f)
        {
            g.delay -= dt;
            continue;
        }

        g.progress += dt / std::max (g.duration, 0.01f);
        const float p = g.progress, depth = g.depth;
        float v = depth;

        switch (g.shape)
        {
            case 0: v = depth * std::exp (-4.0f * p); break;
            case 1: v = depth * std::min (p, 1.0f); break;
            case 3:
                g.lfoPhase += dt * g.lfoRateHz;
                v = depth * (0.5f * std::sin (6.28f * g.lfoPhase) + 0.5f);
                break;
            case 4: v = depth * (float) ((draw() >> 16) % 100u) / 100.0f; break;
            case 5: v = -depth * (1.0f - p); break;
            default: break;
        }

        applyGestureValue (g.target, g.param, v);

        if (g.progress >= 1.0f)
        {
            g.running = false;
            g.free = true;
            activeGestureCount = std::max (activeGestureCount - 1, 0);
        }
    }
}

void KorruptEngine::startGesture()
{
    auto slot = std::find_if (gestures.begin(), gestures.end(), [] (const Gesture& g) { return ! g.running && g.free; });
    if (slot == gestures.end())
        slot = std::find_if (gestures.begin(), gestures.end(), [] (const Gesture& g) { return g.free; });
    if (slot == gestures.end())
        return;

    const float a = amount.load (std::memory_order_relaxed);
    const float beat = beatSeconds();
    auto& g = *slot;

    g.target = chooseGestureTarget();

    const float f = (float) ((draw() >> 16) % 100u) / 100.0f;
    if (a < 0.3f)
        g.shape = f < 0.4f ? 1 : f < 0.7f ? 3 : 2;
    else if (a < 0.6f)
        g.shape = f < 0.25f ? 0 : f < 0.45f ? 1 : f < 0.65f ? 3 : f < 0.85f ? 2 : 4;
    else
        g.shape = f < 0.3f ? 0 : f < 0.5f ? 4 : f < 0.65f ? 3 : f < 0.8f ? 5 : 6;

    g.param = (int) ((draw() >> 16) & 3u);
    g.duration = std::clamp (((float) ((draw() >> 16) % 800u) / 100.0f + 0.25f) * beat, 0.1f, 4.0f);
    g.depth = (float) ((draw() >> 16) % 100u) * a * 0.7f / 100.0f + 0.3f;
    g.lfoPhase = 0.0f;
    g.lfoRateHz = 3.0f * a + 0.5f;

    const auto r = draw();
    g.progress = 0.0f;
    g.running = true;
    g.free = false;
    g.delay = (float) ((r >> 16) % 50u) / 100.0f;

    ++activeGestureCount;
}

int KorruptEngine::chooseGestureTarget()
{
    auto& w = gestureTargetWeights;
    w.fill (0.15f);

    switch (mirror.zone.load (std::memory_order_relaxed))
    {
        case 0: w[0] = 0.25f; w[1] = 0.3f; break;
        case 1: w[0] = 0.2f; w[1] = 0.25f; w[2] = 0.2f; break;
        case 2: w[0] = 0.2f; w[2] = 0.3f; w[3] = 0.25f; break;
        case 3: w[0] = 0.2f; w[2] = 0.4f; w[3] = 0.25f; break;
        case 4: w[0] = 0.25f; w[1] = 0.35f; w[2] = 0.05f; w[4] = 0.2f; break;
        case 5: w[1] = 0.25f; w[3] = 0.3f; w[4] = 0.25f; break;
        default: break;
    }

    float sum = 0.0f;
    for (auto v : w)
        sum += v;
    if (sum > 0.01f)
        for (auto& v : w)
            v /= sum;

    const float x = (float) ((draw() >> 16) % 1000u) / 1000.0f;
    float running = 0.0f;
    for (int i = 0; i < 5; ++i)
    {
        running += w[(size_t) i];
        if (running >= x)
            return i;
    }
    return 2;
}

void KorruptEngine::applyGestureValue (int target, int param, float value)
{
    auto& o = targetOffsets;
    const float x = value * amount.load (std::memory_order_relaxed);

    if (target >= 0 && target <= 4 && targetIntensity[(size_t) target] >= 0.01f)
    {
        switch (target * 10 + param)
        {
            case 0:  o.stereoWidth += 100.0f * x; break;
            case 1:  o.stereoRotation += 90.0f * x; break;
            case 2:  o.stereoMix += 100.0f * x; break;
            case 3:  o.stereoWidth += 50.0f * x; o.stereoRotation += 45.0f * x; o.stereoBalance += 30.0f * x; break;
            case 10: o.delayTime += 500.0f * x; break;
            case 11: o.delayFeedback += 50.0f * x; break;
            case 12: o.delayMix += 100.0f * x; break;
            case 13: o.delayTime += 300.0f * x; o.delayFeedback += 30.0f * x; o.delayReverbMix += 40.0f * x; break;
            case 20: o.distortionDrive += 50.0f * x; break;
            case 21: o.distortionBitDepth -= 8.0f * x; break;
            case 22: o.distortionMix += 100.0f * x; break;
            case 23: o.distortionDrive += 30.0f * x; o.distortionBitDepth -= 4.0f * x; break;
            case 30: o.atomizerIntensity += 100.0f * x; break;
            case 31: o.atomizerFeedback += 50.0f * x; break;
            case 32: o.atomizerMix += 100.0f * x; break;
            case 33: o.atomizerIntensity += 60.0f * x; o.atomizerFeedback += 30.0f * x; break;
            default:
                if (target == 4)
                {
                    const auto band = (size_t) ((draw() >> 16) % 6u);
                    if (param == 0)
                        o.finalizerBandWidth[band] += 2.0f * x;
                    else if (param == 1)
                        o.finalizerBandDist[band] += 30.0f * x;
                    else if (param == 3)
                        for (size_t b = 0; b < 6; ++b)
                        {
                            o.finalizerBandWidth[b] += 0.5f * x;
                            o.finalizerBandDist[b] += 10.0f * x;
                        }
                }
                break;
        }
    }

    o.stereoWidth = std::clamp (o.stereoWidth, -200.0f, 200.0f);
    o.stereoRotation = std::clamp (o.stereoRotation, -180.0f, 180.0f);
    o.stereoBalance = std::clamp (o.stereoBalance, -100.0f, 100.0f);
    o.stereoMix = std::clamp (o.stereoMix, 0.0f, 100.0f);
    o.delayTime = std::clamp (o.delayTime, -1000.0f, 1000.0f);
    o.delayFeedback = std::clamp (o.delayFeedback, -80.0f, 80.0f);
    o.distortionDrive = std::clamp (o.distortionDrive, -20.0f, 60.0f);
    o.distortionBitDepth = std::clamp (o.distortionBitDepth, -12.0f, 0.0f);
}
