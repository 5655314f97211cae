#include "effects/delayverb/DelayPanXYPad.h"

namespace
{
    // The inner area starts 2 pixels in from the top-left corner.
    constexpr float inset = 2.0f;

    float innerWidth (int width) noexcept   { return (float) juce::jmax (width - 4, 0); }
    float innerHeight (int height) noexcept { return (float) juce::jmax (height - 4, 0); }

    float load (const std::atomic<float>* value) noexcept
    {
        return value != nullptr ? value->load (std::memory_order_relaxed) : 0.0f;
    }
}

DelayPanXYPad::DelayPanXYPad()
{
    setOpaque (false);
}

void DelayPanXYPad::showPosition (const std::atomic<float>* x, const std::atomic<float>* y) noexcept
{
    shownX = x;
    shownY = y;
}

juce::Point<float> DelayPanXYPad::positionForMouse (juce::Point<float> mouse, int width, int height) noexcept
{
    const float e = innerWidth (width), c = innerHeight (height);
    const float x = juce::jlimit (-1.0f, 1.0f, (mouse.x - inset) / e * 2.0f - 1.0f);
    const float y = juce::jlimit (0.0f, 1.0f, 1.0f - (mouse.y - inset) / c);
    return { x, y };
}

juce::Point<float> DelayPanXYPad::puckCentre (float x, float y, int width, int height) noexcept
{
    const float e = innerWidth (width), c = innerHeight (height);
    return { inset + (x + 1.0f) * 0.5f * e, (c + inset) - c * y };
}

void DelayPanXYPad::mouseDown (const juce::MouseEvent& e)   { updateFromMouse (e.position); }
void DelayPanXYPad::mouseDrag (const juce::MouseEvent& e)   { updateFromMouse (e.position); }

void DelayPanXYPad::mouseDoubleClick (const juce::MouseEvent&)
{
    if (onChange)
        onChange (0.0f, 0.0f);
    repaint();
}

void DelayPanXYPad::updateFromMouse (juce::Point<float> position)
{
    const auto p = positionForMouse (position, getWidth(), getHeight());
    if (onChange)
        onChange (p.x, p.y);
    repaint();
}

void DelayPanXYPad::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();
    const float e = innerWidth (w), c = innerHeight (h);
    const juce::Rectangle<float> inner (inset, inset, e, c);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff2a2a3a), inset, inset,
                                             juce::Colour (0xff1a1a2a), e + inset, c + inset, false));
    g.fillRoundedRectangle (inner, 4.0f);

    g.setColour (juce::Colour (0xff444455));
    g.drawLine (inset + e * 0.5f, inset, inset + e * 0.5f, inset + c, 1.0f);
    g.drawLine (inset, inset + c * 0.5f, inset + e, inset + c * 0.5f, 1.0f);

    g.setColour (juce::Colour (0xff333344));
    for (float share : { 0.25f, 0.75f })
    {
        g.drawLine (inset + e * share, inset, inset + e * share, inset + c, 0.5f);
        g.drawLine (inset, inset + c * share, inset + e, inset + c * share, 0.5f);
    }

    g.setColour (juce::Colour (0xff666677));
    g.drawRoundedRectangle (inner, 4.0f, 1.5f);

    const auto puck = puckCentre (load (shownX), load (shownY), w, h);
    const auto circle = [&g, puck] (float diameter)
    {
        g.fillEllipse (juce::Rectangle<float> (diameter, diameter).withCentre (puck));
    };

    const juce::Colour orange (0xffff8800);
    const std::pair<juce::uint8, float> glow[] = { { 51, 24.0f }, { 102, 20.0f }, { 153, 16.0f } };
    for (const auto& [alpha, diameter] : glow)
    {
        g.setColour (orange.withAlpha (alpha));
        circle (diameter);
    }

    g.setColour (orange);
    circle (12.0f);
    g.setColour (juce::Colours::white);
    circle (6.0f);

    g.setColour (juce::Colour (0xff888899));
    g.setFont (juce::Font (9.0f));
    const int ei = (int) e, ci = (int) c;
    g.drawText ("L", juce::Rectangle<int> (2, 2, juce::jmin (ei, 12), ci), juce::Justification::centred, true);
    const int rightStrip = juce::jmin (ei - 12, 12);
    g.drawText ("R", juce::Rectangle<int> (ei + 2 - rightStrip, 2, rightStrip, ci), juce::Justification::centred, true);
    g.drawText ("PP", juce::Rectangle<int> (0, 0, w, juce::jmin (h, 12)), juce::Justification::centred, true);
}
