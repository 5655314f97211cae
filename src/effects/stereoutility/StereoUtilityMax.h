#pragma once

#include "controls/NeonGreenKnobLookAndFeel.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "controls/StereoSpectralAnalyzer.h"
#include "effects/core/PanelKnobTable.h"
#include "effects/core/ProcessorPanel.h"
#include "effects/stereoutility/StereoUtilityMaxProcessor.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>
#include <functional>

/** Effect 1 of the chain: the stereo-image tool box (band widths, mid/side, balance, delays,
    phase, pitch spread, chorus, decorrelation and reflections) with a wet amount per channel.

    The panel is the face: its knobs mirror into the processor's parameters on every change,
    process() forwards to the processor it owns, and the fields other parts write are the
    processor's own atomics under the names they have always had. */
class StereoUtilityMax : public ProcessorPanel<StereoUtilityMaxProcessor>,
                         private StereoUtilityMaxProcessor::OutputTap
{
public:
    using Knob = RightClickSlider;
    using Parameters = StereoUtilityMaxParameters;
    static constexpr int numKnobs = Parameters::numKnobs;

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit StereoUtilityMax (HeadsUpDisplay* hudToFeed);
    ~StereoUtilityMax() override;

    /** Device thread, no block in flight: sizes every line for the rate and clears them. */
    void prepare (double newSampleRate);

    /** Processes the whole buffer in place (audio thread); returns at once while bypassed. */
    void process (juce::AudioBuffer<float>& buffer) noexcept;

    /** Every knob back to its start value (asynchronous notification), mix knobs first so the
        effect leaves the chain before anything else moves; BYPASS, SYNC, the display and all
        offsets stay. */
    void resetToNeutral();

    std::array<Knob*, numKnobs> getAllKnobs() noexcept;
    Knob* findKnob (const juce::String& caption) noexcept;
    Knob& knob (Parameters::Knob k) noexcept { return knobs[(size_t) k]; }

    static const std::array<PanelKnobSpec, numKnobs>& knobTable() noexcept { return Parameters::knobTable(); }

    //==============================================================================
    // The parameter randomiser's stereo-group targets and the offsets the processing has
    // smoothed toward them so far, in knob units.
    std::atomic<float>& randomWidthTarget = processor.parameters.randomWidthTarget;
    std::atomic<float>& randomBalanceTarget = processor.parameters.randomBalanceTarget;
    std::atomic<float>& randomMixTarget = processor.parameters.randomMixTarget;
    std::atomic<float>& randomWidthOffset = processor.randomWidthOffset;
    std::atomic<float>& randomBalanceOffset = processor.randomBalanceOffset;
    std::atomic<float>& randomMixOffset = processor.randomMixOffset;

    // Written by the Korrupt engine and the ToneMax coupling, in knob units; the last writer wins.
    std::atomic<float>& modWidthOffset = processor.parameters.modWidthOffset;
    std::atomic<float>& modRotationOffset = processor.parameters.modRotationOffset;
    std::atomic<float>& modBalanceOffset = processor.parameters.modBalanceOffset;
    std::atomic<float>& modMixOffset = processor.parameters.modMixOffset;

    std::atomic<bool>& bypassed = processor.parameters.bypassed;
    std::atomic<bool> syncEnabled { false };   // shown only: no stage follows the tempo
    std::atomic<float> bpm { 120.0f };

    SilverKnobLookAndFeel silverLookAndFeel;
    NeonGreenKnobLookAndFeel neonGreenLookAndFeel;
    KnobInfoMap knobInfo;

    juce::Label hoverLabel;
    juce::TextButton bypassButton { "BYPASS" }, hudButton { "HUD" }, syncButton { "SYNC" };
    StereoSpectralAnalyzer spectrumAnalyzer;

    std::array<Knob, numKnobs> knobs;
    Knob& widthKnob = knobs[(size_t) Parameters::Knob::width];
    Knob& balanceKnob = knobs[(size_t) Parameters::Knob::balance];
    Knob& trimKnob = knobs[(size_t) Parameters::Knob::trim];
    Knob& leftMixKnob = knobs[(size_t) Parameters::Knob::leftMix];
    Knob& rightMixKnob = knobs[(size_t) Parameters::Knob::rightMix];
    Knob& rotationKnob = knobs[(size_t) Parameters::Knob::rotation];

    /** Whether a knob counts as hovered: visible and under the mouse or being dragged. Tests
        replace it to stand in for the pointer. */
    std::function<bool (const juce::Component&)> isHovered;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

    /** Hands the knob under the mouse to the heads-up display; leaves it alone otherwise. */
    void updateHudInfo();

    /** Writes the knob under the mouse into the hover label; leaves it alone otherwise. */
    void updateHoverLabel();

private:
    void outputBlock (const float* left, const float* right, int numSamples) noexcept override;
    void setUpButtons();
    Knob* hoveredKnob();

    HeadsUpDisplay* hud = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StereoUtilityMax)
};
