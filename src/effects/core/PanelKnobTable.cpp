#include "effects/core/PanelKnobTable.h"

namespace panelknobs
{
    void setUp (juce::Component& panel, RightClickSlider& knob, const PanelKnobSpec& spec,
                double interval, KnobInfoMap& knobInfo)
    {
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
        knob.setRange (spec.minimum, spec.maximum, interval);
        knob.setValue (spec.defaultValue, juce::sendNotificationAsync);
        knob.setName (spec.caption);
        knob.setDoubleClickReturnValue (true, spec.defaultValue);
        panel.addAndMakeVisible (knob);
        // Units and descriptions carry symbols such as the micro sign and arrows.
        knobInfo[&knob] = { juce::String::fromUTF8 (spec.caption), juce::String::fromUTF8 (spec.unit),
                            juce::String::fromUTF8 (spec.description) };
    }

    double wideRangeInterval (const PanelKnobSpec& spec) noexcept
    {
        return spec.maximum - spec.minimum > 100.0 ? 1.0 : 0.01;
    }

    void layoutRow (juce::Rectangle<int> area, juce::Array<juce::Component*> knobs)
    {
        int visible = 0;
        for (auto* knob : knobs)
            visible += knob->isVisible() ? 1 : 0;

        if (visible == 0 || area.isEmpty())
            return;

        const auto cell = juce::jmin (area.getHeight(), area.getWidth() / visible);
        for (auto* knob : knobs)
            if (knob->isVisible())
                knob->setBounds (area.removeFromLeft (cell).withHeight (cell));
    }

    void setUpHoverLabel (juce::Component& panel, juce::Label& label, const juce::String& initialText)
    {
        label.setColour (juce::Label::backgroundColourId, juce::Colour (0xffaaddff));
        label.setColour (juce::Label::textColourId, juce::Colours::black);
        label.setFont (juce::Font ("Times New Roman", 11.0f, juce::Font::italic));
        label.setJustificationType (juce::Justification::centredLeft);
        label.setText (initialText, juce::dontSendNotification);
        panel.addAndMakeVisible (label);
    }

    void setUpBypassButton (juce::Component& panel, juce::TextButton& bypassButton, std::atomic<bool>& bypassed)
    {
        bypassButton.setClickingTogglesState (true);
        bypassButton.onClick = [&panel, &bypassButton, &bypassed]
        {
            bypassed = bypassButton.getToggleState();
            panel.repaint();
        };
    }

    void setUpHeaderButtons (juce::Component& panel, juce::TextButton& bypassButton, juce::TextButton& hudButton,
                             juce::TextButton& syncButton, std::atomic<bool>& bypassed, std::atomic<bool>& sync,
                             ColourHeadsUpDisplay* hud, std::function<void()> afterSync)
    {
        setUpBypassButton (panel, bypassButton, bypassed);
        hudButton.onClick = [hud] { toggleHud (hud); };
        syncButton.setClickingTogglesState (true);
        syncButton.onClick = [&syncButton, &sync, afterSync = std::move (afterSync)]
        {
            sync = syncButton.getToggleState();
            if (afterSync)
                afterSync();
        };

        for (auto* b : { &bypassButton, &hudButton, &syncButton })
            panel.addAndMakeVisible (*b);
    }

    juce::Rectangle<int> layoutHeader (juce::Rectangle<int> area, juce::Label& hoverLabel, int maxHoverWidth,
                                       int hoverIndent, juce::TextButton& bypassButton,
                                       juce::TextButton& hudButton, juce::TextButton& syncButton)
    {
        auto top = area.removeFromTop (22);
        hoverLabel.setBounds (top.removeFromLeft (juce::jmin (maxHoverWidth, top.getWidth() / 2)).withTrimmedLeft (hoverIndent));
        syncButton.setBounds (top.removeFromRight (50));
        hudButton.setBounds (top.removeFromRight (45));
        bypassButton.setBounds (top.removeFromRight (65));
        return area;
    }

    void toggleHud (ColourHeadsUpDisplay* hud)
    {
        if (hud == nullptr)
            return;

        if (hud->isVisible())
        {
            hud->closedByUser = true;
            hud->setVisible (false);
        }
        else
        {
            hud->closedByUser = false;
            hud->setVisible (true);
        }
    }

    void paintPanel (juce::Graphics& g, juce::Rectangle<int> bounds, const juce::String& title,
                     juce::Colour accent, bool bypassed)
    {
        g.setColour (juce::Colour (0xff1e1e26));
        g.fillRoundedRectangle (bounds.toFloat(), 6.0f);
        g.setColour (bypassed ? juce::Colour (0xff555555) : accent);
        g.drawRoundedRectangle (bounds.toFloat().reduced (0.5f), 6.0f, 1.0f);
        g.setFont (juce::Font ("Times New Roman", 14.0f, juce::Font::bold | juce::Font::italic));
        g.drawText (title, bounds.removeFromTop (22).reduced (8, 0), juce::Justification::centredLeft, false);
    }
}
