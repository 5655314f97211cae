#include "effects/imager/MultiEffectImagerPro.h"

#include "controls/HeadsUpDisplay.h"
#include "effects/core/PanelKnobTable.h"

namespace
{
    void styleToggle (juce::TextButton& button)
    {
        button.setClickingTogglesState (true);
        button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff87ceeb));
        button.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff6ec6e6));
        button.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
        button.setColour (juce::TextButton::textColourOnId, juce::Colour (0xffffff00));
    }
}

MultiEffectImagerPro::MultiEffectImagerPro (CyanHeadsUpDisplay* hudToFeed)
    : ProcessorPanel (8), hud (hudToFeed)
{
    for (auto* b : { &panButton, &distButton, &delayButton, &verbButton, &exciterButton, &syncButton })
    {
        styleToggle (*b);
        addAndMakeVisible (*b);
    }

    styleToggle (bypassButton);
    bypassButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xffff6666));
    panelknobs::setUpBypassButton (*this, bypassButton, bypassed);
    addAndMakeVisible (bypassButton);

    hudButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff87ceeb));
    hudButton.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
    hudButton.onClick = [this] { panelknobs::toggleHud (hud); };
    addAndMakeVisible (hudButton);

    syncButton.onClick = [this]
    {
        tempoSyncEnabled = syncButton.getToggleState();
        if (tempoSyncEnabled)
            updateTempoSync();
    };

    mutateButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xffcc3333));
    mutateButton.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
    addAndMakeVisible (mutateButton);

    masterSlider.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    masterSlider.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    masterSlider.setRange (0.0, 100.0, 0.0);
    masterSlider.setValueSilently (50.0);
    masterSlider.linkMirror (&processor.parameters.master);
    masterSlider.setName ("MASTER");
    addAndMakeVisible (masterSlider);

    masterLabel.setText ("MASTER", juce::dontSendNotification);
    masterLabel.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (masterLabel);

    statusLabel.setText ("Load image/video or start webcam", juce::dontSendNotification);
    addAndMakeVisible (statusLabel);
}

void MultiEffectImagerPro::process (float* left, float* right, int numSamples) noexcept
{
    processStereoPointers (processor, left, right, numSamples);
}

void MultiEffectImagerPro::updateTempoSync()
{
    const auto tempo = bpm.load();
    if (! tempoSyncEnabled.load() || tempo <= 0.0f)
        return;

    const auto beatsPerSecond = tempo / 60.0f;
    static constexpr float multiples[] = { 1.0f, 2.0f, 0.5f, 4.0f };
    for (size_t i = 0; i < lfoRates.size(); ++i)
        lfoRates[i] = beatsPerSecond * multiples[i];
}

void MultiEffectImagerPro::resetFeatures()
{
    features = Features {};
}

void MultiEffectImagerPro::paint (juce::Graphics& g)
{
    panelknobs::paintPanel (g, getLocalBounds(), "MULTI EFFECT IMAGER", juce::Colour (0xff33cccc), bypassed);
}

void MultiEffectImagerPro::resized()
{
    auto area = getLocalBounds().reduced (4);
    auto top = area.removeFromTop (22);
    statusLabel.setBounds (top.removeFromLeft (juce::jmin (400, top.getWidth() / 2)).withTrimmedLeft (170));
    for (auto* b : { &mutateButton, &syncButton, &hudButton, &bypassButton })
        b->setBounds (top.removeFromRight (65).reduced (1, 0));

    auto toggles = area.removeFromTop (24);
    for (auto* b : { &panButton, &distButton, &delayButton, &verbButton, &exciterButton })
        b->setBounds (toggles.removeFromLeft (60).reduced (1, 1));

    auto master = area.removeFromLeft (juce::jmin (area.getHeight(), 120));
    masterLabel.setBounds (master.removeFromBottom (18));
    masterSlider.setBounds (master);
}

void MultiEffectImagerPro::timerCallback() {}
