#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "controls/ParamSlider.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "controls/WaveformView.h"

#include <array>
#include <functional>

class TavroFinalizer;

/** The finalizer's compact face in the main window: tone, band, stereo and character
    controls over the same TavroFinalizer object, its own view of the main file with the
    finalizer's analysis on it, the stereo width scope and the signal-character text. */
class FinalizerPanel : public juce::Component,
                       private juce::Timer
{
public:
    /** The look of the HUD and BYPASS switches: brushed metal, dark and lit when on. */
    class MetallicButtonLookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                   bool highlighted, bool down) override;
        void drawButtonText (juce::Graphics& g, juce::TextButton& button, bool highlighted, bool down) override;
    };

    /** The stereo image as a triangle: height from the mid level, opening from the side level
        and width, skewed by the asymmetry and turned by the rotation. Paints only the display
        values, which the panel's timer eases toward the targets. */
    class StereoWidthScope : public juce::Component
    {
    public:
        enum Value { midLevel, sideLevel, width, asymmetry, rotation };

        std::array<float, 5> targetValues { 0.5f, 0.5f, 1.0f, 0.0f, 0.0f };
        std::array<float, 5> displayValues { 0.5f, 0.5f, 1.0f, 0.0f, 0.0f };

        struct Colours { juce::Colour fillStart, fillEnd, outline; };
        /** The triangle's colours for the given display values. */
        static Colours coloursFor (const std::array<float, 5>& values);

        struct Badge { juce::String label, value; bool highlighted; juce::Colour colour; };
        /** The four readouts W, A, R and S, in that order. */
        static std::array<Badge, 4> badgesFor (const std::array<float, 5>& values);

        void paint (juce::Graphics& g) override;

    private:
        static void drawScopeBadge (juce::Graphics& g, int x, int y, const Badge& badge);
    };

    /** The "SIGNAL CHARACTER" text. */
    class AIMsgPanel : public juce::Component
    {
    public:
        juce::String text { "Analyzing..." };

        /** Stores and repaints only a text that differs from the shown one; true when it did. */
        bool setText (const juce::String& newText);
        /** How often the shown text changed. */
        int textChanges = 0;

        void paint (juce::Graphics& g) override;
    };

    explicit FinalizerPanel (TavroFinalizer* finalizerToSteer);
    ~FinalizerPanel() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    /** Play head, analysis markers, scope and text; every 33 ms. */
    void timerCallback() override;

    /** Called by the HUD button with its new toggle state. */
    std::function<void (bool)> onHudToggled;
    /** The same callback under the name the main window's code uses. */
    std::function<void (bool)>& onHudToggle = onHudToggled;

    /** Set once the main file has been handed to this panel's waveform view. */
    bool slavedToMain = false;

    MetallicButtonLookAndFeel metallicLookAndFeel;

private:
    TavroFinalizer* const finalizer;

public:
    juce::Label titleLabel;
    juce::Label statusLabel;
    ParamSlider subKnob, bodyKnob, presenceKnob, airKnob, tameKnob, tiltKnob;
    SilverKnobLookAndFeel knobLookAndFeel;
    StereoWidthScope widthScope;
    std::array<ParamSlider, 6> bandWidthKnobs;
    std::array<ParamSlider, 6> bandDriveKnobs;
    std::array<juce::ComboBox, 6> bandModeBoxes;
    const std::array<juce::String, 6> bandNames { "SUB", "LOW", "LO-MID", "MID", "HI-MID", "HIGH" };
    juce::Label widthLabel, distLabel, atomizeLabel;
    ParamSlider densityKnob, articKnob, residueKnob, motionKnob, aboveKnob, belowKnob;
    ParamSlider leftMixKnob, rightMixKnob, widthKnob, asymKnob, rotateKnob;
    AIMsgPanel messagePanel;
    juce::TextButton hudButton { "HUD" };
    juce::TextButton bypassButton { "BYPASS" };

    /** The panel's own view of the main file. */
    WaveformView waveformView;

    std::array<ParamSlider*, 6> toneKnobs() noexcept { return { &subKnob, &bodyKnob, &presenceKnob, &airKnob, &tameKnob, &tiltKnob }; }

private:
    void buildToneKnobs();
    void buildBandSection();
    void buildCharacterKnobs();
    void buildButtons();
    void styleKnob (juce::Slider& knob, const juce::String& caption, double min, double max, double step, double doubleClickValue);
    void refreshScopeLevels();
    void dropAnalysisMarkers (double positionSeconds);
    void layoutBottomRegion (int innerWidth, int remainingHeight);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FinalizerPanel)
};
