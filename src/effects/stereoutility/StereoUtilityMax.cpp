#include "effects/stereoutility/StereoUtilityMax.h"

const std::array<PanelKnobSpec, StereoUtilityMax::numKnobs>& StereoUtilityMax::knobTable() noexcept
{
    static const std::array<PanelKnobSpec, numKnobs> table {{
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

StereoUtilityMax::StereoUtilityMax (HeadsUpDisplay* hudToFeed)
    : ProcessorPanel (33), hud (hudToFeed)
{
    panelknobs::setUpHoverLabel (*this, hoverLabel, "Hover over a knob to see its value");

    const auto& table = knobTable();
    for (size_t i = 0; i < knobs.size(); ++i)
    {
        auto spec = table[i];
        // Text-value suffixes are the readouts' units; balance has none.
        knobs[i].setTextValueSuffix (spec.unit);
        panelknobs::setUp (*this, knobs[i], spec, 0.0, knobInfo);
    }

    leftMixKnob.linkMirror (&processor.parameters.leftMix);
    rightMixKnob.linkMirror (&processor.parameters.rightMix);

    panelknobs::setUpHeaderButtons (*this, bypassButton, hudButton, syncButton, bypassed, syncEnabled, hud);
}

void StereoUtilityMax::process (juce::AudioBuffer<float>& buffer) noexcept
{
    processor.process (buffer, 0, buffer.getNumSamples());
}

void StereoUtilityMax::resetToNeutral()
{
    // Mix knobs first, so the effect drops out of the chain before anything else moves.
    static constexpr int order[] = { 4, 5, 0, 1, 2, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17,
                                     18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34 };
    const auto& table = knobTable();
    for (auto index : order)
        knobs[(size_t) index].setValue (table[(size_t) index].defaultValue, juce::sendNotificationAsync);
}

std::array<StereoUtilityMax::Knob*, StereoUtilityMax::numKnobs> StereoUtilityMax::getAllKnobs() noexcept
{
    return panelknobs::firstKnobs<numKnobs> (knobs);
}

StereoUtilityMax::Knob* StereoUtilityMax::findKnob (const juce::String& caption) noexcept
{
    return panelknobs::findByCaption (knobs, caption);
}

void StereoUtilityMax::paint (juce::Graphics& g)
{
    panelknobs::paintPanel (g, getLocalBounds(), "STEREO UTILITY MAX", juce::Colour (0xff44aaff), bypassed);
}

void StereoUtilityMax::resized()
{
    auto area = panelknobs::layoutHeader (getLocalBounds().reduced (4), hoverLabel, 300, 160,
                                          bypassButton, hudButton, syncButton);

    panelknobs::layoutKnobRow (area, knobs);
}

void StereoUtilityMax::timerCallback() {}
