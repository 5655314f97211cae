#pragma once

#include "main/MainComponentTestAccess.h"

// Reaches what the macro knobs change inside MainComponent: the randomiser, the engines, the
// panels' coupling fields and knobs, the pan gains and the handlers the knobs and menus call.
class MainComponentMacroAccess : public MainComponentTestAccess
{
public:
    explicit MainComponentMacroAccess (MainComponent& c) : MainComponentTestAccess (c) { mc.stopTimer(); }

    KorruptEngine& korruptEngine()          { return mc.korruptEngine; }
    MashEngine& mashEngine()                { return mc.mashEngine; }
    KorruptKnob& korruptKnob()              { return mc.korruptKnob; }
    MashKnob& mashKnob()                    { return mc.mashKnob; }
    PandoraKnob& pandoraKnob()              { return mc.pandoraKnob; }

    PitchKnob& pitchKnob()                  { return mc.pitchKnob; }
    PanKnob& panKnob()                      { return mc.panKnob; }
    juce::TextButton& presetButton()        { return mc.presetButton; }

    DistortionSuite& distortionSuite()      { return mc.distortionSuite; }
    StereoUtilityMax& stereoUtilityMax()    { return mc.stereoUtilityMax; }
    DelayVerb& delayVerb()                  { return mc.delayVerb; }
    Atomizer& atomizer()                    { return mc.atomizer; }
    HeightAndWeight& timePro()              { return mc.timePro; }
    SmartEQ& smartEq()                      { return mc.smartEq; }

    float outputGainLeft() const            { return mc.outputGainLeft.load(); }
    float outputGainRight() const           { return mc.outputGainRight.load(); }
    void setOutputGains (float l, float r)  { mc.outputGainLeft = l; mc.outputGainRight = r; }
    std::atomic<float>& bpm()               { return mc.bpm; }
    bool pitchReactiveMacro() const         { return mc.pitchReactiveMacro; }
    float toneMaxCouplingAmount() const     { return mc.toneMaxCouplingAmount; }
    float lastSpatialMaxValue() const       { return mc.lastSpatialMaxValue; }

    void toneMax (float v)                  { mc.toneMaxChanged (v); }
    void spatialMax (float v)               { mc.spatialMaxChanged (v); }
    void textureProValue (float v)          { mc.textureProChanged (v); }
    void metaControl (float v)              { mc.metaControlChanged (v); }
    void pitchReleased()                    { mc.pitchReleased(); }
    void textureProMenu (int id)            { mc.handleTextureProMenuResult (id); }
    void masterControlMenu (int id)         { mc.handleMasterControlMenuResult (id); }
    void applyMacroTargets()                { mc.applyMacroTargets(); }
    void toggleFreeze()                     { mc.toggleFreeze(); }
    void tick()                             { mc.timerCallback(); }
};
