#pragma once

#include "main/PresetFile.h"
#include "main/macros/MainComponentMacroAccess.h"

// Reaches the preset handlers of MainComponent, on top of the knobs and state the macro access
// already reaches (with the main timer stopped, so the success colours stay until read).
// Warnings are caught here instead of opening a box.
class MainComponentPresetAccess : public MainComponentMacroAccess
{
public:
    explicit MainComponentPresetAccess (MainComponent& c) : MainComponentMacroAccess (c)
    {
        mc.presetWarningSink = [this] (const juce::String& title, const juce::String& message)
        {
            warnings.push_back ({ title, message });
        };
    }

    std::vector<presetfile::Alert> warnings;

    juce::var createPresetJson() const                { return mc.createPresetJson(); }
    bool applyPreset (const juce::var& preset)        { return mc.applyPreset (preset); }
    void saveToFile (const juce::File& chosen)        { mc.savePresetToFile (chosen); }
    void loadFromFile (const juce::File& chosen)      { mc.loadPresetFromFile (chosen); }
    void menu (int id)                                { mc.handlePresetMenuResult (id); }
    bool key (const juce::KeyPress& press)            { return mc.keyPressed (press, nullptr); }
    float circuitBendAmount() const                   { return mc.circuitBendAmount.load(); }

    juce::Colour presetColour() const       { return mc.presetButton.findColour (juce::TextButton::buttonColourId); }
    void resetPresetColour()
    {
        mc.presetButton.setColour (juce::TextButton::buttonColourId, juce::Colour (MainTimerSteps::presetNormalColour));
    }
};
