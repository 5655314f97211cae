#pragma once

#include "controls/HeadsUpDisplay.h"
#include "controls/RightClickSlider.h"
#include "effects/PanelKnobSpec.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>
#include <functional>

namespace panelknobs
{
    /** Rotary knob without a text box, named by its caption, double-click back to its default,
        added to the panel and entered into the panel's display table. interval 0 = continuous. */
    void setUp (juce::Component& panel, RightClickSlider& knob, const PanelKnobSpec& spec,
                double interval, KnobInfoMap& knobInfo);

    /** Whether a panel's control counts as hovered for its read-out: visible, and under the
        pointer or being dragged; a test's stand-in for the pointer, when set, decides instead. */
    inline bool countsAsHovered (const juce::Component& c, const std::function<bool (const juce::Component&)>& pointerStandIn)
    {
        return c.isVisible() && (pointerStandIn ? pointerStandIn (c) : c.isMouseOverOrDragging (false));
    }

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

    /** The first M knobs of a panel's table, in table order. */
    template <size_t M, size_t N>
    std::array<RightClickSlider*, M> firstKnobs (std::array<RightClickSlider, N>& knobs) noexcept
    {
        static_assert (M <= N, "more knobs asked for than the panel has");
        std::array<RightClickSlider*, M> first {};
        for (size_t i = 0; i < M; ++i)
            first[i] = &knobs[i];
        return first;
    }

    /** Lays the visible knobs out left to right in one row below a strip of the given height,
        each a square as high as the row allows. */
    void layoutRow (juce::Rectangle<int> area, juce::Array<juce::Component*> knobs);

    /** layoutRow for a panel's knob table, after any leading knobs, 4 pixels below the area's top. */
    template <size_t N>
    void layoutKnobRow (juce::Rectangle<int> area, std::array<RightClickSlider, N>& knobs,
                        juce::Array<juce::Component*> leading = {})
    {
        for (auto& knob : knobs)
            leading.add (&knob);
        layoutRow (area.withTrimmedTop (4), leading);
    }

    /** The hint strip that shows what the pointer is over: black on light blue, small italic
        serif, added to the panel. */
    void setUpHoverLabel (juce::Component& panel, juce::Label& label, const juce::String& initialText);

    /** Makes BYPASS a toggle that mirrors its state into `bypassed` and repaints the panel;
        adding it to the panel is left to the caller. */
    void setUpBypassButton (juce::Component& panel, juce::TextButton& bypassButton, std::atomic<bool>& bypassed);

    /** BYPASS mirrors its toggle into `bypassed` and repaints the panel, HUD toggles the display,
        SYNC mirrors its toggle into `sync` and then calls afterSync when given; added in that
        order. The display may be null. */
    void setUpHeaderButtons (juce::Component& panel, juce::TextButton& bypassButton, juce::TextButton& hudButton,
                             juce::TextButton& syncButton, std::atomic<bool>& bypassed, std::atomic<bool>& sync,
                             ColourHeadsUpDisplay* hud, std::function<void()> afterSync = {});

    /** Lays out a panel's header strip (22 high at the top of the area): the hover label from
        the left, at most maxHoverWidth or half the strip wide, less hoverIndent on its left;
        SYNC, HUD and BYPASS from the right. Returns the area below the strip. */
    juce::Rectangle<int> layoutHeader (juce::Rectangle<int> area, juce::Label& hoverLabel, int maxHoverWidth,
                                       int hoverIndent, juce::TextButton& bypassButton,
                                       juce::TextButton& hudButton, juce::TextButton& syncButton);

    /** A text button's four colours: body off and on, text off and on. */
    void setButtonColours (juce::TextButton& button, juce::uint32 off, juce::uint32 on,
                           juce::uint32 textOff, juce::uint32 textOn);

    /** Toggles a panel's heads-up display the way every HUD button does. */
    void toggleHud (ColourHeadsUpDisplay* hud);

    /** Background and title every panel draws until its own face is added. */
    void paintPanel (juce::Graphics& g, juce::Rectangle<int> bounds, const juce::String& title,
                     juce::Colour accent, bool bypassed);
}
