#pragma once

#include "controls/NeonGreenKnobLookAndFeel.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "controls/StereoSpectralAnalyzer.h"
#include "effects/core/PanelKnobTable.h"
#include "effects/delayverb/DelayPanXYPad.h"
#include "effects/delayverb/DelayVerbProcessor.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>
#include <functional>

/** Effect 2 of the chain: a tempo-syncable stereo delay beside a reverb, each with its own left
    and right mix, an XY pad for the echoes' pan and ping-pong and a spectrum of the output.

    The panel is the face: its knobs mirror into the processor's parameters on every change,
    and `process` forwards to the processor it owns. The fields other parts write (`bpm`,
    `delayPan`, `pingPong`, the offsets, the toggles) are the processor's own atomics. */
class DelayVerb : public juce::Component,
                  private juce::Timer,
                  private DelayVerbProcessor::OutputTap
{
    DelayVerbProcessor processor;   // first: the fields below refer into it

public:
    using Knob = RightClickSlider;
    static constexpr int numKnobs = DelayVerbParameters::numKnobs;

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit DelayVerb (GreenHeadsUpDisplay* hudToFeed);
    ~DelayVerb() override;

    /** Device thread, no block in flight: sizes the lines (keeping what they hold). */
    void prepare (double newSampleRate);

    DelayVerbProcessor& getProcessor() noexcept { return processor; }

    /** Processes the whole buffer in place (audio thread); returns at once while bypassed. */
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    float getDelayLeftMix() const noexcept    { return processor.getDelayLeftMix(); }
    float getDelayRightMix() const noexcept   { return processor.getDelayRightMix(); }
    float getReverbLeftMix() const noexcept   { return processor.getReverbLeftMix(); }
    float getReverbRightMix() const noexcept  { return processor.getReverbRightMix(); }
    float getSyncedDelayMs() const noexcept   { return processor.getSyncedDelayMs(); }
    bool isActive() const noexcept            { return processor.isActive(); }
    double getSampleRate() const noexcept     { return processor.getSampleRate(); }

    /** The 24 regular knobs, TIME to R DUCK, without NOTE and TYPE. */
    std::array<Knob*, numKnobs> getAllKnobs() noexcept;
    Knob* findKnob (const juce::String& caption) noexcept;

    static const std::array<PanelKnobSpec, numKnobs>& knobTable() noexcept { return DelayVerbParameters::knobTable(); }

    //==============================================================================
    DelayVerbParameters& parameters = processor.parameters;

    /** The randomiser's targets: [0] time ms, [1] feedback, [2] delay mix, [3] reverb mix. */
    std::array<std::atomic<float>, 4>& randomiserOffsetTargets = parameters.randomiserOffsetTargets;

    /** Written by the Korrupt engine and the ToneMax coupling: [0] time ms, [1] feedback,
        [2] reverb mix, [3] delay mix; the last writer wins. */
    std::array<std::atomic<float>, 4>& korruptOffsets = parameters.korruptOffsets;

    std::atomic<bool>& bypassed = parameters.bypassed;
    std::atomic<bool>& syncEnabled = parameters.syncEnabled;
    std::atomic<float>& bpm = parameters.bpm;

    /** The XY pad's position: pan of the delayed signal -1..1 and the ping-pong amount 0..1. */
    std::atomic<float>& delayPan = parameters.delayPan;
    std::atomic<float>& pingPong = parameters.pingPong;

    KnobInfoMap knobInfo;

    SilverKnobLookAndFeel silverLookAndFeel;
    NeonGreenKnobLookAndFeel neonGreenLookAndFeel;

    juce::Label hoverLabel;
    juce::TextButton bypassButton { "BYPASS" }, hudButton { "HUD" }, syncButton { "SYNC" };

    StereoSpectralAnalyzer spectrumAnalyzer;
    DelayPanXYPad panPad;

    Knob noteKnob, typeKnob;
    std::array<Knob, numKnobs> knobs;
    Knob& timeKnob = knobs[DelayVerbParameters::time];
    Knob& feedbackKnob = knobs[DelayVerbParameters::feedback];
    Knob& delayLeftKnob = knobs[DelayVerbParameters::delayLeft];
    Knob& delayRightKnob = knobs[DelayVerbParameters::delayRight];
    Knob& reverbLeftKnob = knobs[DelayVerbParameters::reverbLeft];
    Knob& reverbRightKnob = knobs[DelayVerbParameters::reverbRight];

    /** Whether a knob counts as hovered: visible and under the mouse or being dragged. Tests
        replace it to stand in for the pointer. */
    std::function<bool (const juce::Component&)> isHovered;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

    /** Hands the knob under the mouse to the heads-up display; leaves it alone otherwise. */
    void updateHud();

    /** Writes the knob under the mouse into the hover label; leaves it alone otherwise. */
    void updateHoverLabel();

private:
    void outputBlock (const float* left, const float* right, int numSamples) noexcept override;
    void setUpButtons();
    void updateSyncVisibility();
    bool hovered (const juce::Component& c) const;

    GreenHeadsUpDisplay* hud = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DelayVerb)
};
