#include "effects/dictionary/DictionaryReader.h"

#include "controls/HeadsUpDisplay.h"
#include "effects/core/PanelKnobTable.h"

DictionaryReader::DictionaryReader (GoldHeadsUpDisplay* hudToFeed)
    : ProcessorPanel (33), hud (hudToFeed)
{
    mixKnob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    mixKnob.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    mixKnob.setRange (0.0, 100.0, 1.0);
    mixKnob.setValueSilently (0.0);
    mixKnob.setName ("MIX");
    addAndMakeVisible (mixKnob);

    mixLabel.setText ("MIX", juce::dontSendNotification);
    mixLabel.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (mixLabel);

    readButton.setClickingTogglesState (true);
    readButton.onClick = [this] { reading = readButton.getToggleState() && wordCount.load() > 0; };
    panelknobs::setUpBypassButton (*this, bypassButton, bypassed);
    hudButton.onClick = [this] { panelknobs::toggleHud (hud); };
    for (auto* b : { &microPitchButton, &granularButton, &halfTimeButton })
        b->setClickingTogglesState (true);

    for (auto* b : { &loadButton, &readButton, &bypassButton, &hudButton,
                     &microPitchButton, &granularButton, &halfTimeButton })
        addAndMakeVisible (*b);
}

void DictionaryReader::process (float* left, float* right, int numSamples) noexcept
{
    processStereoPointers (processor, left, right, numSamples);
}

void DictionaryReader::paint (juce::Graphics& g)
{
    panelknobs::paintPanel (g, getLocalBounds(), "DICTIONARY READER", juce::Colour (0xffddaa33), bypassed);
}

void DictionaryReader::resized()
{
    auto area = getLocalBounds().reduced (4);
    area.removeFromTop (22);
    auto buttons = area.removeFromTop (24);
    for (auto* b : { &loadButton, &readButton, &microPitchButton, &granularButton, &halfTimeButton,
                     &bypassButton, &hudButton })
        b->setBounds (buttons.removeFromLeft (90).reduced (1, 1));

    auto mix = area.removeFromLeft (juce::jmin (area.getHeight(), 90));
    mixLabel.setBounds (mix.removeFromBottom (16));
    mixKnob.setBounds (mix);
}

void DictionaryReader::timerCallback() {}
