#include "knobs/MathControlKnob.h"

MathControlKnob::MathControlKnob()
    : MacroSliderKnob (Look ("MathControl", juce::Colour (0xff997744), juce::Colour (0xff666666), juce::Colour (0xff997744))
                           .withBoldValue()
                           .withWholeSteps())
{
    updateTitle();
}

juce::String MathControlKnob::valueText (int v) const
{
    return getModeName (mode) + " " + juce::String (v) + "%";
}

void MathControlKnob::setMode (int newMode)
{
    mode = newMode;
    updateTitle();
    repaint();
}

juce::String MathControlKnob::getModeName (int m)
{
    static const char* const names[] = { "CRUSH", "DECIM", "OVRFLW", "GLITCH", "FDBK", "PHASE", "FLIP", "BENT" };
    return juce::isPositiveAndBelow (m, 8) ? juce::String (names[m]) : juce::String ("???");
}
