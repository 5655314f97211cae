#pragma once

#include "effects/core/PanelKnobTable.h"
#include "effects/core/ProcessorPanel.h"
#include "effects/stereoutility/StereoUtilityMaxProcessor.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>

/** Effect 1 of the chain: the stereo-image tool box (band widths, mid/side, balance, delays,
    phase, pitch spread, chorus, decorrelation and reflections) with a wet amount per channel.
    The signal stages are a later addition: for now every block passes through unchanged,
    while the panel, its 35 knobs, buttons and the fields other parts write already exist.

    The panel owns the processor; its knobs mirror into the processor's parameters and the
    fields below are the processor's own atomics. process() forwards to the processor. */
class StereoUtilityMax : public ProcessorPanel<StereoUtilityMaxProcessor>
{
public:
    using Knob = RightClickSlider;
    static constexpr int numKnobs = 35;

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit StereoUtilityMax (HeadsUpDisplay* hudToFeed);

    /** Processes the whole buffer in place (audio thread); returns at once while bypassed. */
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    /** Every knob back to its start value (asynchronous notification); BYPASS, SYNC, the
        display and all offsets stay. */
    void resetToNeutral();

    std::array<Knob*, numKnobs> getAllKnobs() noexcept;
    Knob* findKnob (const juce::String& caption) noexcept;

    static const std::array<PanelKnobSpec, numKnobs>& knobTable() noexcept;

    //==============================================================================
    // The parameter randomiser's stereo-group targets, in knob units.
    std::atomic<float>& randomWidthTarget = processor.parameters.randomWidthTarget;
    std::atomic<float>& randomBalanceTarget = processor.parameters.randomBalanceTarget;
    std::atomic<float>& randomMixTarget = processor.parameters.randomMixTarget;

    // Written by the Korrupt engine and the ToneMax coupling, in knob units; the last writer wins.
    std::atomic<float>& modWidthOffset = processor.parameters.modWidthOffset;
    std::atomic<float>& modRotationOffset = processor.parameters.modRotationOffset;
    std::atomic<float>& modBalanceOffset = processor.parameters.modBalanceOffset;
    std::atomic<float>& modMixOffset = processor.parameters.modMixOffset;

    std::atomic<bool>& bypassed = processor.parameters.bypassed;
    std::atomic<bool> syncEnabled { false };
    std::atomic<float> bpm { 120.0f };

    std::array<Knob, numKnobs> knobs;
    Knob& widthKnob = knobs[0];
    Knob& balanceKnob = knobs[1];
    Knob& leftMixKnob = knobs[4];
    Knob& rightMixKnob = knobs[5];
    Knob& rotationKnob = knobs[27];

    juce::Label hoverLabel;
    juce::TextButton bypassButton { "BYPASS" }, hudButton { "HUD" }, syncButton { "SYNC" };
    KnobInfoMap knobInfo;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    HeadsUpDisplay* hud = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StereoUtilityMax)
};
