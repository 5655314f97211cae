#include "main/MainComponent.h"

#include "main/ui/MainTimerSteps.h"
#include "main/ui/OwnedMenu.h"

// The eight buttons MainComponent listens to, the right-click menus of ZARIDEZ and PLAYREV, the
// knob-animation actions and REVERT. Message thread throughout. Chooser and menu results go to
// plain functions, so the behaviour can be driven without opening a dialog.

namespace
{
    const juce::Colour normalButtonColour (MainTimerSteps::presetNormalColour);
    const juce::Colour savedColour (MainTimerSteps::presetSavedColour);

    /** A panel's control by its caption (the component name of its knobs) or its button text. */
    template <typename ComponentType>
    ComponentType* findNamed (juce::Component& root, const juce::String& name)
    {
        for (auto* child : root.getChildren())
        {
            if (auto* typed = dynamic_cast<ComponentType*> (child))
            {
                if constexpr (std::is_base_of_v<juce::Button, ComponentType>)
                {
                    if (typed->getButtonText() == name)
                        return typed;
                }
                else if (typed->getName() == name)
                {
                    return typed;
                }
            }

            if (auto* found = findNamed<ComponentType> (*child, name))
                return found;
        }

        return nullptr;
    }

    struct KnobValue
    {
        const char* caption;
        double value;
    };

    // Knobs reset with an asynchronous notification, so each panel's own callbacks follow.
    template <size_t count>
    void resetKnobs (juce::Component& panel, const KnobValue (&values)[count])
    {
        for (const auto& kv : values)
            if (auto* slider = findNamed<juce::Slider> (panel, kv.caption))
                slider->setValue (kv.value, juce::sendNotificationAsync);
    }

    void switchOffButtons (juce::Component& panel, std::initializer_list<const char*> texts)
    {
        for (auto* text : texts)
            if (auto* button = findNamed<juce::Button> (panel, text))
                button->setToggleState (false, juce::dontSendNotification);
    }
}

//==============================================================================
void MainComponent::buttonClicked (juce::Button* button)
{
    if (button == &loadButton)
        showLoadChooser();
    else if (button == &playButton)
        playButtonClicked();
    else if (button == &stopButton)
        stopButtonClicked();
    else if (button == &loopButton)
        transport.setLoopEnabled (loopButton.getToggleState());
    else if (button == &captureButton)
        captureButtonClicked();
    else if (button == &bpmDetectButton)
        showBpmDetectionMenu();
    else if (button == &presetButton)
        showPresetMenu();
    else if (button == &revertButton)
        revert();
}

void MainComponent::mouseDown (const juce::MouseEvent& e)
{
    if (! e.mods.isRightButtonDown() || e.eventComponent == nullptr)
        return;

    const auto within = [&e] (juce::Component& c) { return e.eventComponent == &c || c.isParentOf (e.eventComponent); };

    if (within (presetButton))
        presetButton.triggerClick();
    else if (within (playRevButton))
        showPlayRevMenu();
}

//==============================================================================
void MainComponent::showLoadChooser()
{
    fileChooser = std::make_unique<juce::FileChooser> ("Select a WAV file...", juce::File(),
                                                       "*.wav;*.mp3;*.aiff;*.flac;*.WAV;*.MP3;*.AIFF;*.FLAC");

    juce::Component::SafePointer<MainComponent> safe (this);
    fileChooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                              [safe] (const juce::FileChooser& chooser)
                              {
                                  if (safe != nullptr)
                                      safe->loadChosenFile (chooser.getResult());
                              });
}

void MainComponent::loadChosenFile (const juce::File& file)
{
    if (file.getFullPathName().isNotEmpty() && file.existsAsFile())
        loadAudioFile (file);
}

void MainComponent::captureButtonClicked()
{
    if (recordingWindow.isVisible())
    {
        recordingWindow.close();   // its close callback puts "CAPTURE" back
        recordingWindowShown = false;
        captureButton.setButtonText ("CAPTURE");
        return;
    }

    recordingWindow.resetDisplays();
    recordingWindow.silentTicks = 0;
    recordingWindow.setVisible (true);
    recordingWindow.toFront (true);
    recordingWindowShown = true;
    captureButton.setButtonText ("....");
}

//==============================================================================
void MainComponent::showPresetMenu()
{
    juce::PopupMenu animation;
    animation.addItem (10, knobAnimationEnabled ? "Disable Knob Animation" : "Enable Knob Animation");
    animation.addSeparator();
    animation.addItem (11, "30 FPS (Default)", true, knobAnimationFps == 30);
    animation.addItem (12, "15 FPS (Low)", true, knobAnimationFps == 15);
    animation.addItem (13, "10 FPS (Very Low)", true, knobAnimationFps == 10);
    animation.addItem (14, "5 FPS (Minimal)", true, knobAnimationFps == 5);

    juce::PopupMenu menu;
    menu.addItem (1, "Save Preset...");
    menu.addItem (2, "Load Preset...");
    menu.addSeparator();
    menu.addItem (3, "Save Quick Preset (Ctrl+S)");
    menu.addItem (4, "Load Quick Preset (Ctrl+L)");
    menu.addSeparator();
    menu.addSubMenu ("Knob Animation", animation);

    showOwnedMenu (std::move (menu), presetButton, *this, &MainComponent::handlePresetMenuResult);
}

void MainComponent::handlePresetMenuResult (int id)
{
    switch (id)
    {
        case 1:  showSavePresetDialog(); break;
        case 2:  showLoadPresetDialog(); break;
        case 3:  saveQuickPreset(); break;
        case 4:  loadQuickPreset(); break;

        case 10: setKnobAnimationEnabled (! knobAnimationEnabled); break;
        case 11: setKnobAnimationFps (30); break;
        case 12: setKnobAnimationFps (15); break;
        case 13: setKnobAnimationFps (10); break;
        case 14: setKnobAnimationFps (5); break;
        default: break;
    }
}

template <typename Fn>
void MainComponent::forEachMacroKnob (Fn&& fn)
{
    fn (toneMaxKnob);
    fn (spatialMaxKnob);
    fn (masterProKnob);
    fn (textureProKnob);
    fn (metaControlKnob);
    fn (mathControlKnob);
}

void MainComponent::setKnobAnimationEnabled (bool shouldAnimate)
{
    knobAnimationEnabled = shouldAnimate;

    if (shouldAnimate)
    {
        setKnobAnimationFps (knobAnimationFps);
        return;
    }

    forEachMacroKnob ([] (auto& knob)
    {
        knob.stopTimer();
        knob.repaint();
    });
}

void MainComponent::setKnobAnimationFps (int fps)
{
    knobAnimationFps = fps;

    if (! knobAnimationEnabled)
        return;

    // Starting a running timer restarts it at the new rate.
    forEachMacroKnob ([fps] (auto& knob)
    {
        if (fps > 0)
            knob.startTimer (1000 / fps);
        else
            knob.stopTimer();
    });
}

//==============================================================================
void MainComponent::revert()
{
    toneMaxKnob.slider.setValue (0.0, juce::dontSendNotification);
    toneMaxKnob.updateTitle();
    spatialMaxKnob.slider.setValue (0.0, juce::dontSendNotification);
    spatialMaxKnob.updateTitle();
    masterProKnob.setLevel (0);

    randomiser.setEqAmount (0.0f);
    randomiser.setSpaceAmount (0.0f);
    randomiser.setMasterAmount (0.0f);

    if (frozen.load())
    {
        frozen = false;
        randomiser.freezeLock = false;
        freezeButton.setButtonText ("FREEZE");
        freezeButton.setToggleState (false, juce::dontSendNotification);
    }

    static const KnobValue distortionValues[] = {
        { "MIX", 0 }, { "DRIVE", 50 }, { "OUT", 0 }, { "BITS", 16 }, { "RATE", 100 }, { "DTHR", 0 },
        { "JITR", 0 }, { "THRS", -20 }, { "RAT", 4 }, { "ATK", 10 }, { "REL", 100 }, { "MKUP", 0 }, { "SAT", 0 }
    };
    resetKnobs (distortionSuite, distortionValues);

    stereoUtilityMax.resetToNeutral();

    static const KnobValue delayVerbValues[] = {
        { "D L", 0 }, { "D R", 0 }, { "R L", 0 }, { "R R", 0 }, { "TIME", 250 }, { "FDBK", 30 },
        { "D LPF", 8000 }, { "D HPF", 100 }, { "STEREO", 10 }, { "D MOD", 2 }, { "D RATE", 0.5 },
        { "D DUCK", 0 }, { "DECAY", 2 }, { "SIZE", 50 }, { "PRE", 20 }, { "DAMP", 50 }, { "R LO", 100 },
        { "R HI", 8000 }, { "WIDTH", 100 }, { "R MOD", 1 }, { "R RATE", 0.5 }, { "R DUCK", 0 }
    };
    resetKnobs (delayVerb, delayVerbValues);

    static const KnobValue atomizerValues[] = {
        { "L MIX", 0 }, { "R MIX", 0 }, { "INTNS", 50 }, { "FOCUS", 5000 }, { "EXCITE", 50 }, { "CHAR", 50 },
        { "RATE", 1 }, { "DEPTH", 2 }, { "FDBK", 30 }, { "STOFF", 45 }, { "TONE", 0 }, { "OUT", 0 }
    };
    resetKnobs (atomizer, atomizerValues);

    imager.masterSlider.setValue (0.0, juce::sendNotificationAsync);

    for (auto* b : { &imager.panButton, &imager.distButton, &imager.delayButton, &imager.verbButton,
                     &imager.exciterButton })
        b->setToggleState (false, juce::dontSendNotification);

    imager.resetFeatures();
    imager.mutateButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xffcc3333));
    imager.mutateButton.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
    imager.statusLabel.setText ("All effects reset to neutral", juce::dontSendNotification);

    timePro.resetToNeutral();

    dictionaryReader.mixKnob.setValue (0.0, juce::sendNotificationAsync);
    dictionaryReader.reading = false;
    dictionaryReader.resetEngineState();
    switchOffButtons (dictionaryReader, { "READ", "MICRO-PITCH", "GRANULAR", "HALF-TIME" });

    revertButton.setColour (juce::TextButton::buttonColourId, savedColour);

    juce::Component::SafePointer<juce::TextButton> safeButton (&revertButton);
    juce::Timer::callAfterDelay (300, [safeButton]
    {
        if (safeButton != nullptr)
            safeButton->setColour (juce::TextButton::buttonColourId, normalButtonColour);
    });
}

//==============================================================================
int MainComponent::parseRepeatCount (const juce::String& text)
{
    const int value = text.trim().getIntValue();
    return juce::jlimit (1, 10, value);
}

void MainComponent::addLoopSequenceEntry (int portion, const juce::String& repeatsText)
{
    loopSequence.push_back ({ portion, parseRepeatCount (repeatsText) });
}

//==============================================================================
// Actions whose dialogs and files belong to other parts of the window; they keep their
// places in the buttons and menus and do nothing until those land.

void MainComponent::showBpmDetectionMenu() {}
