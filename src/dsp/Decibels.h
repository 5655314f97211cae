#pragma once

#include <algorithm>
#include <cmath>

/** Decibels to gain and back, in float.

    One rule (gain = 10^(dB / 20), with a floor of -100 dB meaning silence), in the forms pinned
    results depend on. They differ only in how they scale and in what a NaN becomes:

    | Form                  | arithmetic               | at or below -100 dB | NaN in    | matches                     |
    |-----------------------|--------------------------|---------------------|-----------|-----------------------------|
    | `flooredNanSilent`    | pow (10, dB / 20)        | 0                   | 0         | the Distortion Suite's gains |
    | `flooredNanPasses`    | pow (10, dB * 0.05)      | 0                   | NaN       | the finalizer's gains        |
    | `unfloored`           | pow (10, dB / 20)        | tiny, never 0       | NaN       | the Smart EQ's gains and the Distortion Suite's ceiling |

    `dB * 0.05f` and `dB / 20.0f` differ in the last bit for some inputs, which is why the
    finalizer's form is kept apart rather than merged. */
namespace dsp
{
    enum class DecibelForm { flooredNanSilent, flooredNanPasses, unfloored };

    inline constexpr float silenceFloorDb = -100.0f;

    template <DecibelForm Form = DecibelForm::flooredNanSilent>
    inline float decibelsToGain (float dB) noexcept
    {
        if constexpr (Form == DecibelForm::flooredNanSilent)
            return dB > silenceFloorDb ? std::pow (10.0f, dB / 20.0f) : 0.0f;
        else if constexpr (Form == DecibelForm::flooredNanPasses)
            return dB <= silenceFloorDb ? 0.0f : std::pow (10.0f, dB * 0.05f);
        else
            return std::pow (10.0f, dB / 20.0f);
    }

    /** Level of a linear magnitude in dB, never below `floorDb`: zero, negative and NaN
        magnitudes read as the floor. */
    inline float gainToDecibels (float gain, float floorDb = silenceFloorDb) noexcept
    {
        return gain > 0.0f ? std::max (20.0f * std::log10 (gain), floorDb) : floorDb;
    }
}
