#pragma once

#include "controls/NeonGreenKnobLookAndFeel.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "effects/core/PanelKnobTable.h"
#include "effects/core/ProcessorPanel.h"
#include "effects/timepro/HeightAndWeightProcessor.h"

#include <array>
#include <atomic>
#include <functional>

/** Effect 5 of the chain, shown as "TIMEPRO": twelve alternative time effects (micro-pitch,
    granular, half-time, repeat, gate, reverse, stretch, tape stop, vinyl brake, slicer, stutter
    ramp, backspin), one at a time, with a global OUT and MIX.

    The panel is the face: its knobs mirror into the processor's parameters on every change, the
    flags other parts write are the processor's own atomics, and `process` forwards to the
    processor it owns. Only the controls of the chosen mode are shown. */
class HeightAndWeight : public ProcessorPanel<HeightAndWeightProcessor>
{
public:
    using Knob = RightClickSlider;
    using Parameters = HeightAndWeightParameters;
    static constexpr int numKnobs = Parameters::numKnobs;
    static constexpr int numModes = 12;

    enum Mode
    {
        microPitchMode = 0, granularMode, halfTimeMode, repeatMode, gateMode, reverseMode, stretchMode,
        tapeStopMode, vinylBrakeMode, slicerMode, stutterRampMode, backspinMode
    };

    using KnobRow = Parameters::KnobRow;

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit HeightAndWeight (MagentaHeadsUpDisplay* hudToFeed);
    ~HeightAndWeight() override;

    /** Processes the samples in place by the current mode (audio thread); returns at once
        while bypassed. */
    void process (float* left, float* right, int numSamples) noexcept;

    /** 0..11 selects a mode and shows its controls; any other value hides every section. */
    void setMode (int newMode);
    int getMode() const noexcept { return processor.parameters.mode.load (std::memory_order_relaxed); }

    /** Hides the 36 knobs other than the global MIX, and TAPE, FREEZE, TRIGGER and LATCH. */
    void hideSectionControls();

    /** Every knob to its neutral value (asynchronous notification); trigger and latch off. */
    void resetToNeutral();

    /** Knobs 0 to 35 (the global MIX is not among them). */
    std::array<Knob*, numKnobs - 1> getAllKnobs() noexcept;

    static const std::array<KnobRow, numKnobs>& knobTable() noexcept { return Parameters::knobTable(); }

    /** The heads-up display's name for a mode: empty for the borrowed-section modes and -1. */
    static juce::String hudModeName (int mode);

    //==============================================================================
    Parameters& parameters = processor.parameters;
    std::atomic<bool>& bypassed = parameters.bypassed;
    std::atomic<bool>& tempoSyncEnabled = parameters.tempoSyncEnabled;
    std::atomic<float>& bpm = parameters.bpm;
    std::atomic<bool>& frozen = parameters.frozen;
    std::atomic<bool>& triggered = parameters.triggered;

    // Set from TAPE (and later by the randomiser) and from LATCH; no sound reads either.
    std::atomic<bool> tapeMode { true };
    bool latched = false;

    SilverKnobLookAndFeel silverLookAndFeel;
    NeonGreenKnobLookAndFeel neonGreenLookAndFeel;
    KnobInfoMap knobInfo;

    juce::Label hoverLabel;
    std::array<juce::TextButton, numModes> modeButtons;
    juce::TextButton bypassButton { "BYPASS" }, hudButton { "HUD" }, syncButton { "SYNC" },
                     tapeButton { "TAPE" }, freezeButton { "FREEZE" }, triggerButton { "TRIGGER" },
                     latchButton { "LATCH" };

    std::array<Knob, numKnobs> knobs;
    Knob& microDetuneKnob  = knobs[Parameters::microDetune];
    Knob& microDelayKnob   = knobs[Parameters::microDelay];
    Knob& grainSizeKnob    = knobs[Parameters::grainSize];
    Knob& halfTimeKnob     = knobs[Parameters::halfTime];
    Knob& halfSmoothKnob   = knobs[Parameters::halfSmooth];
    Knob& halfTransKnob    = knobs[Parameters::halfTrans];
    Knob& halfCharKnob     = knobs[Parameters::halfChar];
    Knob& halfMixKnob      = knobs[Parameters::halfMix];
    Knob& repeatLengthKnob = knobs[Parameters::repeatLength];
    Knob& repeatRateKnob   = knobs[Parameters::repeatRate];
    Knob& repeatFadeKnob   = knobs[Parameters::repeatFade];
    Knob& repeatDecayKnob  = knobs[Parameters::repeatDecay];
    Knob& repeatMixKnob    = knobs[Parameters::repeatMix];
    Knob& stretchOverlapKnob = knobs[Parameters::stretchOverlap];
    Knob& outputKnob       = knobs[Parameters::outputLevel];
    Knob& mixKnob          = knobs[Parameters::globalMix];

    /** Whether a knob counts as hovered: visible and under the mouse or being dragged. Tests
        replace it to stand in for the pointer. */
    std::function<bool (const juce::Component&)> isHovered;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

    /** Hands the knob under the mouse, or the idle texts, to the heads-up display. */
    void updateHud();

    /** Writes the knob under the mouse into the hover label; leaves it alone otherwise. */
    void updateHoverLabel();

private:
    void setUpButtons();
    Knob* hoveredKnob();

    MagentaHeadsUpDisplay* hud = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HeightAndWeight)
};
