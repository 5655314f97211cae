#include "knobs/SpatialMaxKnob.h"

SpatialMaxKnob::SpatialMaxKnob()
    : MacroSliderKnob (Look ("SpatialMax", juce::Colour (0xff888888), juce::Colour (0xffaaaaaa), juce::Colour (0xffaaaaaa))
                           .withTransparentSlider())
{
}

void SpatialMaxKnob::setOverdrive (bool shouldBeOn)
{
    overdrive = shouldBeOn;
    if (onOverdriveChange)
        onOverdriveChange (overdrive);
    repaint();
}
