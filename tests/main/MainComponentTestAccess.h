#pragma once

#include "main/MainComponent.h"

#include <map>
#include <stdexcept>

// Reaches MainComponent's private members so tests can look at its children and state
// without widening the class's public interface.
class MainComponentTestAccess
{
public:
    explicit MainComponentTestAccess (MainComponent& c) : mc (c) {}

    MainComponent& mc;

    juce::Component& child (const juce::String& name);

    juce::TextButton& playButton()      { return mc.playButton; }
    juce::TextButton& stopButton()      { return mc.stopButton; }
    juce::TextButton& bpmDetectButton() { return mc.bpmDetectButton; }
    juce::TextButton& freezeButton()    { return mc.freezeButton; }

    /** Stops the main timer, whose pulse repaints the FREEZE colours on every tick. */
    void stopMainTimer() { mc.stopTimer(); }
    juce::ToggleButton& loopButton()    { return mc.loopButton; }
    juce::TextEditor& bpmEditor()       { return mc.bpmEditor; }
    juce::Label& fileLabel()            { return mc.fileLabel; }
    juce::Rectangle<int> buttonRowArea() const { return mc.buttonRowArea; }
    juce::Component& effectsContent()   { return mc.effectsContent; }
    juce::AudioFormatManager& formatManager() { return mc.formatManager; }
    const RoutingState& routing() const { return mc.routing; }
    int masterProLevel() const          { return mc.masterProLevel; }
    bool frozen() const                 { return mc.frozen.load(); }
    ParameterRandomiser& randomiser()   { return mc.randomiser; }
    TavroFinalizerHUD& finalizerHud()   { return mc.finalizerHud; }

    // Macro knobs and the circuit bend.
    OblivionKnob& toneMaxKnob()         { return mc.toneMaxKnob; }
    SpatialMaxKnob& spatialMaxKnob()    { return mc.spatialMaxKnob; }
    MasterControlKnob& masterProKnob()  { return mc.masterProKnob; }
    TextureProKnob& textureProKnob()    { return mc.textureProKnob; }
    MetaControlKnob& metaControlKnob()  { return mc.metaControlKnob; }
    MathControlKnob& mathControlKnob()  { return mc.mathControlKnob; }
    float circuitBendAmount() const     { return mc.circuitBendAmount.load(); }
    void mathControlMenu (int id)       { mc.handleMathControlMenuResult (id); }
    void postMacroValue (int index, float value) { mc.applyPostedMacroValue (index, value); }

    std::vector<juce::Button*> offToggles()
    {
        return { &mc.loopButton, &mc.revButton, &mc.playRevButton, &mc.keysButton, &mc.syncButton,
                 &mc.freezeButton, &mc.meterButton };
    }

    /** The nine panels with their displays (null for the Smart EQ and the finalizer). */
    struct Panel
    {
        juce::Component* panel;
        juce::Component* hud;
        int* state;
    };

    std::array<Panel, 9> panels()
    {
        return { { { &mc.distortionSuite, &mc.distortionHud, &mc.distortionPanelState },
                   { &mc.stereoUtilityMax, &mc.stereoUtilityHud, &mc.stereoUtilityPanelState },
                   { &mc.delayVerb, &mc.delayVerbHud, &mc.delayVerbPanelState },
                   { &mc.atomizer, &mc.atomizerHud, &mc.atomizerPanelState },
                   { &mc.imager, &mc.imagerHud, &mc.imagerPanelState },
                   { &mc.timePro, &mc.timeProHud, &mc.timeProPanelState },
                   { &mc.dictionaryReader, &mc.dictionaryHud, &mc.dictionaryPanelState },
                   { &mc.smartEq, nullptr, &mc.smartEqPanelState },
                   { &mc.finalizerPanel, nullptr, &mc.finalizerPanelState } } };
    }
};

inline juce::Component& MainComponentTestAccess::child (const juce::String& name)
{
    juce::Component* found = nullptr;

    const std::pair<const char*, juce::Component*> all[] = {
        { "loadButton", &mc.loadButton }, { "playButton", &mc.playButton }, { "stopButton", &mc.stopButton },
        { "loopButton", &mc.loopButton }, { "volumeKnob", &mc.volumeKnob }, { "captureButton", &mc.captureButton },
        { "orderButton", &mc.orderButton }, { "keysButton", &mc.keysButton }, { "midiButton", &mc.midiButton },
        { "midiActivityLabel", &mc.midiActivityLabel }, { "syncButton", &mc.syncButton },
        { "revButton", &mc.revButton }, { "playRevButton", &mc.playRevButton },
        { "toneMaxKnob", &mc.toneMaxKnob }, { "masterProKnob", &mc.masterProKnob },
        { "metaControlKnob", &mc.metaControlKnob }, { "spatialMaxKnob", &mc.spatialMaxKnob },
        { "textureProKnob", &mc.textureProKnob }, { "mathControlKnob", &mc.mathControlKnob },
        { "recordingWindow", &mc.recordingWindow }, { "bpmDetectButton", &mc.bpmDetectButton },
        { "bpmEditor", &mc.bpmEditor }, { "bpmLabel", &mc.bpmLabel }, { "presetButton", &mc.presetButton },
        { "revertButton", &mc.revertButton }, { "pitchKnob", &mc.pitchKnob }, { "panKnob", &mc.panKnob },
        { "meterButton", &mc.meterButton }, { "freezeButton", &mc.freezeButton },
        { "learnButton", &mc.learnButton }, { "recButton", &mc.recButton }, { "autoButton", &mc.autoButton },
        { "tapButton", &mc.tapButton }, { "fileLabel", &mc.fileLabel }, { "waveformView", &mc.waveformView },
        { "effectsViewport", &mc.effectsViewport },
        { "distortionSuiteButton", &mc.distortionSuiteButton }, { "stereoUtilityButton", &mc.stereoUtilityButton },
        { "delayVerbButton", &mc.delayVerbButton }, { "atomizerButton", &mc.atomizerButton },
        { "imagerButton", &mc.imagerButton }, { "timeProButton", &mc.timeProButton },
        { "dictionaryButton", &mc.dictionaryButton }, { "smartEqButton", &mc.smartEqButton },
        { "finalizerButton", &mc.finalizerButton }
    };

    for (const auto& [n, c] : all)
        if (name == n)
            found = c;

    if (found == nullptr)
        throw std::invalid_argument (("no child named " + name).toStdString());

    return *found;
}
