#pragma once

#include "controls/HeadsUpDisplay.h"
#include "controls/NeonGreenKnobLookAndFeel.h"
#include "controls/RightClickSlider.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "effects/distortion/DistortionSuiteProcessor.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>

/** Effect 0 of the chain: the face of the Distortion Suite, whose sound is the
    DistortionSuiteProcessor it owns. Each knob mirrors into the processor's parameter of the
    same place, so the processor sees a knob move at its next block.

    Threads: the panel, its knobs and setMode live on the message thread. process() forwards to
    the processor on the audio thread; the offset fields and the bypass flag are the processor's
    own atomics under their old names. */
class DistortionSuite : public juce::Component,
                        private juce::Timer
{
public:
    using Knob = RightClickSlider;

    enum Mode
    {
        distorterMode = DistortionSuiteProcessor::distorterMode,
        bitcrushMode = DistortionSuiteProcessor::bitcrushMode,
        kompressorMode = DistortionSuiteProcessor::kompressorMode
    };

    /** The display may be null; it is not owned and must outlive the panel. */
    explicit DistortionSuite (PurpleHeadsUpDisplay* hudToFeed);
    ~DistortionSuite() override;

    //==============================================================================
    /** Stores the rate the processing uses; leaves every filter and envelope as it is. */
    void prepare (double newSampleRate) noexcept { processor.setSampleRate (newSampleRate); }
    void setSampleRate (double newSampleRate) noexcept { prepare (newSampleRate); }
    double getSampleRate() const noexcept { return processor.getSampleRate(); }

    /** Processes the block in place (audio thread). Returns at once while bypassed. */
    void process (juce::AudioBuffer<float>& buffer) noexcept { processor.process (buffer, 0, buffer.getNumSamples()); }

    /** The sound of this panel, for the chain's table of processors. */
    DistortionSuiteProcessor& getProcessor() noexcept { return processor; }

    /** 0 Distorter, 1 Bitcrush, 2 Kompressor; any other value shows the Kompressor knobs and
        runs no kernel. Message thread. */
    void setMode (int newMode);
    int getMode() const noexcept { return processor.getMode(); }

    /** Bypass as the BYPASS button sets it; setBypassed keeps the button in step. */
    bool isBypassed() const noexcept { return processor.parameters.bypassed.load (std::memory_order_relaxed); }
    void setBypassed (bool shouldBeBypassed);

    /** The chain's activity test: not bypassed and the MIX knob itself above 0.01 (offsets do
        not count). Safe on any thread. */
    bool isActive() const noexcept { return processor.isActive(); }

    /** The 31 knobs in the order the heads-up feed and the hover label search them. */
    std::array<Knob*, 31> getAllKnobs() noexcept;

    /** The knob with this caption, or null. */
    Knob* findKnob (const juce::String& caption) noexcept;

    /** The smoothed randomiser offsets; owned by the audio thread (read them only while no
        block is being processed). */
    float getRandomiserOffset (int index) const noexcept { return processor.getRandomiserOffset (index); }

private:
    // First, so that it outlives the knobs that mirror into it.
    DistortionSuiteProcessor processor;

public:
    //==============================================================================
    /** Written by the Korrupt engine (tick and audio push) and the ToneMax coupling; the last
        writer wins. [0] drive offset, [1] bit-depth offset (nothing reads it), [2] mix floor in %. */
    std::array<std::atomic<float>, 3>& korruptOffsets = processor.parameters.korruptOffsets;

    /** Targets of the parameter randomiser's crush group, approached by 0.001 of the remaining
        distance per processed block. [0] drive, [1] second offset (feeds nothing), [2] mix floor %. */
    std::array<std::atomic<float>, 3>& randomiserOffsetTargets = processor.parameters.randomiserOffsetTargets;

    /** Written by the BYPASS button (and setBypassed); process() returns at once while set. */
    std::atomic<bool>& bypassed = processor.parameters.bypassed;

private:
    // Declared before every child so that they outlive the knobs and buttons that use them.
    SilverKnobLookAndFeel silverLookAndFeel;
    NeonGreenKnobLookAndFeel neonGreenLookAndFeel;

public:
    //==============================================================================
    // Knobs: IN to WIDE in the first array, THRS to SHPE in the second.
    std::array<Knob, 20> mainKnobs;
    std::array<Knob, 11> kompressorKnobs;

    Knob& inKnob    = mainKnobs[0];
    Knob& driveKnob = mainKnobs[1];
    Knob& mixKnob   = mainKnobs[2];
    Knob& outKnob   = mainKnobs[3];
    Knob& symKnob   = mainKnobs[4];
    Knob& offsKnob  = mainKnobs[5];
    Knob& edgeKnob  = mainKnobs[6];
    Knob& kneeKnob  = mainKnobs[7];
    Knob& evenKnob  = mainKnobs[8];
    Knob& oddKnob   = mainKnobs[9];
    Knob& hpfKnob   = mainKnobs[10];
    Knob& presKnob  = mainKnobs[11];
    Knob& bitsKnob  = mainKnobs[12];
    Knob& rateKnob  = mainKnobs[13];
    Knob& jitrKnob  = mainKnobs[14];
    Knob& dthrKnob  = mainKnobs[15];
    Knob& filtKnob  = mainKnobs[16];
    Knob& resKnob   = mainKnobs[17];
    Knob& drftKnob  = mainKnobs[18];
    Knob& wideKnob  = mainKnobs[19];

    Knob& thrsKnob  = kompressorKnobs[0];
    Knob& ratKnob   = kompressorKnobs[1];
    Knob& atkKnob   = kompressorKnobs[2];
    Knob& relKnob   = kompressorKnobs[3];
    Knob& mkupKnob  = kompressorKnobs[4];
    Knob& satKnob   = kompressorKnobs[5];
    Knob& schpKnob  = kompressorKnobs[6];
    Knob& sclpKnob  = kompressorKnobs[7];
    Knob& linkKnob  = kompressorKnobs[8];
    Knob& limKnob   = kompressorKnobs[9];
    Knob& shpeKnob  = kompressorKnobs[10];

    juce::TextButton bypassButton { "BYPASS" };
    juce::TextButton hudButton { "HUD" };
    juce::Label hoverLabel;

    /** Name, unit and description of every knob, as the heads-up display shows them. */
    KnobInfoMap knobInfo;

    //==============================================================================
    void paint (juce::Graphics& g) override;
    void resized() override;

    /** Feeds the heads-up display with the knob under the mouse (timer). */
    void updateHud();

    /** Shows the knob under the mouse in the hover label (timer). */
    void updateHoverLabel();

    /** The 33 ms tick; public so tests can drive it without a running message loop. */
    void timerCallback() override;

    /** Text of the hover label for a knob: "DRIVE: 1.00 / 16". */
    static juce::String hoverText (const juce::Slider& knob);

    /** Value text of the heads-up display for a knob: one decimal, no unit ("16.0"). */
    static juce::String hudValueText (const juce::Slider& knob);

    /** Title of the heads-up display for a mode: "DISTORTER", "BITCRUSH", "KOMPRESSOR", else
        "DISTORTION SUITE". */
    static juce::String hudTitle (int mode);

protected:
    /** The knob the heads-up feed and the hover label take: under the mouse or being dragged. */
    virtual bool isKnobUnderMouse (const Knob& knob) const;

private:
    void setUpKnobs();
    void toggleHud();
    Knob* visibleKnobUnderMouse();

    PurpleHeadsUpDisplay* hud = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DistortionSuite)
};
