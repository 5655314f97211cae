#include "effects/atomizer/Atomizer.h"

const std::array<PanelKnobSpec, Atomizer::numKnobs>& Atomizer::knobTable() noexcept
{
    static const std::array<PanelKnobSpec, numKnobs> table {{
        { "INTNS", 0, 100, 50, "%", "Macro: exciter drive + flanger depth" },
        { "FOCUS", 1000, 10000, 3000, "Hz", "Frequency region to excite" },
        { "L MIX", 0, 100, 0, "%", "Dry/wet blend" },
        { "R MIX", 0, 100, 0, "%", "Dry/wet blend" },
        { "EXCITE", 0, 100, 40, "%", "Harmonic generation strength" },
        { "CHAR", 0, 100, 50, "%", "Even/odd harmonic balance" },
        { "RATE", 0.05, 5, 0.5, "Hz", "Speed of harmonic motion" },
        { "DEPTH", 0.1, 5, 1, "ms", "Comb filtering strength" },
        { "FDBK", 0, 70, 30, "%", "Flanger resonance intensity" },
        { "STOFF", 0, 180, 90, "degrees", "Stereo phase spread" },
        { "TONE", -6, 6, 0, "dB", "Post brightness trim" },
        { "OUT", -12, 12, 0, "dB", "Output gain compensation" },
        { "SUB", 0, 100, 15, "%", "Lorenz chaos sub-bass oscillator" },
        { "DYN", 0, 100, 50, "%", "Transient+Compressor+Gate blend" },
        { "SCOOP", 0, 100, 30, "%", "Resonant mid-cut depth (self-osc at 90%+)" },
        { "AIR", -12, 12, 3, "dB", "Harmonic reconstruction + exciter" },
        { "COMP", 0, 100, 40, "%", "3-band parallel compression" },
        { "XOVER", 200, 4000, 1000, "Hz", "Crossover freq for SCOOP & COMP" },
    }};
    return table;
}

Atomizer::Atomizer (OrangeHeadsUpDisplay* hudToFeed)
    : ProcessorPanel (33), hud (hudToFeed)
{
    panelknobs::setUpHoverLabel (*this, hoverLabel, "Hover over a knob...");

    const auto& table = knobTable();
    for (size_t i = 0; i < knobs.size(); ++i)
        panelknobs::setUp (*this, knobs[i], table[i], 0.0, knobInfo);

    leftMixKnob.linkMirror (&processor.parameters.leftMix);
    rightMixKnob.linkMirror (&processor.parameters.rightMix);

    panelknobs::setUpHeaderButtons (*this, bypassButton, hudButton, syncButton, bypassed, sync, hud);
}

void Atomizer::process (float* left, float* right, int numSamples) noexcept
{
    processStereoPointers (processor, left, right, numSamples);
}

std::array<Atomizer::Knob*, Atomizer::numKnobs> Atomizer::getAllKnobs() noexcept
{
    return panelknobs::firstKnobs<numKnobs> (knobs);
}

Atomizer::Knob* Atomizer::findKnob (const juce::String& caption) noexcept
{
    return panelknobs::findByCaption (knobs, caption);
}

void Atomizer::paint (juce::Graphics& g)
{
    panelknobs::paintPanel (g, getLocalBounds(), "ATOMIZER", juce::Colour (0xffff8833), bypassed);
}

void Atomizer::resized()
{
    auto area = panelknobs::layoutHeader (getLocalBounds().reduced (4), hoverLabel, 300, 100,
                                          bypassButton, hudButton, syncButton);

    panelknobs::layoutKnobRow (area, knobs);
}

void Atomizer::timerCallback() {}
