#pragma once

#include "effects/core/PanelKnobTable.h"
#include "effects/delayverb/DelayVerbProcessor.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>

/** Effect 2 of the chain: a tempo-syncable stereo delay beside a reverb, each with its own left
    and right mix. The delay lines and reverb are a later addition: for now every block passes
    through unchanged, while the panel, its knobs, buttons, mix getters and the fields other
    parts write already exist. */
class DelayVerb : public juce::Component,
                  private juce::Timer
{
    DelayVerbProcessor processor;   // first: the fields below refer into it

public:
    using Knob = RightClickSlider;
    static constexpr int numKnobs = 24;

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit DelayVerb (GreenHeadsUpDisplay* hudToFeed);
    ~DelayVerb() override;

    void prepare (double newSampleRate);

    DelayVerbProcessor& getProcessor() noexcept { return processor; }

    /** Processes the whole buffer in place (audio thread); returns at once while bypassed. */
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    /** The larger of the D L (D R) knob and the delay-mix offsets: the offsets act as a floor. */
    float getDelayLeftMix() const noexcept;
    float getDelayRightMix() const noexcept;

    /** The R L (R R) knob plus the reverb-mix offsets, clamped to 0..100. */
    float getReverbLeftMix() const noexcept;
    float getReverbRightMix() const noexcept;

    /** The delay time the tempo and the NOTE and TYPE knobs give; 250 ms without a tempo. */
    float getSyncedDelayMs() const noexcept;

    /** The chain's activity test: not bypassed and any of the four mixes above 0.01. */
    bool isActive() const noexcept;

    /** The 24 regular knobs, TIME to R DUCK, without NOTE and TYPE. */
    std::array<Knob*, numKnobs> getAllKnobs() noexcept;
    Knob* findKnob (const juce::String& caption) noexcept;

    static const std::array<PanelKnobSpec, numKnobs>& knobTable() noexcept;

    //==============================================================================
    /** The randomiser's targets: [0] time ms, [1] feedback, [2] delay mix, [3] reverb mix. */
    std::array<std::atomic<float>, 4>& randomiserOffsetTargets = processor.parameters.randomiserOffsetTargets;

    /** Written by the Korrupt engine and the ToneMax coupling: [0] time ms, [1] feedback,
        [2] reverb mix, [3] delay mix; the last writer wins. */
    std::array<std::atomic<float>, 4>& korruptOffsets = processor.parameters.korruptOffsets;

    std::atomic<bool>& bypassed = processor.parameters.bypassed;
    std::atomic<bool> syncEnabled { false };
    std::atomic<float> bpm { 120.0f };

    /** The XY pad's position: pan of the delayed signal -1..1 and the ping-pong amount 0..1. */
    std::atomic<float> delayPan { 0.0f }, pingPong { 0.0f };

    Knob noteKnob, typeKnob;
    std::array<Knob, numKnobs> knobs;
    Knob& timeKnob = knobs[0];
    Knob& feedbackKnob = knobs[1];
    Knob& delayLeftKnob = knobs[2];
    Knob& delayRightKnob = knobs[3];
    Knob& reverbLeftKnob = knobs[13];
    Knob& reverbRightKnob = knobs[14];

    juce::Label hoverLabel;
    juce::TextButton bypassButton { "BYPASS" }, hudButton { "HUD" }, syncButton { "SYNC" };
    KnobInfoMap knobInfo;

    double getSampleRate() const noexcept { return processor.getSampleRate(); }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    void updateSyncVisibility();

    GreenHeadsUpDisplay* hud = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DelayVerb)
};
