#pragma once

/** The nine effects of the chain, in their fixed order. Routing lists hold these as ints so
    that a stale or hand-made id can be carried around and rejected where it is used. */
enum class EffectId : int
{
    DistortionSuite = 0,
    StereoUtilityMax,
    DelayVerb,
    Atomizer,
    MultiEffectImagerPro,
    HeightAndWeight,
    DictionaryReader,
    SmartEQ,
    TavroFinalizer
};

inline constexpr int numEffects = 9;

constexpr bool isValidEffectId (int id) noexcept { return id >= 0 && id < numEffects; }

constexpr int toInt (EffectId id) noexcept { return static_cast<int> (id); }

/** The name menus show for an effect; "Unknown" for anything outside the nine. */
constexpr const char* effectDisplayName (int id) noexcept
{
    switch (id)
    {
        case 0:  return "Distortion Suite";
        case 1:  return "Stereo Utility Max";
        case 2:  return "DelayVerb";
        case 3:  return "Atomizer";
        case 4:  return "Multi Effect Imager";
        case 5:  return "TimePro";
        case 6:  return "Dictionary Reader";
        case 7:  return "Smart EQ";
        case 8:  return "Tavro Finalizer";
        default: return "Unknown";
    }
}
