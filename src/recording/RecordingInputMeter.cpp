#include "recording/RecordingInputMeter.h"

void RecordingInputMeter::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();
    const int bh = (h - 18) / 2;
    const int bw = w - 60;

    g.setColour (juce::Colour (0xff1a2a3a));
    g.fillRoundedRectangle (0.0f, 0.0f, (float) w, (float) h, 4.0f);

    g.setColour (juce::Colour (0xffaaccee));
    g.setFont (juce::Font ("Times New Roman", 11.0f, juce::Font::italic));
    g.drawText ("L", 4, 2, 18, bh, juce::Justification::centredLeft, false);
    g.drawText ("R", 4, bh + 4, 18, bh, juce::Justification::centredLeft, false);

    g.setColour (juce::Colour (0xff0a1520));
    g.fillRoundedRectangle (25.0f, 2.0f, (float) bw, (float) bh, 2.0f);
    g.fillRoundedRectangle (25.0f, (float) (bh + 4), (float) bw, (float) bh, 2.0f);

    drawBar (g, 25, 2, bw, bh, levelLeft.load (std::memory_order_relaxed), peakLeft.load (std::memory_order_relaxed));
    drawBar (g, 25, bh + 4, bw, bh, levelRight.load (std::memory_order_relaxed),
             peakRight.load (std::memory_order_relaxed));

    const int side = bh - 2;
    const auto lamp = [&] (int y, bool lit)
    {
        g.setColour (juce::Colour (lit ? 0xffff0000 : 0xff3a2020));
        g.fillRoundedRectangle ((float) (w - 30), (float) y, (float) side, (float) side, 2.0f);

        if (lit)
        {
            g.setColour (juce::Colour (0x60ff0000));
            g.drawRoundedRectangle ((float) (w - 31), (float) (y - 1), (float) bh, (float) bh, 3.0f, 2.0f);
        }
    };

    if (side > 0)
    {
        lamp (3, clipLeft.load (std::memory_order_relaxed));
        lamp (bh + 5, clipRight.load (std::memory_order_relaxed));
    }

    g.setColour (juce::Colour (0xff888899));
    g.setFont (juce::Font (8.0f));
    g.drawText ("CLIP", w - 32, h - 14, 25, 12, juce::Justification::centred, false);

    g.setColour (juce::Colour (0xff4a7a9a));
    g.drawRoundedRectangle (0.5f, 0.5f, (float) juce::jmax (0, w - 1), (float) juce::jmax (0, h - 1), 4.0f, 1.0f);
}

void RecordingInputMeter::drawBar (juce::Graphics& g, int x, int y, int w, int h, float level, float peak)
{
    // NaN compares false everywhere: treat it as silence rather than a full bar.
    const float lv = level > 0.0f ? juce::jmin (level, 1.0f) : 0.0f;
    const float pk = peak > 0.0f ? juce::jmin (peak, 1.0f) : 0.0f;
    const int fw = (int) ((float) w * lv);

    if (fw > 0 && h > 0)
    {
        juce::ColourGradient gradient (juce::Colour (0xff00cc00), (float) x, 0.0f,
                                       juce::Colour (0xffff0000), (float) (x + w), 0.0f, false);
        gradient.addColour (0.6, juce::Colour (0xff00dd00));
        gradient.addColour (0.75, juce::Colour (0xffffff00));
        gradient.addColour (0.85, juce::Colour (0xffff8800));
        g.setGradientFill (gradient);
        g.fillRoundedRectangle ((float) x, (float) y, (float) fw, (float) h, 2.0f);

        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 38));
        g.fillRect (x, y, fw, 2);
    }

    if (pk > 0.01f && h > 0)
    {
        g.setColour (juce::Colours::white);
        g.fillRect (x + (int) ((float) w * pk) - 1, y, 2, h);
    }
}
