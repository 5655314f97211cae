#pragma once

#include "main/MainComponent.h"

// Reaches what the macro knobs change inside MainComponent: the randomiser, the engines, the
// panels' coupling fields and knobs, the pan gains and the handlers the knobs and menus call.
class MainComponentMacroAccess
{
public:
    explicit MainComponentMacroAccess (MainComponent& c) : mc (c) { mc.stopTimer(); }

    MainComponent& mc;

    ParameterRandomiser& randomiser()       { return mc.randomiser; }
    KorruptEngine& korruptEngine()          { return mc.korruptEngine; }
    MashEngine& mashEngine()                { return mc.mashEngine; }
    KorruptKnob& korruptKnob()              { return mc.korruptKnob; }
    MashKnob& mashKnob()                    { return mc.mashKnob; }
    PandoraKnob& pandoraKnob()              { return mc.pandoraKnob; }

    OblivionKnob& toneMaxKnob()             { return mc.toneMaxKnob; }
    SpatialMaxKnob& spatialMaxKnob()        { return mc.spatialMaxKnob; }
    MasterControlKnob& masterProKnob()      { return mc.masterProKnob; }
    TextureProKnob& textureProKnob()        { return mc.textureProKnob; }
    MetaControlKnob& metaControlKnob()      { return mc.metaControlKnob; }
    MathControlKnob& mathControlKnob()      { return mc.mathControlKnob; }
    PitchKnob& pitchKnob()                  { return mc.pitchKnob; }
    PanKnob& panKnob()                      { return mc.panKnob; }
    juce::TextButton& freezeButton()        { return mc.freezeButton; }
    juce::TextButton& presetButton()        { return mc.presetButton; }
    juce::TextEditor& bpmEditor()           { return mc.bpmEditor; }

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
    int masterProLevel() const              { return mc.masterProLevel; }
    bool frozen() const                     { return mc.frozen.load(); }

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
