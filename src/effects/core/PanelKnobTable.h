#pragma once

#include "controls/HeadsUpDisplay.h"
#include "controls/RightClickSlider.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>

/** One row of a panel's knob table: what the knob is called on screen, its range and start
    value, the unit its readouts append and the line the heads-up display shows for it. */
struct PanelKnobSpec
{
    const char* caption;
    double minimum, maximum, defaultValue;
    const char* unit;
    const char* description;
};

namespace panelknobs
{
    /** Rotary knob without a text box, named by its caption, double-click back to its default,
        added to the panel and entered into the panel's display table. interval 0 = continuous. */
    void setUp (juce::Component& panel, RightClickSlider& knob, const PanelKnobSpec& spec,
                double interval, KnobInfoMap& knobInfo);

    /** The DelayVerb and TimePro step rule: whole numbers on ranges wider than 100. */
    double wideRangeInterval (const PanelKnobSpec& spec) noexcept;

    template <size_t N>
    RightClickSlider* findByCaption (std::array<RightClickSlider, N>& knobs, const juce::String& caption) noexcept
    {
        for (auto& knob : knobs)
            if (knob.getName() == caption)
                return &knob;
        return nullptr;
    }

    /** Lays the visible knobs out left to right in one row below a strip of the given height,
        each a square as high as the row allows. */
    void layoutRow (juce::Rectangle<int> area, juce::Array<juce::Component*> knobs);

    /** Toggles a panel's heads-up display the way every HUD button does. */
    void toggleHud (ColourHeadsUpDisplay* hud);

    /** Background and title every panel draws until its own face is added. */
    void paintPanel (juce::Graphics& g, juce::Rectangle<int> bounds, const juce::String& title,
                     juce::Colour accent, bool bypassed);
}
