#include "recording/RecordingWindow.h"

namespace
{
    const juce::Colour captionColour (0xffaaccee);

    void styleLabel (juce::Label& label, const juce::String& text, const juce::Font& font, juce::Colour colour,
                     juce::Justification justification = juce::Justification::centredLeft)
    {
        label.setText (text, juce::dontSendNotification);
        label.setFont (font);
        label.setColour (juce::Label::textColourId, colour);
        label.setJustificationType (justification);
    }

    juce::Font timesFont (float height, int style)
    {
        return juce::Font ("Times New Roman", height, style);
    }

    constexpr float maxZoom = 32.0f;
    constexpr float zoomStep = 1.5f;
}

RecordingWindow::RecordingWindow()
{
    capture.meter = &inputLevelMeter;

    showAlert = [] (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message)
    {
        juce::AlertWindow::showMessageBoxAsync (icon, title, message);
    };

    setVisible (false);

    titleBar.owner = this;
    closeButton.onClick = [this] { close(); };

    for (auto* part : std::initializer_list<juce::Component*> { &waveformDisplay, &spectrumDisplay, &titleBar, &closeButton })
        addAndMakeVisible (*part);

    styleLabel (statusLabel, "READY: Recording App Audio", timesFont (11.0f, juce::Font::bold | juce::Font::italic),
                juce::Colour (0xff00ff00));
    addAndMakeVisible (statusLabel);

    buildButtons();
    buildSourceRow();
    buildGainRow();
    buildKnobs();

    monitorButton.setClickingTogglesState (true);
    monitorButton.onClick = [this] { monitorEnabled = monitorButton.getToggleState(); };
    addAndMakeVisible (monitorButton);

    resetDisplays();
    setWantsKeyboardFocus (true);
    startTimer (8);
}

RecordingWindow::~RecordingWindow()
{
    stopTimer();
    fileChooser.reset();
    capture.stopPlayback();
    capture.endTake();
}

void RecordingWindow::buildButtons()
{
    displayButton.onClick = [] {};   // the display-options menu comes with the displays
    recordButton.onClick = [this] { toggleRecording(); };
    playButton.onClick = [this] { togglePlayback(); };
    exportButton.onClick = [] {};    // the export menu comes with the export
    zoomOutButton.onClick = [this] { zoomOut(); };
    fitButton.onClick = [this] { fitZoom(); };
    zoomInButton.onClick = [this] { zoomIn(); };

    for (auto* b : { &displayButton, &recordButton, &playButton, &exportButton, &zoomOutButton, &fitButton,
                     &zoomInButton })
        addAndMakeVisible (*b);

    exportButton.setEnabled (false);
    playButton.setEnabled (false);

    styleLabel (zoomLabel, "ZOOM", timesFont (9.0f, juce::Font::italic), captionColour);
    addAndMakeVisible (zoomLabel);
}

void RecordingWindow::buildSourceRow()
{
    styleLabel (inputLabel, "INPUT", timesFont (10.0f, juce::Font::italic), captionColour);
    addAndMakeVisible (inputLabel);

    sourceBox.addItem ("App Audio", 1);
    sourceBox.addItem ("External Input (Mic/Line)", 2);
    sourceBox.addItem ("Ex-In w/ Fx", 3);
    sourceBox.setSelectedId (1, juce::sendNotificationAsync);
    sourceBox.onChange = [this] { sourceChanged(); };
    addAndMakeVisible (sourceBox);

    settingsButton.onClick = [] {};   // the device settings dialog comes with the device help
    helpButton.onClick = [] {};
    addAndMakeVisible (settingsButton);
    addAndMakeVisible (helpButton);

    styleLabel (infoLabel, "32-bit float | 44100 Hz | Stereo", juce::Font ("Consolas", 9.0f, juce::Font::plain),
                juce::Colour (0xff88aacc), juce::Justification::centred);
    infoLabel.setColour (juce::Label::backgroundColourId, juce::Colour (0xff1a2a3a));
    addAndMakeVisible (infoLabel);

    styleLabel (channelsLabel, "CHANNELS", timesFont (10.0f, juce::Font::italic), captionColour);
    addAndMakeVisible (channelsLabel);

    channelBox.addItem ("Stereo", 1);
    channelBox.addItem ("Mono (L)", 2);
    channelBox.addItem ("Mono (R)", 3);
    channelBox.addItem ("Mono (Mix)", 4);
    channelBox.setSelectedId (1, juce::sendNotificationAsync);
    channelBox.setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xff2a4a6a));
    channelBox.setColour (juce::ComboBox::textColourId, juce::Colours::white);
    channelBox.setColour (juce::ComboBox::outlineColourId, juce::Colour (0xff4a7a9a));
    addAndMakeVisible (channelBox);
}

void RecordingWindow::buildGainRow()
{
    styleLabel (inputGainLabel, "INPUT GAIN", timesFont (10.0f, juce::Font::italic), captionColour);
    addAndMakeVisible (inputGainLabel);

    inputGainSlider.setSliderStyle (juce::Slider::LinearHorizontal);
    inputGainSlider.setRange (-20.0, 20.0, 0.1);
    inputGainSlider.setValue (0.0, juce::dontSendNotification);
    inputGainSlider.setTextBoxStyle (juce::Slider::TextBoxRight, false, 50, 18);
    inputGainSlider.setTextValueSuffix (" dB");
    inputGainSlider.setColour (juce::Slider::backgroundColourId, juce::Colour (0xff1a3a5a));
    inputGainSlider.setColour (juce::Slider::trackColourId, juce::Colour (0xff4a8aba));
    inputGainSlider.setColour (juce::Slider::thumbColourId, juce::Colour (0xffaaccee));
    inputGainSlider.setColour (juce::Slider::textBoxTextColourId, juce::Colours::white);
    inputGainSlider.setColour (juce::Slider::textBoxBackgroundColourId, juce::Colour (0xff2a4a6a));
    inputGainSlider.setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0xff4a7a9a));
    addAndMakeVisible (inputGainSlider);

    addAndMakeVisible (inputLevelMeter);
}

void RecordingWindow::buildKnobs()
{
    const auto setUpKnob = [this] (juce::Slider& knob, std::function<void (float)> write)
    {
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
        knob.setRange (0.0, 100.0, 1.0);
        knob.setValue (0.0, juce::sendNotificationAsync);
        knob.setDoubleClickReturnValue (true, 0.0);
        knob.onValueChange = [&knob, write] { write ((float) knob.getValue() / 100.0f); };
        addAndMakeVisible (knob);
    };

    setUpKnob (smartGainKnob, [this] (float v) { smartGainAmount.store (v, std::memory_order_relaxed); });
    styleLabel (smartGainLabel, "SMART GAIN", timesFont (9.0f, juce::Font::bold), juce::Colours::white,
                juce::Justification::centred);
    addAndMakeVisible (smartGainLabel);

    setUpKnob (stereoMaxLowKnob, [this] (float v) { stereoMaxLow = v; });
    setUpKnob (stereoMaxMidKnob, [this] (float v) { stereoMaxMid = v; });
    setUpKnob (stereoMaxHighKnob, [this] (float v) { stereoMaxHigh = v; });

    const auto small = timesFont (8.0f, juce::Font::bold);
    styleLabel (lowLabel, "LOW", small, juce::Colours::white, juce::Justification::centred);
    styleLabel (midLabel, "MID", small, juce::Colours::white, juce::Justification::centred);
    styleLabel (highLabel, "HIGH", small, juce::Colours::white, juce::Justification::centred);
    styleLabel (stereoMaxLabel, "STEREO MAX", timesFont (9.0f, juce::Font::bold | juce::Font::italic),
                juce::Colours::white, juce::Justification::centred);

    for (auto* label : { &lowLabel, &midLabel, &highLabel, &stereoMaxLabel })
        addAndMakeVisible (*label);
}

//==============================================================================
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
    capture.stopPlayback();
    fileChooser.reset();
    setVisible (false);

    if (onClose)
        onClose();
}

void RecordingWindow::prepareCapture (double, int blockSize)
{
    capture.prepare (blockSize);
}

void RecordingWindow::resetDisplays() {}

//==============================================================================
void RecordingWindow::sourceChanged()
{
    const int id = sourceBox.getSelectedId();
    isAppAudioSource.store (id == 1, std::memory_order_relaxed);
    isExInFxSource.store (id == 3, std::memory_order_relaxed);

    if (id == 1)
    {
        setStatus ("Recording app's audio output", 0xff66ff66);
        settingsButton.setVisible (false);
        helpButton.setVisible (false);
        return;
    }

    if (id != 2 && id != 3)
        return;

    if (id == 2)
        setStatus ("Recording from external input", 0xffffaa66);
    else
        setStatus ("External Input -> FX Chain -> Output", 0xff66ffff);

    settingsButton.setVisible (true);
    helpButton.setVisible (true);
    refreshInputStatus();
}

void RecordingWindow::zoomIn()
{
    waveformZoom = juce::jmin (waveformZoom * zoomStep, maxZoom);
    repaint();
}

void RecordingWindow::zoomOut()
{
    waveformZoom = juce::jmax (waveformZoom / zoomStep, 1.0f);
    waveformScroll = waveformScroll < 0.0f ? 0.0f : juce::jmin (1.0f - 1.0f / waveformZoom, waveformScroll);
    repaint();
}

void RecordingWindow::fitZoom()
{
    waveformZoom = 1.0f;
    waveformScroll = 0.0f;
    repaint();
}

bool RecordingWindow::keyPressed (const juce::KeyPress& key)
{
    // Modified keys (Shift+R, Ctrl+P, ...) belong to the main window.
    if (key.getModifiers().isAnyModifierKeyDown())
        return false;

    const int code = key.getKeyCode();
    const auto character = juce::CharacterFunctions::toLowerCase (key.getTextCharacter());
    const auto is = [&] (int keyCode) { return code == keyCode; };
    const auto typed = [&] (juce::juce_wchar c) { return character == c || code == (int) c
                                                        || code == (int) juce::CharacterFunctions::toUpperCase (c); };

    if (is (juce::KeyPress::escapeKey))                        close();
    else if (is (juce::KeyPress::spaceKey) || typed ('r'))     toggleRecording();
    else if (typed ('p'))                                      togglePlayback();
    else if (typed ('e'))                                      {}   // the export menu comes with the export
    else if (typed ('d'))                                      {}   // the display menu comes with the displays
    else if (typed ('m'))
    {
        monitorButton.setToggleState (! monitorButton.getToggleState(), juce::sendNotificationSync);
        monitorEnabled = monitorButton.getToggleState();
    }
    else if (is (juce::KeyPress::numberPadAdd) || typed ('='))     zoomIn();
    else if (is (juce::KeyPress::numberPadSubtract) || typed ('-')) zoomOut();
    else if (is (juce::KeyPress::numberPad0) || typed ('0'))       fitZoom();
    else if (typed ('1') || typed ('2') || typed ('3'))
        sourceBox.setSelectedId (typed ('1') ? 1 : (typed ('2') ? 2 : 3), juce::sendNotificationSync);
    else if (is (juce::KeyPress::upKey) || is (juce::KeyPress::downKey))
    {
        const double step = is (juce::KeyPress::upKey) ? 5.0 : -5.0;
        smartGainKnob.setValue (juce::jlimit (0.0, 100.0, smartGainKnob.getValue() + step), juce::sendNotificationAsync);
    }
    else if (is (juce::KeyPress::leftKey) || is (juce::KeyPress::rightKey))
    {
        // At full view the arrows belong to the main window.
        if (waveformZoom <= 1.0f)
            return false;

        waveformScroll = is (juce::KeyPress::leftKey)
                             ? juce::jmax (0.0f, waveformScroll - 0.25f / waveformZoom)
                             : juce::jmin (waveformScroll + 0.25f / waveformZoom, 1.0f - 1.0f / waveformZoom);
        repaint();
    }
    else
    {
        return false;
    }

    return true;
}

//==============================================================================
void RecordingWindow::resized()
{
    const int w = getWidth(), h = getHeight();
    const int d = (h - 50) / 2;
    const int y = 36 + d + 6;
    const int waveWidth = (w - 14) / 2;

    titleBar.setBounds (4, 4, w - 8, 28);
    closeButton.setBounds (w - 30, 6, 24, 24);
    waveformDisplay.setBounds (4, 36, waveWidth, d);
    spectrumDisplay.setBounds (4 + waveWidth + 6, 36, (w - 4) - (4 + waveWidth + 6), d);

    const int row = y + 8;
    displayButton.setBounds (12, row, 70, 24);
    recordButton.setBounds (87, row, 95, 24);
    playButton.setBounds (187, row, 55, 24);
    exportButton.setBounds (247, row, 80, 24);
    monitorButton.setBounds (332, row, 70, 24);
    zoomOutButton.setBounds (w - 112, row, 28, 24);
    fitButton.setBounds (w - 82, row, 38, 24);
    zoomInButton.setBounds (w - 42, row, 28, 24);
    zoomLabel.setBounds (w - 149, y + 12, 35, 16);
    statusLabel.setBounds (407, y + 10, 200, 20);

    const int sourceRow = y + 40;
    inputLabel.setBounds (12, y + 42, 40, 14);
    sourceBox.setBounds (57, sourceRow, 160, 20);
    settingsButton.setBounds (222, sourceRow, 70, 20);
    helpButton.setBounds (297, sourceRow, 22, 20);
    channelsLabel.setBounds (332, y + 42, 70, 14);
    channelBox.setBounds (402, sourceRow, 100, 20);

    inputGainLabel.setBounds (12, y + 70, 70, 14);
    inputGainSlider.setBounds (87, y + 66, 200, 22);
    inputLevelMeter.setBounds (302, y + 64, w - 541, 50);

    smartGainKnob.setBounds (w - 229, y + 64, 42, 42);
    stereoMaxLowKnob.setBounds (w - 177, y + 64, 42, 42);
    stereoMaxMidKnob.setBounds (w - 131, y + 64, 42, 42);
    stereoMaxHighKnob.setBounds (w - 85, y + 64, 42, 42);
    smartGainLabel.setBounds (w - 234, y + 50, 52, 12);
    stereoMaxLabel.setBounds (w - 177, y + 50, 136, 12);
    lowLabel.setBounds (w - 177, y + 108, 42, 12);
    midLabel.setBounds (w - 131, y + 108, 42, 12);
    highLabel.setBounds (w - 85, y + 108, 42, 12);

    infoLabel.setBounds (12, h - 22, w - 24, 14);
}

void RecordingWindow::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();
    const int d = (h - 50) / 2;
    const int y = 36 + d + 6;

    g.fillAll (juce::Colour (0xff1a1a2e));

    g.setColour (juce::Colour (0xff2a3040));
    g.fillRoundedRectangle (4.0f, (float) y, (float) (w - 8), (float) (h - 46 - d), 4.0f);
    g.setColour (juce::Colour (0xff3a4a5a));
    g.drawRoundedRectangle (5.0f, (float) (y + 1), (float) (w - 10), (float) (h - 48 - d), 3.0f, 1.0f);

    if (w > 24)
    {
        g.setColour (juce::Colour (0xff4a5a6a));
        g.fillRect (12, y + 36, w - 24, 1);
    }

    g.setColour (juce::Colour (0xff4682b4));
    g.drawRect (0, 0, w, h, 2);
}
