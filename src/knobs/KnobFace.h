#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Drawing and mouse helpers that the knob classes share. Each knob keeps its own face and
    animation; these cover the plain dial they start from and the usual drag and wheel rules. */
namespace knobface
{
    /** Square dial area above a title strip of the given height. */
    juce::Rectangle<float> dialArea (juce::Rectangle<int> bounds, int titleHeight);

    /** Square dial area between a strip of the given height on top and one at the bottom. */
    juce::Rectangle<float> dialBetween (juce::Rectangle<int> bounds, int topHeight, int bottomHeight);

    /** Draws text centred in the area in the given font; characters the font's face has no
        glyph for are drawn in a face that has them, so that none is left blank. */
    void drawTextWithFallback (juce::Graphics& g, const juce::String& text, const juce::Font& font,
                               juce::Rectangle<float> area);

    /** Whether the font's own face has a glyph for the character. */
    bool faceHasGlyph (const juce::Font& font, juce::juce_wchar c);

    /** A plain rotary dial: track, value arc in the accent colour and a pointer. */
    void drawDial (juce::Graphics& g, juce::Rectangle<float> area, float proportion, juce::Colour accent);

    /** Title label as the macro knobs show it: "Times New Roman" 12 italic, centred. */
    void styleTitle (juce::Label& label, const juce::String& text, juce::Colour colour);

    /** Value label in the default typeface. */
    void styleValue (juce::Label& label, juce::Colour colour, float height, bool bold);

    /** The value slider of a macro knob: range 0..100 with the given step, no text box. */
    void setupSlider (juce::Slider& slider, juce::Slider::SliderStyle style, double step);

    /** Vertical drag: upward movement raises the value by perPixel for each pixel. */
    struct Drag
    {
        float lastY = 0.0f;
        bool dragging = false;

        void begin (const juce::MouseEvent& e) noexcept  { lastY = (float) e.position.y; dragging = true; }
        void end() noexcept                               { dragging = false; }

        /** The value change since the last call, and remembers the new position. */
        float take (const juce::MouseEvent& e, float perPixel) noexcept
        {
            const auto y = (float) e.position.y;
            const auto delta = (lastY - y) * perPixel;
            lastY = y;
            return delta;
        }
    };
}
