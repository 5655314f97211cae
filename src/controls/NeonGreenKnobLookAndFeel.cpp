#include "controls/NeonGreenKnobLookAndFeel.h"

#include "controls/SilverKnobLookAndFeel.h"

namespace
{
    juce::ColourGradient vertical (juce::Colour top, float x, float y1, juce::Colour bottom, float y2)
    {
        return juce::ColourGradient (top, x, y1, bottom, x, y2, false);
    }

    const juce::Colour neon (0xff00ff55);
}

void NeonGreenKnobLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                                 float sliderPos, float, float, juce::Slider& slider)
{
    const KnobGeometry k (x, y, width, height, sliderPos, 0.2f);

    if (! k.isDrawable())
        return;

    const auto cx = k.centreX, cy = k.centreY, r = k.bezelRadius, f = k.faceRadius, c = k.capRadius;
    const auto p = sliderPos;

    g.setColour (juce::Colours::black.withAlpha (0.5f));
    g.fillEllipse (cx - r + 3.0f, cy - r + 4.0f, 2.0f * r, 2.0f * r);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff44ff66), cx - r, cy - r,
                                             juce::Colour (0xff115522), cx + r, cy + r, false));
    g.fillEllipse (k.circle (r));

    juce::ColourGradient face (juce::Colour (0xff224428), cx - 0.5f * f, cy - 0.5f * f,
                               juce::Colour (0xff112214), cx + 0.7f * f, cy + 0.7f * f, false);
    face.addColour (0.35, juce::Colour (0xff1a331c));
    face.addColour (0.65, juce::Colour (0xff0f220f));
    g.setGradientFill (face);
    g.fillEllipse (k.circle (f));

    g.setGradientFill (vertical (juce::Colour (0xff66ff88).withAlpha (0.4f), cx, cy - 0.65f * f,
                                 juce::Colour (0xff44ff66).withAlpha (0.0f), cy - 0.15f * f));
    g.fillEllipse (cx - 0.65f * f, cy - 0.9f * f, 1.3f * f, 0.55f * f);

    const auto glow = 0.7f * p + 0.3f;
    g.setColour (neon.withAlpha (0.3f * glow));
    g.drawEllipse (k.circle (r + 3.0f), 4.0f);
    g.setColour (neon.withAlpha (0.15f * glow));
    g.drawEllipse (k.circle (r + 6.0f), 3.0f);

    g.setColour (juce::Colour (0xff111111));
    g.fillEllipse (k.circle (c + 1.0f));

    if (p > 0.01f)
    {
        g.setColour (neon.withAlpha (0.5f * p));
        g.fillEllipse (k.circle (c + 4.0f));
        g.setGradientFill (vertical (juce::Colour (0xff88ffaa), cx, cy - 0.5f * c, juce::Colour (0xff00ff44), cy + 0.5f * c));
        g.fillEllipse (k.circle (c));
        g.setColour (juce::Colour (0xffccffdd).withAlpha (p));
        g.fillEllipse (cx - 0.35f * c, cy - 0.35f * c, 0.7f * c, 0.7f * c);
    }
    else
    {
        g.setColour (juce::Colour (0xff0a1a0a));
        g.fillEllipse (k.circle (c));
    }

    g.setColour (juce::Colours::white.withAlpha (0.2f));
    g.fillEllipse (cx - 0.45f * c, cy - 0.65f * c, 0.8f * c, 0.4f * c);

    const auto inner = k.pointAt (k.angle, 0.5f * r);
    const auto outer = k.pointAt (k.angle, 0.85f * r);
    g.setColour (neon.withAlpha (0.5f));
    g.drawLine (inner.x, inner.y, outer.x, outer.y, 4.0f);
    g.setColour (neon);
    g.drawLine (inner.x, inner.y, outer.x, outer.y, 2.0f);

    g.setColour (neon);
    g.setFont (juce::Font ("Times New Roman", 9.0f, juce::Font::bold));
    g.drawText (slider.getName(), k.captionArea, juce::Justification::centred, true);
}

juce::Label* NeonGreenKnobLookAndFeel::createSliderTextBox (juce::Slider& slider)
{
    auto* label = LookAndFeel_V4::createSliderTextBox (slider);
    label->setColour (juce::Label::textColourId, juce::Colour (0xff00ff55));
    label->setColour (juce::Label::backgroundColourId, juce::Colour (0xee111811));
    label->setColour (juce::Label::outlineColourId, juce::Colour (0xff00aa33));
    label->setFont (juce::Font (10.0f));
    label->setEditable (true, true, false);
    return label;
}
