#pragma once

#include "main/MainComponent.h"

// Reaches the main component's chain, timer and panel members for the tests of those
// behaviours.
class MainComponentChainAccess
{
public:
    explicit MainComponentChainAccess (MainComponent& c) : mc (c) {}

    MainComponent& mc;

    RoutingState& routing()                 { return mc.routing; }
    EffectChain& chain()                    { return mc.effectChain; }
    void handleRoutingMenuResult (int id)   { mc.handleRoutingMenuResult (id); }
    void handleSerialOrderResult (int id)   { mc.handleSerialOrderResult (id); }
    void handleGroupEditorResult (int id)   { mc.handleGroupEditorResult (id); }
    void runEffectChain (juce::AudioBuffer<float>& b, int start, int n) { mc.runEffectChain (b, start, n); }
    bool isEffectActive (int id) const      { return mc.isEffectActive (id); }

    void tick()                             { mc.timerCallback(); }
    int timerInterval() const               { return mc.getTimerInterval(); }

    juce::TextButton& presetButton()        { return mc.presetButton; }
    juce::TextButton& meterButton()         { return mc.meterButton; }
    juce::TextButton& playButton()          { return mc.playButton; }
    juce::TextButton& tapButton()           { return mc.tapButton; }
    juce::TextEditor& bpmEditor()           { return mc.bpmEditor; }
    juce::Label& midiLamp()                 { return mc.midiActivityLabel; }
    std::atomic<bool>& midiActivity()       { return mc.midiActivity; }
    LevelMeter& levelMeter()                { return mc.levelMeter; }
    float bpm() const                       { return mc.bpm.load(); }
    BeatClock& beatClock()                  { return mc.beatClock; }

    /** Leaves no effect active at start, so a test's arithmetic passes the chain unchanged:
        the Smart EQ starts with its bands on and the finalizer always counts. */
    void keepChainOut()
    {
        for (int band = 0; band < 6; ++band)
            mc.smartEq.setBandEnabled (band, false);
        mc.finalizer.bypassed = true;
    }

    SmartEQ& smartEq()                      { return mc.smartEq; }
    TavroFinalizer& finalizer()             { return mc.finalizer; }

    juce::Viewport& viewport()              { return mc.effectsViewport; }
    FinalizerPanel& finalizerPanel()        { return mc.finalizerPanel; }
    TavroFinalizerHUD& finalizerHud()       { return mc.finalizerHud; }
    DistortionSuite& distortionSuite()      { return mc.distortionSuite; }
    ColourHeadsUpDisplay& distortionHud()   { return mc.distortionHud; }
    int distortionState() const             { return mc.distortionPanelState; }
    void handleDistortionMenuResult (int id) { mc.handleDistortionMenuResult (id); }

    struct Panel
    {
        juce::TextButton* button;
        juce::Component* panel;
        ColourHeadsUpDisplay* hud;
        int* state;
        int height;
    };

    /** The eight panels with a plain toggle button, in stacking order. */
    std::array<Panel, 8> toggledPanels()
    {
        return { { { &mc.stereoUtilityButton, &mc.stereoUtilityMax, &mc.stereoUtilityHud, &mc.stereoUtilityPanelState, 161 },
                   { &mc.delayVerbButton, &mc.delayVerb, &mc.delayVerbHud, &mc.delayVerbPanelState, 161 },
                   { &mc.atomizerButton, &mc.atomizer, &mc.atomizerHud, &mc.atomizerPanelState, 161 },
                   { &mc.imagerButton, &mc.imager, &mc.imagerHud, &mc.imagerPanelState, 231 },
                   { &mc.timeProButton, &mc.timePro, &mc.timeProHud, &mc.timeProPanelState, 161 },
                   { &mc.dictionaryButton, &mc.dictionaryReader, &mc.dictionaryHud, &mc.dictionaryPanelState, 161 },
                   { &mc.smartEqButton, &mc.smartEq, nullptr, &mc.smartEqPanelState, 491 },
                   { &mc.finalizerButton, &mc.finalizerPanel, nullptr, &mc.finalizerPanelState, 491 } } };
    }

    juce::Component& effectsContent()       { return mc.effectsContent; }
};
