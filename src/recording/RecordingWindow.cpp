#include "recording/RecordingWindow.h"

namespace
{
    constexpr float restLevelDb = -80.0f;
}

RecordingWindow::RecordingWindow()
{
    setWantsKeyboardFocus (true);

    for (auto* b : { &displayButton, &recordButton, &playButton, &exportButton, &monitorButton })
        addAndMakeVisible (*b);
    addChildComponent (settingsButton);
    addChildComponent (helpButton);

    playButton.setEnabled (false);
    exportButton.setEnabled (false);
    monitorButton.setClickingTogglesState (true);

    for (auto* knob : { &smartGainKnob, &stereoMaxLowKnob, &stereoMaxMidKnob, &stereoMaxHighKnob })
    {
        knob->setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob->setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
        knob->setRange (0.0, 100.0, 1.0);
        knob->setDoubleClickReturnValue (true, 0.0);
        addAndMakeVisible (*knob);
    }

    statusLabel.setText ("READY: Recording App Audio", juce::dontSendNotification);
    statusLabel.setFont (juce::Font ("Times New Roman", 11.0f, juce::Font::bold | juce::Font::italic));
    statusLabel.setColour (juce::Label::textColourId, juce::Colour (0xff00ff00));
    addAndMakeVisible (statusLabel);

    setVisible (false);
}

RecordingWindow::~RecordingWindow()
{
    stopTimer();
}

void RecordingWindow::setButtonLookAndFeel (juce::LookAndFeel* lookAndFeel)
{
    for (auto* b : { &displayButton, &recordButton, &exportButton, &monitorButton, &settingsButton, &helpButton })
        b->setLookAndFeel (lookAndFeel);
}

void RecordingWindow::setKnobLookAndFeel (juce::LookAndFeel* lookAndFeel)
{
    for (auto* knob : { &smartGainKnob, &stereoMaxLowKnob, &stereoMaxMidKnob, &stereoMaxHighKnob })
        knob->setLookAndFeel (lookAndFeel);
}

void RecordingWindow::clearLookAndFeels()
{
    setButtonLookAndFeel (nullptr);
}

void RecordingWindow::close()
{
    takePlaying = false;
    fileChooser.reset();
    setVisible (false);
    stopTimer();

    if (onClose)
        onClose();
}

void RecordingWindow::prepareCapture (double sampleRate, int blockSize)
{
    captureSampleRate = sampleRate;

    const auto scopeLength = (size_t) juce::jmin (2048, (int) (sampleRate * 3.0 / 1000.0));
    scopeLeft.assign (scopeLength, 0.0f);
    scopeRight.assign (scopeLength, 0.0f);

    // Blocks longer than announced are taken in chunks of this size.
    const auto workLength = (size_t) juce::jmax (blockSize, 8192);
    workLeft.assign (workLength, 0.0f);
    workRight.assign (workLength, 0.0f);
}

void RecordingWindow::resetDisplays()
{
    std::fill (scopeLeft.begin(), scopeLeft.end(), 0.0f);
    std::fill (scopeRight.begin(), scopeRight.end(), 0.0f);
    meterHistory.assign (64, restLevelDb);
}

void RecordingWindow::pushSamples (const float*, const float*, int) noexcept
{
    juce::ScopedNoDenormals noDenormals;
}

void RecordingWindow::onTakePlaybackFinished()
{
    playButton.setButtonText ("PLAY");
    playButton.removeColour (juce::TextButton::buttonColourId);
    statusLabel.setColour (juce::Label::textColourId, juce::Colour (0xff00ff00));
    statusLabel.setText (sourceIsAppAudio.load() ? "READY: Recording App Audio" : "READY: External Input",
                         juce::dontSendNotification);
}

void RecordingWindow::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff101a26));
    g.setColour (juce::Colour (0xff1a2a3a));
    g.fillRect (getLocalBounds().removeFromTop (28));
    g.setColour (juce::Colour (0xffaaccee));
    g.setFont (juce::Font ("Times New Roman", 15.0f, juce::Font::bold | juce::Font::italic));
    g.drawText ("SIGNAL CAPTURE", getLocalBounds().removeFromTop (28).reduced (10, 0),
                juce::Justification::centredLeft, false);
    g.setColour (juce::Colour (0xff4a7a9a));
    g.drawRect (getLocalBounds());
}

void RecordingWindow::resized()
{
    auto area = getLocalBounds().reduced (10);
    area.removeFromTop (28);

    auto buttons = area.removeFromTop (28);
    for (auto* b : { &displayButton, &recordButton, &playButton, &exportButton, &monitorButton,
                     &settingsButton, &helpButton })
        b->setBounds (buttons.removeFromLeft (b == &recordButton ? 140 : 90).reduced (2, 0));

    statusLabel.setBounds (area.removeFromTop (24));

    auto knobs = area.removeFromBottom (70);
    for (auto* knob : { &smartGainKnob, &stereoMaxLowKnob, &stereoMaxMidKnob, &stereoMaxHighKnob })
        knob->setBounds (knobs.removeFromLeft (70).reduced (4));
}

void RecordingWindow::timerCallback() {}
