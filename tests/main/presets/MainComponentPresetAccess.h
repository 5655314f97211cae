#pragma once

#include "main/MainComponent.h"
#include "main/PresetFile.h"

// Reaches the preset handlers of MainComponent and the state a preset sets, with the main
// timer stopped so the success colours stay until the test has read them.
class MainComponentPresetAccess
{
public:
    explicit MainComponentPresetAccess (MainComponent& c) : mc (c)
    {
        mc.stopTimer();
        mc.presetWarningSink = [this] (const juce::String& title, const juce::String& message)
        {
            warnings.push_back ({ title, message });
        };
    }

    MainComponent& mc;
    std::vector<presetfile::Alert> warnings;

    juce::var createPresetJson() const                { return mc.createPresetJson(); }
    bool applyPreset (const juce::var& preset)        { return mc.applyPreset (preset); }
    void saveToFile (const juce::File& chosen)        { mc.savePresetToFile (chosen); }
    void loadFromFile (const juce::File& chosen)      { mc.loadPresetFromFile (chosen); }
    void menu (int id)                                { mc.handlePresetMenuResult (id); }
    bool key (const juce::KeyPress& press)            { return mc.keyPressed (press, nullptr); }

    OblivionKnob& toneMaxKnob()             { return mc.toneMaxKnob; }
    SpatialMaxKnob& spatialMaxKnob()        { return mc.spatialMaxKnob; }
    MasterControlKnob& masterProKnob()      { return mc.masterProKnob; }
    TextureProKnob& textureProKnob()        { return mc.textureProKnob; }
    MetaControlKnob& metaControlKnob()      { return mc.metaControlKnob; }
    MathControlKnob& mathControlKnob()      { return mc.mathControlKnob; }
    PitchKnob& pitchKnob()                  { return mc.pitchKnob; }
    PanKnob& panKnob()                      { return mc.panKnob; }
    juce::TextEditor& bpmEditor()           { return mc.bpmEditor; }
    std::atomic<float>& bpm()               { return mc.bpm; }
    ParameterRandomiser& randomiser()       { return mc.randomiser; }
    int masterProLevel() const              { return mc.masterProLevel; }
    bool frozen() const                     { return mc.frozen.load(); }
    float circuitBendAmount() const         { return mc.circuitBendAmount.load(); }
    void toggleFreeze()                     { mc.toggleFreeze(); }

    juce::Colour presetColour() const       { return mc.presetButton.findColour (juce::TextButton::buttonColourId); }
    void resetPresetColour()
    {
        mc.presetButton.setColour (juce::TextButton::buttonColourId, juce::Colour (MainTimerSteps::presetNormalColour));
    }
};
