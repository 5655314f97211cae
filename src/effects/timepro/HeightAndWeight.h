#pragma once

#include "effects/core/PanelKnobTable.h"
#include "effects/core/ProcessorPanel.h"
#include "effects/timepro/HeightAndWeightProcessor.h"

#include <array>
#include <atomic>

/** Effect 5 of the chain, shown as "TIMEPRO": twelve alternative time effects (micro-pitch,
    granular, half-time, repeat, gate, reverse, stretch, tape stop, vinyl brake, slicer, stutter
    ramp, backspin), one at a time, with a global OUT and MIX. The mode kernels are a later
    addition: for now every block passes through unchanged, while the panel, its 37 knobs, mode
    selection, neutral reset and the fields other parts write already exist. */
class HeightAndWeight : public ProcessorPanel<HeightAndWeightProcessor>
{
public:
    using Knob = RightClickSlider;
    static constexpr int numKnobs = 37;
    static constexpr int numModes = 12;

    enum Mode
    {
        microPitchMode = 0, granularMode, halfTimeMode, repeatMode, gateMode, reverseMode, stretchMode,
        tapeStopMode, vinylBrakeMode, slicerMode, stutterRampMode, backspinMode
    };

    struct KnobRow
    {
        PanelKnobSpec spec;
        double neutral;
    };

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit HeightAndWeight (MagentaHeadsUpDisplay* hudToFeed);

    /** Processes the samples in place by the current mode (audio thread); returns at once
        while bypassed. */
    void process (float* left, float* right, int numSamples) noexcept;

    /** 0..11 selects a mode and shows its controls; any other value hides every section. */
    void setMode (int newMode);
    int getMode() const noexcept { return mode.load (std::memory_order_relaxed); }

    /** Hides the 36 knobs other than the global MIX, and TAPE, FREEZE, TRIGGER and LATCH. */
    void hideSectionControls();

    /** Every knob to its neutral value (asynchronous notification); trigger and latch off. */
    void resetToNeutral();

    /** Knobs 0 to 35 (the global MIX is not among them). */
    std::array<Knob*, numKnobs - 1> getAllKnobs() noexcept;

    static const std::array<KnobRow, numKnobs>& knobTable() noexcept;

    //==============================================================================
    std::atomic<bool>& bypassed = processor.parameters.bypassed;
    std::atomic<bool> tempoSyncEnabled { false };
    std::atomic<float> bpm { 120.0f };
    std::atomic<bool> tapeMode { true };
    std::atomic<bool> frozen { false };
    std::atomic<bool> triggered { false };
    bool latched = false;

    std::array<Knob, numKnobs> knobs;
    Knob& halfTimeKnob     = knobs[10];
    Knob& halfSmoothKnob   = knobs[11];
    Knob& halfTransKnob    = knobs[12];
    Knob& halfCharKnob     = knobs[13];
    Knob& halfMixKnob      = knobs[14];
    Knob& repeatLengthKnob = knobs[15];
    Knob& repeatRateKnob   = knobs[16];
    Knob& repeatFadeKnob   = knobs[17];
    Knob& repeatDecayKnob  = knobs[18];
    Knob& repeatMixKnob    = knobs[19];
    Knob& outputKnob       = knobs[35];
    Knob& mixKnob          = knobs[36];

    juce::Label hoverLabel;
    std::array<juce::TextButton, numModes> modeButtons;
    juce::TextButton bypassButton { "BYPASS" }, hudButton { "HUD" }, syncButton { "SYNC" },
                     tapeButton { "TAPE" }, freezeButton { "FREEZE" }, triggerButton { "TRIGGER" },
                     latchButton { "LATCH" };
    KnobInfoMap knobInfo;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    MagentaHeadsUpDisplay* hud = nullptr;
    std::atomic<int> mode { -1 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HeightAndWeight)
};
