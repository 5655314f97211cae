#include "knobs/KnobFace.h"

namespace knobface
{
    juce::Rectangle<float> dialArea (juce::Rectangle<int> bounds, int titleHeight)
    {
        auto area = bounds.toFloat();
        area.removeFromBottom ((float) juce::jmin (titleHeight, bounds.getHeight()));
        const auto side = juce::jmin (area.getWidth(), area.getHeight());
        return area.withSizeKeepingCentre (side, side).reduced (2.0f);
    }

    void drawDial (juce::Graphics& g, juce::Rectangle<float> area, float proportion, juce::Colour accent)
    {
        if (area.getWidth() <= 2.0f || area.getHeight() <= 2.0f)
            return;

        constexpr float startAngle = juce::MathConstants<float>::pi * 1.2f;
        constexpr float endAngle = juce::MathConstants<float>::pi * 2.8f;
        const auto angle = startAngle + juce::jlimit (0.0f, 1.0f, proportion) * (endAngle - startAngle);
        const auto centre = area.getCentre();
        const auto radius = area.getWidth() * 0.5f;
        const auto thickness = juce::jmax (1.5f, radius * 0.12f);

        g.setColour (juce::Colour (0xff202028));
        g.fillEllipse (area.reduced (thickness));

        juce::Path track;
        track.addCentredArc (centre.x, centre.y, radius - thickness * 0.5f, radius - thickness * 0.5f,
                             0.0f, startAngle, endAngle, true);
        g.setColour (juce::Colour (0xff50505a));
        g.strokePath (track, juce::PathStrokeType (thickness, juce::PathStrokeType::curved,
                                                   juce::PathStrokeType::rounded));

        juce::Path arc;
        arc.addCentredArc (centre.x, centre.y, radius - thickness * 0.5f, radius - thickness * 0.5f,
                           0.0f, startAngle, angle, true);
        g.setColour (accent);
        g.strokePath (arc, juce::PathStrokeType (thickness, juce::PathStrokeType::curved,
                                                 juce::PathStrokeType::rounded));

        const auto tip = centre.getPointOnCircumference (radius - thickness * 2.0f, angle);
        g.setColour (accent.brighter (0.4f));
        g.drawLine ({ centre, tip }, juce::jmax (1.0f, thickness * 0.6f));
    }

    void styleTitle (juce::Label& label, const juce::String& text, juce::Colour colour)
    {
        label.setText (text, juce::dontSendNotification);
        label.setJustificationType (juce::Justification::centred);
        label.setFont (juce::Font ("Times New Roman", 12.0f, juce::Font::italic).withExtraKerningFactor (-0.06f));
        label.setColour (juce::Label::textColourId, colour);
        label.setInterceptsMouseClicks (false, false);
    }

    void styleValue (juce::Label& label, juce::Colour colour, float height, bool bold)
    {
        label.setJustificationType (juce::Justification::centred);
        label.setFont (juce::Font (height, bold ? juce::Font::bold : juce::Font::plain));
        label.setColour (juce::Label::textColourId, colour);
        label.setInterceptsMouseClicks (false, false);
    }

    void setupSlider (juce::Slider& slider, juce::Slider::SliderStyle style, double step)
    {
        slider.setSliderStyle (style);
        slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        slider.setRange (0.0, 100.0, step);
        slider.setValue (0.0, juce::sendNotificationAsync);
    }
}
