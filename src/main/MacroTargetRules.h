#pragma once

#include <algorithm>

/** Small rules of the macro application that stand on their own. */
namespace macrotargets
{
    /** A tempo for the tempo-synced rules: below 20 BPM, unknown (0) or not a number counts as 20. */
    inline float syncTempo (float tempoBpm) noexcept
    {
        return tempoBpm >= 20.0f ? tempoBpm : 20.0f;
    }

    /** The timing group's delay-time offset in ms: a note length that grows with the
        intensity (0..100), scaled by it. A tempo below 20 BPM (0 while no tempo is known)
        counts as 20, so the offset stays finite. */
    inline float timingDelayOffsetMs (float intensity, float tempoBpm) noexcept
    {
        static constexpr float lengths[] = { 0.25f, 0.5f, 0.75f, 1.0f, 1.5f, 2.0f };
        const float a = std::clamp (intensity / 100.0f, 0.0f, 1.0f);
        const auto k = std::min ((int) (5.9f * a), 5);
        return 60000.0f / syncTempo (tempoBpm) * lengths[k] * (a + 0.5f);
    }

    /** Gains of the main pan stage for a pan of -1..1: the far side is turned down. */
    struct PanGains { float left, right; };

    inline PanGains panGains (float pan) noexcept
    {
        return { pan >= 0.0f ? 1.0f - pan : 1.0f, pan <= 0.0f ? 1.0f + pan : 1.0f };
    }

    /** The TimePro panel mode for the three mixes: Half-Time (2) when its mix is at least both
        others, else Slicer (9) when its mix is at least the stutter's, else Stutter Ramp (10). */
    inline int timeProModeFor (float halfTimeMix, float slicerMix, float stutterMix) noexcept
    {
        if (halfTimeMix >= slicerMix && halfTimeMix >= stutterMix)
            return 2;
        return slicerMix >= stutterMix ? 9 : 10;
    }
}
