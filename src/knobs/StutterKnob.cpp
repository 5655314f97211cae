#include "knobs/StutterKnob.h"

namespace
{
    int divisionIndex (float value)
    {
        if (value < 10.0f) return 0;
        if (value < 20.0f) return 1;
        if (value < 35.0f) return 2;
        if (value < 50.0f) return 3;
        if (value < 65.0f) return 4;
        if (value < 80.0f) return 5;
        if (value < 90.0f) return 6;
        return 7;
    }
}

StutterKnob::StutterKnob()
{
    addAndMakeVisible (slider);
    knobface::setupSlider (slider, juce::Slider::RotaryHorizontalVerticalDrag, 0.1);
    for (auto id : { juce::Slider::rotarySliderFillColourId, juce::Slider::rotarySliderOutlineColourId,
                     juce::Slider::thumbColourId })
        slider.setColour (id, juce::Colours::transparentBlack);
    slider.onValueChange = [this]
    {
        updateTitle();
        if (onValueChange)
            onValueChange ((float) slider.getValue());
    };

    addAndMakeVisible (titleLabel);
    titleLabel.setText ("STUTTER", juce::dontSendNotification);
    titleLabel.setJustificationType (juce::Justification::centred);
    titleLabel.setFont (juce::Font (14.0f, juce::Font::bold));
    titleLabel.setColour (juce::Label::textColourId, juce::Colour (0xff00ff88));
    titleLabel.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (valueLabel);
    knobface::styleValue (valueLabel, juce::Colour (0xff88ffaa), 12.0f, false);
    updateTitle();

    startTimer (33);
}

StutterKnob::~StutterKnob()
{
    stopTimer();
}

juce::String StutterKnob::divisionName (float value)
{
    static const char* const names[] = { "1/4", "1/8", "1/16", "1/32", "1/8T", "1/16T", "1/32", "MICRO" };
    return names[divisionIndex (value)];
}

double StutterKnob::divisionBeats (float value)
{
    static const double beats[] = { 1.0, 0.5, 0.25, 0.125, 0.333, 0.1666, 0.125, 0.0625 };
    return beats[divisionIndex (value)];
}

void StutterKnob::updateTitle()
{
    const auto value = (float) slider.getValue();
    const auto v = (int) value;
    titleLabel.setText ("STUTTER (" + juce::String (v) + "%)", juce::dontSendNotification);

    const auto tempo = tempoBpm.load (std::memory_order_relaxed);
    const auto ms = tempo > 0.0f ? 60000.0 / tempo * divisionBeats (value) : 0.0;
    valueLabel.setText (divisionName (value) + " " + juce::String (juce::roundToInt (ms)) + "ms",
                        juce::dontSendNotification);
}

void StutterKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu() && onRightClick)
        onRightClick();
}

void StutterKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, slider.getBounds().toFloat().reduced (2.0f), (float) (slider.getValue() / 100.0),
                        juce::Colour (0xff00ff88));
}

void StutterKnob::resized()
{
    // The slider lies over the dial and takes its gestures itself; the labels sit below it.
    const auto w = getWidth();
    const auto m = juce::jmax (0, juce::jmin (getHeight() - 40, w));
    slider.setBounds ((w - m) / 2, 0, m, m);
    valueLabel.setBounds (0, m, w, 18);
    titleLabel.setBounds (0, m + 18, w, 22);
}

void StutterKnob::timerCallback()
{
    repaint();
}
