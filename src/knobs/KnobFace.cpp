#include "knobs/KnobFace.h"

#include <map>
#include <utility>

namespace knobface
{
    juce::Rectangle<float> dialArea (juce::Rectangle<int> bounds, int titleHeight)
    {
        auto area = bounds.toFloat();
        area.removeFromBottom ((float) juce::jmin (titleHeight, bounds.getHeight()));
        const auto side = juce::jmin (area.getWidth(), area.getHeight());
        return area.withSizeKeepingCentre (side, side).reduced (2.0f);
    }

    juce::Rectangle<float> dialBetween (juce::Rectangle<int> bounds, int topHeight, int bottomHeight)
    {
        auto area = bounds.toFloat();
        area.removeFromTop ((float) juce::jmin (topHeight, bounds.getHeight()));
        area.removeFromBottom (juce::jlimit (0.0f, area.getHeight(), (float) bottomHeight));
        const auto side = juce::jmin (area.getWidth(), area.getHeight());
        return area.withSizeKeepingCentre (side, side).reduced (2.0f);
    }

    bool faceHasGlyph (const juce::Font& font, juce::juce_wchar c)
    {
        // A face without the glyph lends the framework's fallback face's outline, so the same
        // outline from both (or none from either) means the face itself has none. The answer
        // is kept per face and character: paints ask again every frame.
        static std::map<std::pair<juce::String, juce::juce_wchar>, bool> known;
        auto face = font.getTypefacePtr();

        if (face == nullptr)
            return false;

        const auto key = std::make_pair (face->getName() + "/" + face->getStyle(), c);

        if (const auto found = known.find (key); found != known.end())
            return found->second;

        bool has = false;
        juce::Path own;

        if (face->getOutlineForGlyph ((int) c, own) && ! own.isEmpty())
        {
            has = true;
            auto fallback = juce::Font (juce::Font::getFallbackFontName(), juce::Font::getFallbackFontStyle(), 10.0f)
                                .getTypefacePtr();
            juce::Path lent;

            if (fallback != nullptr && fallback.get() != face.get()
                && fallback->getOutlineForGlyph ((int) c, lent))
                has = lent.getBounds() != own.getBounds();
        }

        known[key] = has;
        return has;
    }

    void drawTextWithFallback (juce::Graphics& g, const juce::String& text, const juce::Font& font,
                               juce::Rectangle<float> area)
    {
        const juce::Font spare ("DejaVu Sans", font.getHeight(), font.getStyleFlags());

        struct Run
        {
            juce::String text;
            bool ownFace;
        };

        juce::Array<Run> runs;
        float width = 0.0f;

        for (auto p = text.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = p.getAndAdvance();
            const bool own = c == ' ' || faceHasGlyph (font, c);

            if (runs.isEmpty() || runs.getReference (runs.size() - 1).ownFace != own)
                runs.add ({ {}, own });

            runs.getReference (runs.size() - 1).text += juce::String::charToString (c);
        }

        for (const auto& run : runs)
            width += (run.ownFace ? font : spare).getStringWidthFloat (run.text);

        auto x = area.getCentreX() - width * 0.5f;

        for (const auto& run : runs)
        {
            const auto& f = run.ownFace ? font : spare;
            const auto w = f.getStringWidthFloat (run.text);
            g.setFont (f);
            g.drawText (run.text, juce::Rectangle<float> (x, area.getY(), w + 1.0f, area.getHeight()),
                        juce::Justification::centredLeft, false);
            x += w;
        }
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
