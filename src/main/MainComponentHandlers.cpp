#include "main/MainComponent.h"

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

bool MainComponent::keyPressed (const juce::KeyPress&, juce::Component*)
{
    return false;
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

void MainComponent::toneMaxChanged (float) {}
void MainComponent::spatialMaxChanged (float) {}
void MainComponent::spatialMaxOverdriveChanged (bool) {}
void MainComponent::masterProLevelChanged (int) {}
void MainComponent::textureProChanged (float) {}
void MainComponent::metaControlChanged (float) {}
void MainComponent::mathControlChanged (float) {}

void MainComponent::showOblivionMenu() {}
void MainComponent::showSpatialMaxMenu() {}
void MainComponent::showMasterControlMenu() {}
void MainComponent::showTextureProMenu() {}
void MainComponent::showMetaControlMenu() {}
void MainComponent::showMathControlMenu() {}

//==============================================================================
// Volume, pitch, pan, waveform view and recording window

void MainComponent::pitchReleased() {}

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

void MainComponent::applyMacroTargets() {}
void MainComponent::stepLoopPortions (double) {}
void MainComponent::updateSamplerMarkers() {}
