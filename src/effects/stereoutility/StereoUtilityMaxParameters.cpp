#include "effects/stereoutility/StereoUtilityMaxParameters.h"

const std::array<PanelKnobSpec, (size_t) StereoUtilityMaxParameters::numKnobs>&
StereoUtilityMaxParameters::knobTable() noexcept
{
    static const std::array<PanelKnobSpec, (size_t) numKnobs> table {{
        { "WIDTH", 0, 200, 100, "%", "Global stereo width (M/S balance)" },
        { "BAL", -100, 100, 0, "", "Constant-power L/R balance" },
        { "MONO<", 20, 300, 80, "Hz", "LR4 crossover: mono below freq" },
        { "TRIM", -24, 12, 0, "dB", "Output gain compensation" },
        { "L MIX", 0, 100, 0, "%", "Left channel wet mix" },
        { "R MIX", 0, 100, 0, "%", "Right channel wet mix" },
        { "LO X", 20, 300, 120, "Hz", "LR4 low/mid crossover freq" },
        { "HI X", 1000, 8000, 3000, "Hz", "LR4 mid/high crossover freq" },
        { "LO W", 0, 100, 20, "%", "Low band M/S width (narrow=club)" },
        { "MID W", 50, 150, 100, "%", "Mid band M/S width" },
        { "HI W", 80, 200, 120, "%", "High band M/S width (wide=air)" },
        { "MID", -12, 12, 0, "dB", "Center/mono channel gain" },
        { "SIDE", -12, 12, 0, "dB", "Side/stereo channel gain" },
        { "ILD", 0, 24, 0, "dB", "Interaural Level Diff (L louder)" },
        { "ITD", 0, 1000, 0, "\xc2\xb5s", "Interaural Time Diff (Lagrange)" },
        { "IACC", 0, 100, 100, "%", "Cross-corr (100=mono, 0=decorrelated)" },
        { "L DLY", -1000, 1000, 0, "\xc2\xb5s", "Left delay (Thiran interp)" },
        { "R DLY", -1000, 1000, 0, "\xc2\xb5s", "Right delay (Thiran interp)" },
        { "PHASE", 0, 180, 0, "\xc2\xb0", "8-stage allpass phase rotation" },
        { "D THR", -40, 0, -12, "dB", "Side compress/expand threshold" },
        { "D RAT", 0.5, 4, 1, ":1", "<1=expand, 1=off, >1=compress" },
        { "D ATK", 1, 100, 10, "ms", "Envelope attack time" },
        { "D REL", 10, 1000, 100, "ms", "Envelope release time" },
        { "HAAS", 0, 40, 0, "ms", "Precedence effect R delay" },
        { "PITCH", 0, 50, 0, "\xc2\xa2", "Granular pitch spread L\xe2\x86\x91 R\xe2\x86\x93" },
        { "MOD R", 0.1, 10, 1, "Hz", "Chorus LFO rate" },
        { "MOD D", 0, 100, 0, "%", "Chorus modulation depth" },
        { "ROT", -180, 180, 0, "\xc2\xb0", "2D rotation matrix angle" },
        { "CTR", -12, 6, 0, "dB", "Wiener-extracted center gain" },
        { "SIDES", -12, 6, 0, "dB", "Side channel post-extract gain" },
        { "EXTR", 0, 100, 0, "%", "Spectral center extraction" },
        { "ROOM", 0, 100, 30, "%", "Early reflection tap spacing" },
        { "EARLY", -24, 6, -6, "dB", "8-tap early reflection level" },
        { "DIFF", 0, 100, 50, "%", "4x4 Hadamard FDN diffusion" },
        { "DECOR", 0, 100, 30, "%", "Schroeder allpass cascade" },
    }};
    return table;
}

StereoUtilityMaxParameters::StereoUtilityMaxParameters() noexcept
{
    setDefaults();
}

void StereoUtilityMaxParameters::setDefaults() noexcept
{
    const auto& table = knobTable();
    for (size_t i = 0; i < table.size(); ++i)
        knobs[i].store ((float) table[i].defaultValue, std::memory_order_relaxed);
}
