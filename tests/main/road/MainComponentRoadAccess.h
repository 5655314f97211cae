#pragma once

#include "main/MainComponent.h"

#include <array>

// Reaches the transport side of MainComponent for the audio-road tests: the handlers the
// buttons, menus and choosers call, and the state they leave behind.
class MainComponentRoadAccess
{
public:
    explicit MainComponentRoadAccess (MainComponent& c) : mc (c) {}

    MainComponent& mc;

    TransportEngine& transport()            { return mc.transport; }
    juce::TextButton& playButton()          { return mc.playButton; }
    juce::TextButton& stopButton()          { return mc.stopButton; }
    juce::TextButton& playRevButton()       { return mc.playRevButton; }
    juce::TextButton& captureButton()       { return mc.captureButton; }
    juce::TextButton& revertButton()        { return mc.revertButton; }
    juce::TextButton& freezeButton()        { return mc.freezeButton; }
    juce::ToggleButton& loopButton()        { return mc.loopButton; }
    juce::Label& fileLabel()                { return mc.fileLabel; }
    RecordingWindow& recordingWindow()      { return mc.recordingWindow; }
    TavroFinalizer& finalizer()             { return mc.finalizer; }
    std::array<WaveformView*, 2> waveformViews() { return { &mc.waveformView, &mc.finalizerPanel.waveformView }; }
    DistortionSuite& distortionSuite()      { return mc.distortionSuite; }
    DictionaryReader& dictionaryReader()    { return mc.dictionaryReader; }
    BeatClock& beatClock()                  { return mc.beatClock; }
    ParameterRandomiser& randomiser()       { return mc.randomiser; }
    OblivionKnob& toneMaxKnob()             { return mc.toneMaxKnob; }
    MathControlKnob& mathControlKnob()      { return mc.mathControlKnob; }
    LevelMeter& levelMeter()                { return mc.levelMeter; }
    std::atomic<float>& volumeGain()        { return mc.volumeGain; }
    float stereoUtilityTempo() const        { return mc.stereoUtilityMax.bpm.load(); }
    float delayVerbTempo() const            { return mc.delayVerb.bpm.load(); }
    float chainTempo() const                { return mc.chainTempo; }
    bool frozen() const                     { return mc.frozen.load(); }
    bool recordingWindowShown() const       { return mc.recordingWindowShown.load(); }
    bool loadedFileExists() const           { return mc.loadedFileExists.load(); }
    int knobAnimationFps() const            { return mc.knobAnimationFps; }
    bool knobAnimationEnabled() const       { return mc.knobAnimationEnabled; }
    const std::vector<MainComponent::LoopSequenceEntry>& loopSequence() const { return mc.loopSequence; }

    void load (const juce::File& file)            { mc.loadAudioFile (file); }
    void chooserResult (const juce::File& file)   { mc.loadChosenFile (file); }
    void click (juce::Button& button)             { mc.buttonClicked (&button); }
    void poll()                                   { mc.pollTransportNotices(); }
    bool isPlaying() const                        { return mc.isPlaying(); }
    void setBpm (float bpm)                       { mc.setBpm (bpm); }
    void presetMenu (int id)                      { mc.handlePresetMenuResult (id); }
    void mathControlMenu (int id)                 { mc.handleMathControlMenuResult (id); }
    void postMacroValue (int index, float value)  { mc.applyPostedMacroValue (index, value); }
    void playRevMenu (int id)                     { mc.handlePlayRevMenuResult (id); }
    void pitch (float octaves)                    { mc.pitchChanged (octaves); }
    void pan (float value)                        { mc.panChanged (value); }
    void width (float value)                      { mc.widthChanged (value); }
    void volume (float value)                     { mc.volumeChanged (value); }
    void revert()                                 { mc.revert(); }
    void addRepeat (int portion, const juce::String& text) { mc.addLoopSequenceEntry (portion, text); }

    static juce::String playRevItemText (int item, int order) { return MainComponent::playRevMenuItemText (item, order); }

    /** REV and PLAYREV as a click leaves them: the toggle flips, then the handler runs. */
    void setRev (bool on)      { mc.revButton.setToggleState (on, juce::dontSendNotification); mc.revButtonClicked(); }
    void setPlayRev (bool on)  { mc.playRevButton.setToggleState (on, juce::dontSendNotification); mc.playRevButtonClicked(); }
    void setLoop (bool on)     { mc.loopButton.setToggleState (on, juce::dontSendNotification); click (mc.loopButton); }
};
