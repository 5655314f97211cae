#include "main/MainComponent.h"

#include "main/PresetFile.h"
#include "platform/Folders.h"

// Preset files: the dialogs (one-line JSON) and the quick preset in the Documents folder
// (indented JSON). A save flashes the preset button green and a load cyan, each only when it
// really happened: a file that was not written or a preset that was not applied must not look
// like a success. Everything here runs on the message thread.

juce::var MainComponent::createPresetJson() const
{
    presetfile::State s;
    s.toneMax = (float) toneMaxKnob.slider.getValue();
    s.spatialMax = (float) spatialMaxKnob.slider.getValue();
    s.masterPro = masterProKnob.getLevel();
    s.texturePro = (float) textureProKnob.slider.getValue();
    s.metaControl = (float) metaControlKnob.slider.getValue();
    s.mathControl = (float) mathControlKnob.slider.getValue();
    s.pitch = pitchKnob.getValue();
    s.pan = panKnob.getPan();
    s.bpm = bpm.load();
    s.freeze = freezeButton.getToggleState();
    return presetfile::toJson (s);
}

bool MainComponent::applyPreset (const juce::var& preset)
{
    // Checked whole before anything moves: a preset that is wrong anywhere changes nothing.
    const auto p = presetfile::fromJson (preset);

    if (! p)
        return false;

    // Without notification: a preset sets the knobs; the randomiser keeps its amounts until a
    // knob is turned.
    auto setSilently = [] (MacroSliderKnob& knob, float value)
    {
        knob.slider.setValue (value, juce::dontSendNotification);
        knob.updateTitle();
    };

    setSilently (toneMaxKnob, p->toneMax);
    setSilently (spatialMaxKnob, p->spatialMax);
    masterProKnob.setLevel (p->masterPro);
    setSilently (textureProKnob, p->texturePro);
    setSilently (metaControlKnob, p->metaControl);
    mathControlKnob.slider.setValue (p->mathControl, juce::sendNotificationAsync);
    pitchKnob.setValue (p->pitch);
    panKnob.setPan (p->pan);

    if (p->bpm)
    {
        // The beat clock and the effects keep their tempo until it is next applied; the macro
        // targets read this one at their next application.
        bpm = *p->bpm;
        bpmEditor.setText (juce::String (*p->bpm, 1), juce::dontSendNotification);
    }

    // A change clicks the button, whose handler toggles FREEZE; the same state does nothing.
    if (p->freeze)
        freezeButton.setToggleState (*p->freeze, juce::sendNotification);

    repaint();
    return true;
}

void MainComponent::showPresetWarning (const juce::String& title, const juce::String& message)
{
    if (presetWarningSink)
        presetWarningSink (title, message);
    else
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, title, message, "OK");
}

//==============================================================================
// The dialogs are thin shells: each result goes to a plain function taking the file. The
// chooser is shared with its callback so it lives until the callback has run.

namespace
{
    void launchPresetChooser (MainComponent& owner, const juce::String& title, const juce::String& patterns, int flags,
                              void (MainComponent::*handler) (const juce::File&))
    {
        auto chooser = std::make_shared<juce::FileChooser> (title, platform::chooserStart (platform::documentsFolder()),
                                                            patterns, true);
        juce::Component::SafePointer<MainComponent> safe (&owner);
        chooser->launchAsync (flags | juce::FileBrowserComponent::canSelectFiles,
                              [safe, chooser, handler] (const juce::FileChooser& c)
                              {
                                  if (safe != nullptr)
                                      (safe.getComponent()->*handler) (c.getResult());
                              });
    }
}

// Linux matches patterns case by case, so each carries its upper-case form too.
void MainComponent::showSavePresetDialog()
{
    launchPresetChooser (*this, "Save TavroFx Preset", "*.tavro;*.TAVRO", juce::FileBrowserComponent::saveMode,
                         &MainComponent::savePresetToFile);
}

void MainComponent::showLoadPresetDialog()
{
    launchPresetChooser (*this, "Load TavroFx Preset", "*.tavro;*.json;*.TAVRO;*.JSON", juce::FileBrowserComponent::openMode,
                         &MainComponent::loadPresetFromFile);
}

void MainComponent::savePresetToFile (const juce::File& chosen)
{
    // Cancelled.
    if (chosen == juce::File())
        return;

    const auto target = presetfile::withPresetExtension (chosen);

    if (presetfile::write (target, presetfile::toText (createPresetJson(), true)))
    {
        presetButton.setColour (juce::TextButton::buttonColourId, juce::Colour (MainTimerSteps::presetSavedColour));
    }
    else
    {
        const auto alert = presetfile::saveFailed (target);
        showPresetWarning (alert.title, alert.message);
    }
}

void MainComponent::loadPresetFromFile (const juce::File& chosen)
{
    // Cancelled, or gone since it was chosen.
    if (chosen.getFullPathName().isEmpty() || ! chosen.existsAsFile())
        return;

    if (applyPreset (presetfile::readFile (chosen)))
    {
        presetButton.setColour (juce::TextButton::buttonColourId, juce::Colour (MainTimerSteps::presetLoadedColour));
    }
    else
    {
        const auto alert = presetfile::loadFailed (chosen);
        showPresetWarning (alert.title, alert.message);
    }
}

//==============================================================================
// The quick preset: silent either way, so only the flash tells that it worked.

bool MainComponent::saveQuickPreset()
{
    const auto file = presetfile::quickPresetFile();

    // Nothing makes sure the Documents folder exists on Linux.
    if (! platform::ensureFolder (file.getParentDirectory())
        || ! presetfile::write (file, presetfile::toText (createPresetJson(), false)))
        return false;

    presetButton.setColour (juce::TextButton::buttonColourId, juce::Colour (MainTimerSteps::presetSavedColour));
    return true;
}

bool MainComponent::loadQuickPreset()
{
    const auto file = presetfile::quickPresetFile();

    if (! file.existsAsFile() || ! applyPreset (presetfile::readFile (file)))
        return false;

    presetButton.setColour (juce::TextButton::buttonColourId, juce::Colour (MainTimerSteps::presetLoadedColour));
    return true;
}
