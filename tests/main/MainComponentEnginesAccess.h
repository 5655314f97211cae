#pragma once

#include "main/MainComponent.h"

// Reaches the two generative engines, the knobs that drive them and the recording panel's
// hooks in MainComponent.
class MainComponentEnginesAccess
{
public:
    explicit MainComponentEnginesAccess (MainComponent& c) : mc (c) {}

    MainComponent& mc;

    KorruptEngine& korrupt()            { return mc.korruptEngine; }
    MashEngine& mash()                  { return mc.mashEngine; }
    KorruptKnob& korruptKnob()          { return mc.korruptKnob; }
    MashKnob& mashKnob()                { return mc.mashKnob; }
    PandoraKnob& pandoraKnob()          { return mc.pandoraKnob; }
    RecordingWindow& recordingWindow()  { return mc.recordingWindow; }
    juce::TextButton& captureButton()   { return mc.captureButton; }
    bool recordingWindowShown() const   { return mc.recordingWindowShown.load(); }

    void toneMax (float value)          { mc.toneMaxChanged (value); }
    void toneMaxMenu (int id)           { mc.handleOblivionMenuResult (id); }
    bool key (const juce::KeyPress& k)  { return mc.keyPressed (k, &mc); }
    void clickCapture()                 { mc.buttonClicked (&mc.captureButton); }

    /** One empty stereo block through the device callback. */
    void block (int n = 256)
    {
        juce::AudioBuffer<float> buffer (2, n);
        buffer.clear();
        mc.getNextAudioBlock (juce::AudioSourceChannelInfo (&buffer, 0, n));
    }
};
