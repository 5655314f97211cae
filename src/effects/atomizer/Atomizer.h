#pragma once

#include "effects/atomizer/AtomizerProcessor.h"
#include "effects/core/PanelKnobTable.h"
#include "effects/core/ProcessorPanel.h"

#include <array>
#include <atomic>
#include <vector>

/** Effect 3 of the chain: the stereo exciter (dynamics, sub oscillator, harmonic exciter,
    flanger, scoop, air and multiband compression) with separate left and right mixes. The
    stages are a later addition: for now every block passes through unchanged, while the panel,
    its 18 knobs, buttons, delay lines and the fields other parts write already exist. */
class Atomizer : public ProcessorPanel<AtomizerProcessor>
{
public:
    using Knob = RightClickSlider;
    static constexpr int numKnobs = 18;

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit Atomizer (OrangeHeadsUpDisplay* hudToFeed);

    /** Processes the samples in place (audio thread); returns at once while bypassed. */
    void process (float* left, float* right, int numSamples) noexcept;

    std::array<Knob*, numKnobs> getAllKnobs() noexcept;
    Knob* findKnob (const juce::String& caption) noexcept;

    static const std::array<PanelKnobSpec, numKnobs>& knobTable() noexcept;

    size_t getDelayLineLength() const noexcept { return processor.getDelayLineLength(); }

    //==============================================================================
    /** The randomiser's timing targets: [0] intensity, [1] feedback, [2] mix floor, in %. */
    std::array<std::atomic<float>, 3>& randomiserOffsetTargets = processor.parameters.randomiserOffsetTargets;

    /** Written by the Korrupt engine and the ToneMax coupling: [0] added to INTNS, [1] added to
        FDBK, [2] mix floor; the last writer wins. */
    std::array<std::atomic<float>, 3>& korruptOffsets = processor.parameters.korruptOffsets;

    std::atomic<bool>& bypassed = processor.parameters.bypassed;
    std::atomic<bool> sync { false };
    std::atomic<float> tempoBpm { 120.0f };

    std::array<Knob, numKnobs> knobs;
    Knob& intensityKnob = knobs[0];
    Knob& leftMixKnob = knobs[2];
    Knob& rightMixKnob = knobs[3];
    Knob& feedbackKnob = knobs[8];

    juce::Label hoverLabel;
    juce::TextButton bypassButton { "BYPASS" }, hudButton { "HUD" }, syncButton { "SYNC" };
    KnobInfoMap knobInfo;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    OrangeHeadsUpDisplay* hud = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Atomizer)
};
