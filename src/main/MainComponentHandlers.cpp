#include "main/MainComponent.h"

#include "knobs/MathControlMenu.h"
#include "main/ui/OwnedMenu.h"

// What the main window's controls do. The constructor wires every control to one of these
// functions; each is filled in together with the behaviour it belongs to (transport and file
// loading, routing, presets, automation, MIDI, shortcuts, macro-knob wiring, panel buttons).
// Until then a control keeps its own look and state but changes nothing else.

void MainComponent::KeysButtonMouseListener::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
        owner.showKeysMenu();
}

//==============================================================================
// Framework callbacks

bool MainComponent::keyPressed (const juce::KeyPress& key, juce::Component*)
{
    // Escape closes the recording panel only while it is shown; otherwise it stays free for
    // whoever else listens for it.
    if (key.getKeyCode() == juce::KeyPress::escapeKey && key.getModifiers() == juce::ModifierKeys()
        && recordingWindow.isVisible())
    {
        recordingWindow.close();
        recordingWindowShown = false;
        captureButton.setButtonText ("CAPTURE");
        return true;
    }

    const auto ctrl = juce::ModifierKeys::ctrlModifier;
    const auto ctrlShift = juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier;

    if (key == juce::KeyPress ('s', ctrl, 0))            saveQuickPreset();
    else if (key == juce::KeyPress ('s', ctrlShift, 0))  showSavePresetDialog();
    else if (key == juce::KeyPress ('l', ctrl, 0))       loadQuickPreset();
    else if (key == juce::KeyPress ('l', ctrlShift, 0))  showLoadPresetDialog();
    else                                                 return false;

    return true;
}

bool MainComponent::keyStateChanged (bool, juce::Component*)
{
    return false;
}

void MainComponent::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) {}

// Nothing can load a file yet, so no drop is accepted.
bool MainComponent::isInterestedInFileDrag (const juce::StringArray&)
{
    return false;
}

void MainComponent::filesDropped (const juce::StringArray&, int, int) {}

//==============================================================================
// Header and second-row controls

void MainComponent::loadMidiMappings() {}
void MainComponent::keysButtonClicked() {}
void MainComponent::showKeysMenu() {}
void MainComponent::showMidiMenu() {}
void MainComponent::syncButtonClicked() {}
void MainComponent::showMidiLearnMenu() {}
void MainComponent::recButtonClicked() {}
void MainComponent::autoButtonClicked() {}
void MainComponent::tempoEntered() {}

//==============================================================================
// Macro knobs

void MainComponent::mathControlChanged (float value)
{
    circuitBendAmount = value;
}

void MainComponent::showOblivionMenu()
{
    juce::PopupMenu menu;
    tonemaxengines::addEngineItems (menu, korruptEngine.active.load(), mashEngine.enabled.load());
    showOwnedMenu (std::move (menu), toneMaxKnob, *this, &MainComponent::handleOblivionMenuResult);
}

void MainComponent::handleOblivionMenuResult (int id)
{
    if (id == tonemaxengines::korruptItemId)
    {
        korruptEngine.toggleActive();
        korruptKnob.repaint();
    }
    else if (id == tonemaxengines::mashItemId)
    {
        mashEngine.toggleEnabled();
        mashKnob.repaint();
    }

    toneMaxKnob.repaint();
}
void MainComponent::showSpatialMaxMenu() {}
void MainComponent::showTextureProMenu() {}
void MainComponent::showMetaControlMenu() {}

void MainComponent::showMathControlMenu()
{
    showOwnedMenu (mathcontrolmenu::build (mathControlKnob.slider.getValue(), mathControlKnob.getMode()),
                   mathControlKnob, *this, &MainComponent::handleMathControlMenuResult);
}

void MainComponent::handleMathControlMenuResult (int id)
{
    const auto choice = mathcontrolmenu::choiceFor (id, juce::Random::getSystemRandom());

    if (choice.mode)
        mathControlKnob.mode = *choice.mode;

    // Asynchronous, so the value callback stores the new amount on a later message.
    if (choice.value)
        mathControlKnob.slider.setValue (*choice.value, juce::sendNotificationAsync);

    mathControlKnob.repaint();
}

void MainComponent::applyPostedMacroValue (int knobIndex, float value)
{
    // Senders give 0..1; anything else must not reach the integer level or the sliders.
    if (! std::isfinite (value))
        return;

    const double percent = 100.0 * juce::jlimit (0.0f, 1.0f, value);

    auto setSilently = [percent] (MacroSliderKnob& knob)
    {
        knob.slider.setValue (percent, juce::dontSendNotification);
        knob.updateTitle();
    };

    switch (knobIndex)
    {
        case ToneMax:     setSilently (toneMaxKnob); break;
        case SpatialMax:  setSilently (spatialMaxKnob); break;
        case TexturePro:  setSilently (textureProKnob); break;
        case MetaControl: setSilently (metaControlKnob); break;
        case MasterPro:   masterProKnob.setLevel ((int) percent); break;
        case MathControl: mathControlKnob.slider.setValue (percent, juce::sendNotificationAsync); break;
        default:          break;
    }
}

//==============================================================================
// Volume, pitch, pan, waveform view and recording window

void MainComponent::recordingWindowClosed()
{
    recordingWindowShown = false;
    captureButton.setButtonText ("CAPTURE");
}

void MainComponent::recordingBounced (const juce::File& file)
{
    loadAudioFile (file);
}

//==============================================================================
// Steps of the main timer that belong to the macro knobs, the loop portions and the keyboard
// sampler; the timer calls them in their place in its tick.

void MainComponent::stepLoopPortions (double) {}
void MainComponent::updateSamplerMarkers() {}
