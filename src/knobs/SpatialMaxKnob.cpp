#include "knobs/SpatialMaxKnob.h"

SpatialMaxKnob::SpatialMaxKnob()
    : MacroSliderKnob (Look ("SpatialMax", juce::Colour (0xff888888), juce::Colour (0xffaaaaaa), juce::Colour (0xffaaaaaa))
                           .withTransparentSlider())
{
}

void SpatialMaxKnob::resized()
{
    MacroSliderKnob::resized();

    // The slider is never a child, so these bounds only keep its geometry in step with the face.
    const auto m = juce::jmax (0, juce::jmin (getHeight() - 30, getWidth()));
    slider.setBounds ((getWidth() - m) / 2, 16, m, m);
}

void SpatialMaxKnob::setOverdrive (bool shouldBeOn)
{
    overdrive = shouldBeOn;
    if (onOverdriveChange)
        onOverdriveChange (overdrive);
    repaint();
}
