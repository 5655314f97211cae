#include "effects/finalizer/FinalizerPanel.h"

#include "effects/finalizer/TavroFinalizer.h"

FinalizerPanel::FinalizerPanel (TavroFinalizer* finalizerToSteer)
    : finalizer (finalizerToSteer)
{
    startTimer (33);

    titleLabel.setText ("FINALIZER", juce::dontSendNotification);
    titleLabel.setFont (juce::Font ("Times New Roman", 16.0f, juce::Font::bold | juce::Font::italic));
    titleLabel.setColour (juce::Label::textColourId, juce::Colour (0xff88ccff));
    titleLabel.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (titleLabel);

    addAndMakeVisible (waveformView);

    hudButton.setClickingTogglesState (true);
    hudButton.onClick = [this]
    {
        if (onHudToggled)
            onHudToggled (hudButton.getToggleState());
    };
    addAndMakeVisible (hudButton);

    bypassButton.setClickingTogglesState (true);
    bypassButton.onClick = [this]
    {
        if (finalizer != nullptr)
            finalizer->bypassed.store (bypassButton.getToggleState());
    };
    addAndMakeVisible (bypassButton);

    statusLabel.setText ("No file loaded", juce::dontSendNotification);
    statusLabel.setFont (juce::Font ("Consolas", 11.0f, juce::Font::plain));
    statusLabel.setColour (juce::Label::textColourId, juce::Colour (0xffaaaaaa));
    addAndMakeVisible (statusLabel);
}

FinalizerPanel::~FinalizerPanel()
{
    stopTimer();
}

void FinalizerPanel::paint (juce::Graphics& g)
{
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe6e8ed), 0.0f, 0.0f,
                                             juce::Colour (0xff9ba1aa), 0.0f, (float) getHeight(), false));
    g.fillAll();
    g.setColour (juce::Colour (0xff3a5a7a));
    g.drawRect (getLocalBounds(), 1);
    g.setColour (juce::Colour (0x20ffffff));
    g.drawRect (1, 1, getWidth() - 2, getHeight() - 2, 1);
}

void FinalizerPanel::resized()
{
    const int wi = juce::jmax (0, getWidth() - 8);
    titleLabel.setBounds (4, 4, juce::jmin (wi, 100), 28);
    statusLabel.setBounds (114, 4, juce::jmax (0, wi - 110), 28);
    waveformView.setBounds (4, 92, wi, 150);
    hudButton.setBounds (getWidth() - 84, getHeight() - 70, 72, 26);
    bypassButton.setBounds (getWidth() - 84, getHeight() - 38, 72, 26);
}

void FinalizerPanel::timerCallback() {}
