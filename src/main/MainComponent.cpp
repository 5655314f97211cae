#include "main/MainComponent.h"

#include "controls/RightClickSlider.h"
#include "main/Colours.h"
#include "main/ParamIDsEngines.h"
#include "platform/AudioFormats.h"

MainComponent* MainComponent::mainComponentInstance = nullptr;

namespace
{
    const juce::Colour headerButtonColour (0xff87ceeb);
    const juce::Colour headerTextColour (0xff1a1a2e);

    void styleHeaderButton (juce::Button& button)
    {
        button.setColour (juce::TextButton::buttonColourId, headerButtonColour);
        button.setColour (juce::TextButton::textColourOffId, headerTextColour);
    }
}

double MainComponent::getAudioLengthSeconds()
{
    auto* instance = mainComponentInstance;
    return instance != nullptr ? instance->transport.getLengthInSeconds() : 0.0;
}

//==============================================================================
MainComponent::MainComponent()
{
    audioEngine.connect ({ { distortionSuite, stereoUtilityMax, delayVerb, atomizer, imager, timePro,
                             dictionaryReader, smartEq, finalizer },
                           korruptEngine, mashEngine, randomiser, recordingWindow, stutterKnob.tempoBpm,
                           mathControlKnob.mode });

    EventHandoff::initSlots (eventHandoff.incoming);
    EventHandoff::initSlots (eventHandoff.outgoing);
    eventHandoff.generation = 1;
    eventHandoff.seed = 12345;
    eventHandoff.clear();

    setSize (900, 500);

    platform::registerAudioFormats (formatManager);
    formatManager.registerFormat (new juce::FlacAudioFormat(), false);
    mainComponentInstance = this;
    RightClickSlider::setAudioLengthSource ([] { return getAudioLengthSeconds(); });

    for (auto* b : { static_cast<juce::Component*> (&loadButton), static_cast<juce::Component*> (&playButton),
                     static_cast<juce::Component*> (&stopButton), static_cast<juce::Component*> (&loopButton),
                     static_cast<juce::Component*> (&captureButton), static_cast<juce::Component*> (&orderButton) })
        addAndMakeVisible (b);
    orderButton.onClick = [this] { showRoutingMenu(); };

    routing.resetGroupsToSerial();
    initKeyNoteMap();

    addKeyListener (this);
    setWantsKeyboardFocus (true);

    addAndMakeVisible (keysButton);
    keysButton.setClickingTogglesState (true);
    keysButton.setToggleState (false, juce::dontSendNotification);
    keysButton.setColour (juce::TextButton::textColourOffId, headerTextColour);
    keysButton.setColour (juce::TextButton::textColourOnId, juce::Colour (0xffffcc00));
    keysButton.onClick = [this] { keysButtonClicked(); };
    keysButton.addMouseListener (&keysButtonMouseListener, false);

    addAndMakeVisible (midiButton);
    styleHeaderButton (midiButton);
    midiButton.onClick = [this] { showMidiMenu(); };
    refreshMidiDevices();

    addAndMakeVisible (syncButton);
    syncButton.setClickingTogglesState (true);
    syncButton.setToggleState (false, juce::dontSendNotification);
    styleHeaderButton (syncButton);
    syncButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff00cc66));
    syncButton.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    syncButton.onClick = [this] { syncButtonClicked(); };

    addAndMakeVisible (midiActivityLabel);
    midiActivityLabel.setColour (juce::Label::backgroundColourId, juce::Colour (0xff333344));
    midiActivityLabel.setJustificationType (juce::Justification::centred);

    addAndMakeVisible (learnButton);
    styleHeaderButton (learnButton);
    learnButton.onClick = [this] { showMidiLearnMenu(); };

    addAndMakeVisible (recButton);
    addAndMakeVisible (autoButton);
    styleHeaderButton (recButton);
    styleHeaderButton (autoButton);
    recButton.onClick = [this] { recButtonClicked(); };
    autoButton.onClick = [this] { autoButtonClicked(); };

    loadMidiMappings();

    for (auto* b : { &revButton, &playRevButton })
    {
        addAndMakeVisible (*b);
        b->setClickingTogglesState (true);
        b->setToggleState (false, juce::dontSendNotification);
        styleHeaderButton (*b);
        b->setColour (juce::TextButton::buttonOnColourId, headerButtonColour);
        b->setColour (juce::TextButton::textColourOnId, juce::Colour (0xffffcc00));
    }
    revButton.onClick = [this] { revButtonClicked(); };
    playRevButton.onClick = [this] { playRevButtonClicked(); };
    playRevButton.addMouseListener (this, false);

    addAndMakeVisible (toneMaxKnob);
    toneMaxKnob.onRightClick = [this] { showOblivionMenu(); };
    toneMaxKnob.onValueChange = [this] (float v) { toneMaxChanged (v); };
    korruptKnob.isActive = [this] { return korruptEngine.active.load(); };
    mashKnob.isActive = [this] { return mashEngine.enabled.load(); };

    addAndMakeVisible (spatialMaxKnob);
    spatialMaxKnob.onValueChange = [this] (float v) { spatialMaxChanged (v); };
    spatialMaxKnob.onRightClick = [this] { showSpatialMaxMenu(); };
    spatialMaxKnob.onOverdriveChange = [this] (bool on) { spatialMaxOverdriveChanged (on); };

    addAndMakeVisible (masterProKnob);
    masterProKnob.onLevelChange = [this] (int level) { masterProLevelChanged (level); };
    masterProKnob.onRightClick = [this] { showMasterControlMenu(); };

    masterProLevel = 18;

    addAndMakeVisible (textureProKnob);
    textureProKnob.onValueChange = [this] (float v) { textureProChanged (v); };
    textureProKnob.onRightClick = [this] { showTextureProMenu(); };

    addAndMakeVisible (metaControlKnob);
    metaControlKnob.onValueChange = [this] (float v) { metaControlChanged (v); };
    metaControlKnob.onRightClick = [this] { showMetaControlMenu(); };

    addAndMakeVisible (mathControlKnob);
    mathControlKnob.onValueChange = [this] (float v) { mathControlChanged (v); };
    mathControlKnob.onRightClick = [this] { showMathControlMenu(); };

    addAndMakeVisible (freezeButton);
    freezeButton.setLookAndFeel (&inscriptionLookAndFeel);
    freezeButton.setClickingTogglesState (true);
    freezeButton.setToggleState (false, juce::dontSendNotification);
    freezeButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff222222));
    freezeButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xff00ccff));
    freezeButton.onClick = [this] { toggleFreeze(); };

    addAndMakeVisible (meterButton);
    meterButton.setLookAndFeel (&inscriptionLookAndFeel);
    meterButton.setClickingTogglesState (true);
    meterButton.setToggleState (false, juce::dontSendNotification);
    meterButton.onClick = [this] { meterButtonClicked(); };

    addChildComponent (recordingWindow);
    recordingWindow.onClose = [this] { recordingWindowClosed(); };
    recordingWindow.onFileBounced = [this] (const juce::File& file) { recordingBounced (file); };
    recordingWindow.setButtonLookAndFeel (&inscriptionLookAndFeel);
    recordingWindow.deviceManager = &deviceManager;
    recordingWindow.setKnobLookAndFeel (&silverKnobLookAndFeel);

    addAndMakeVisible (fileLabel);
    addAndMakeVisible (waveformView);
    addAndMakeVisible (distortionSuiteButton);

    setUpPanels();

    addAndMakeVisible (volumeKnob);
    volumeKnob.onValueChange = [this] (float v) { volumeChanged (v); };

    volumeGain = 1.0f;
    transport.setPitchPlaybackRate (1.0f);
    pitchRatio = 1.0f;
    pitchSpectralProcessor.enabled = false;
    samplerSpectralProcessor.enabled = false;

    pitchKnob.onValueChange = [this] (float octaves) { pitchChanged (octaves); };
    pitchKnob.onModeChange = [this] (bool preserve) { pitchModeChanged (preserve); };
    pitchKnob.onRelease = [this] { pitchReleased(); };
    addAndMakeVisible (pitchKnob);

    panKnob.onPanChange = [this] (float pan) { panChanged (pan); };
    panKnob.onWidthChange = [this] (float width) { widthChanged (width); };
    addAndMakeVisible (panKnob);

    setUpTempoControls();

    startTimer (33);
    setAudioChannels (0, 2);
}

void MainComponent::setUpPanels()
{
    effectsViewport.setScrollBarsShown (true, false, false, false);
    effectsViewport.setScrollBarThickness (12);
    effectsViewport.getVerticalScrollBar().setLookAndFeel (&scrollbarLookAndFeel);
    effectsViewport.setViewedComponent (&effectsContent, false);
    addAndMakeVisible (effectsViewport);

    scrollbarLookAndFeel.setColour (juce::ScrollBar::backgroundColourId, juce::Colour (0xff404048));
    scrollbarLookAndFeel.setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xffc0c0c8));

    for (auto* panel : { static_cast<juce::Component*> (&distortionSuite), static_cast<juce::Component*> (&stereoUtilityMax),
                         static_cast<juce::Component*> (&delayVerb), static_cast<juce::Component*> (&atomizer),
                         static_cast<juce::Component*> (&imager), static_cast<juce::Component*> (&timePro),
                         static_cast<juce::Component*> (&dictionaryReader), static_cast<juce::Component*> (&smartEq) })
    {
        panel->setVisible (false);
        effectsContent.addChildComponent (panel);
    }
    addChildComponent (distortionHud);

    setUpPanelButton (stereoUtilityButton, &stereoUtilityHud, "STEREO UTILITY MAX", [this] { togglePanel (1); });
    setUpPanelButton (delayVerbButton, &delayVerbHud, "DELAYVERB", [this] { togglePanel (2); });
    setUpPanelButton (atomizerButton, &atomizerHud, "ATOMIZER", [this] { togglePanel (3); });
    setUpPanelButton (imagerButton, &imagerHud, "MULTI EFFECT IMAGER", [this] { togglePanel (4); });
    setUpPanelButton (timeProButton, &timeProHud, "TIMEPRO", [this] { togglePanel (5); });
    setUpPanelButton (dictionaryButton, &dictionaryHud, "DICTIONARY READER", [this] { togglePanel (6); });
    setUpPanelButton (smartEqButton, nullptr, "SMART EQ", [this] { togglePanel (7); });

    addAndMakeVisible (finalizerButton);
    finalizerPanel.setVisible (false);
    effectsContent.addChildComponent (finalizerPanel);
    addAndMakeVisible (finalizerHud);
    finalizerHud.setSize (260, 280);
    finalizerHud.setVisible (false);
    finalizerHud.setAlwaysOnTop (true);
    finalizerPanel.onHudToggle = [this] (bool shouldShow) { finalizerHudToggled (shouldShow); };
    finalizerButton.setButtonText ("FINALIZER");
    finalizerButton.setLookAndFeel (&inscriptionLookAndFeel);
    finalizerButton.onClick = [this] { togglePanel (8); };

    distortionSuiteButton.setButtonText ("Distortion Suite");
    distortionSuiteButton.setLookAndFeel (&inscriptionLookAndFeel);
    distortionSuiteButton.onClick = [this] { showDistortionModeMenu(); };
}

void MainComponent::setUpPanelButton (juce::TextButton& button, juce::Component* hud, const juce::String& text,
                                      std::function<void()> onClick)
{
    addAndMakeVisible (button);
    if (hud != nullptr)
        addChildComponent (hud);
    button.setButtonText (text);
    button.setLookAndFeel (&inscriptionLookAndFeel);
    button.onClick = std::move (onClick);
}

void MainComponent::setUpTempoControls()
{
    for (auto* c : { static_cast<juce::Component*> (&bpmDetectButton), static_cast<juce::Component*> (&tapButton),
                     static_cast<juce::Component*> (&bpmEditor), static_cast<juce::Component*> (&bpmLabel),
                     static_cast<juce::Component*> (&presetButton), static_cast<juce::Component*> (&revertButton) })
        addAndMakeVisible (c);

    tapButton.setLookAndFeel (&inscriptionLookAndFeel);
    tapButton.onClick = [this] { tapButtonClicked(); };

    for (auto* b : { static_cast<juce::Button*> (&loadButton), static_cast<juce::Button*> (&playButton),
                     static_cast<juce::Button*> (&stopButton), static_cast<juce::Button*> (&loopButton),
                     static_cast<juce::Button*> (&captureButton), static_cast<juce::Button*> (&bpmDetectButton),
                     static_cast<juce::Button*> (&presetButton), static_cast<juce::Button*> (&revertButton) })
        b->addListener (this);

    for (auto* b : { static_cast<juce::Button*> (&loadButton), static_cast<juce::Button*> (&playButton),
                     static_cast<juce::Button*> (&stopButton), static_cast<juce::Button*> (&loopButton),
                     static_cast<juce::Button*> (&captureButton), static_cast<juce::Button*> (&orderButton),
                     static_cast<juce::Button*> (&playRevButton), static_cast<juce::Button*> (&keysButton),
                     static_cast<juce::Button*> (&syncButton), static_cast<juce::Button*> (&midiButton),
                     static_cast<juce::Button*> (&learnButton), static_cast<juce::Button*> (&recButton),
                     static_cast<juce::Button*> (&autoButton), static_cast<juce::Button*> (&revButton),
                     static_cast<juce::Button*> (&bpmDetectButton), static_cast<juce::Button*> (&tapButton),
                     static_cast<juce::Button*> (&presetButton), static_cast<juce::Button*> (&revertButton) })
        b->setLookAndFeel (&inscriptionLookAndFeel);

    presetButton.addMouseListener (this, false);

    playButton.setEnabled (false);
    stopButton.setEnabled (false);
    bpmDetectButton.setEnabled (false);

    fileLabel.setJustificationType (juce::Justification::centred);
    fileLabel.setColour (juce::Label::textColourId, juce::Colours::black);

    bpmEditor.setMultiLine (false);
    bpmEditor.setReturnKeyStartsNewLine (false);
    bpmEditor.setInputRestrictions (6, "0123456789.");
    bpmEditor.setJustification (juce::Justification::centred);
    bpmEditor.setText ("---", juce::dontSendNotification);
    bpmEditor.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xffe8e8e8));
    bpmEditor.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    bpmEditor.setColour (juce::TextEditor::outlineColourId, juce::Colour (0xffaaaaaa));
    bpmEditor.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xff888888));
    bpmEditor.setColour (juce::TextEditor::highlightColourId, juce::Colour (0xffcccccc));
    bpmEditor.setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::black);
    bpmEditor.setColour (juce::CaretComponent::caretColourId, juce::Colours::black);
    bpmEditor.applyFontToAllText (juce::Font ("Times New Roman", 18.0f, juce::Font::bold | juce::Font::italic));

    bpmLabel.setColour (juce::Label::textColourId, juce::Colours::black);
    bpmLabel.setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    bpmLabel.setFont (juce::Font ("Times New Roman", 14.0f, juce::Font::bold | juce::Font::italic));
    bpmLabel.setJustificationType (juce::Justification::centredLeft);

    bpmEditor.onReturnKey = [this] { tempoEntered(); };
    bpmEditor.onFocusLost = [this] { tempoEntered(); };

    waveformView.onSeek = [this] (double seconds) { waveformSeek (seconds); };
    waveformView.onLoopRange = [this] (double start, double end) { waveformLoopRange (start, end); };
}

//==============================================================================
MainComponent::~MainComponent()
{
    stopTimer();
    shutdownAudio();

    for (auto* b : { static_cast<juce::Button*> (&loadButton), static_cast<juce::Button*> (&playButton),
                     static_cast<juce::Button*> (&stopButton), static_cast<juce::Button*> (&loopButton),
                     static_cast<juce::Button*> (&captureButton), static_cast<juce::Button*> (&orderButton),
                     static_cast<juce::Button*> (&playRevButton), static_cast<juce::Button*> (&keysButton),
                     static_cast<juce::Button*> (&syncButton), static_cast<juce::Button*> (&midiButton),
                     static_cast<juce::Button*> (&learnButton), static_cast<juce::Button*> (&recButton),
                     static_cast<juce::Button*> (&autoButton), static_cast<juce::Button*> (&revButton),
                     static_cast<juce::Button*> (&bpmDetectButton) })
        b->setLookAndFeel (nullptr);

    if (midiInput != nullptr)
    {
        midiInput->stop();
        midiInput.reset();
    }

    for (auto* b : { &tapButton, &presetButton, &distortionSuiteButton, &stereoUtilityButton, &delayVerbButton })
        b->setLookAndFeel (nullptr);
    recordingWindow.clearLookAndFeels();

    // The buttons below are detached too, so no component is left holding a look-and-feel
    // that dies before it.
    for (auto* b : { &revertButton, &freezeButton, &meterButton, &atomizerButton, &imagerButton, &timeProButton,
                     &dictionaryButton, &smartEqButton, &finalizerButton })
        b->setLookAndFeel (nullptr);
    effectsViewport.getVerticalScrollBar().setLookAndFeel (nullptr);

    keysButton.removeMouseListener (&keysButtonMouseListener);
    removeKeyListener (this);

    RightClickSlider::setAudioLengthSource (nullptr);
    if (mainComponentInstance == this)
        mainComponentInstance = nullptr;
}

std::array<juce::TextButton*, 9> MainComponent::getPanelButtons() noexcept
{
    return { &distortionSuiteButton, &stereoUtilityButton, &delayVerbButton, &atomizerButton, &imagerButton,
             &timeProButton, &dictionaryButton, &smartEqButton, &finalizerButton };
}

//==============================================================================
void MainComponent::initKeyNoteMap()
{
    static constexpr std::pair<char, int> keys[] = {
        { 'Z', 0 }, { 'S', 1 }, { 'X', 2 }, { 'D', 3 }, { 'C', 4 }, { 'V', 5 }, { 'G', 6 }, { 'B', 7 },
        { 'H', 8 }, { 'N', 9 }, { 'J', 10 }, { 'M', 11 },
        { 'Q', 12 }, { '2', 13 }, { 'W', 14 }, { '3', 15 }, { 'E', 16 }, { 'R', 17 }, { '5', 18 }, { 'T', 19 },
        { '6', 20 }, { 'Y', 21 }, { '7', 22 }, { 'U', 23 }, { 'I', 24 }, { '9', 25 }, { 'O', 26 }, { '0', 27 },
        { 'P', 28 }
    };

    keyNoteMap.clear();
    for (const auto& [key, semitone] : keys)
        keyNoteMap[(int) key] = semitone;
}

void MainComponent::refreshMidiDevices()
{
    midiDevices = juce::MidiInput::getAvailableDevices();
}

void MainComponent::toggleFreeze()
{
    const bool nowFrozen = ! frozen.load();
    frozen = nowFrozen;
    randomiser.freezeLock = nowFrozen;
    freezeButton.setToggleState (nowFrozen, juce::dontSendNotification);

    if (nowFrozen)
    {
        freezeButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff00ffff));
        freezeButton.setColour (juce::TextButton::textColourOnId, juce::Colour (0xff000000));
        freezeButton.setButtonText ("FROZEN");
    }
    else
    {
        freezeButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff222222));
        freezeButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xff00ccff));
        freezeButton.setButtonText ("FREEZE");
    }

    freezeButton.repaint();
}
