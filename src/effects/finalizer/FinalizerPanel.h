#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "controls/WaveformView.h"

#include <functional>

class TavroFinalizer;

/** The finalizer's compact face in the main window: tone, band, stereo and character
    controls over the same TavroFinalizer object. */
class FinalizerPanel : public juce::Component,
                       private juce::Timer
{
public:
    explicit FinalizerPanel (TavroFinalizer* finalizerToSteer);
    ~FinalizerPanel() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** Called by the HUD button with its new toggle state. */
    std::function<void (bool)> onHudToggled;
    /** The same callback under the name the main window's code uses. */
    std::function<void (bool)>& onHudToggle = onHudToggled;

    /** Set once the main file has been handed to this panel's waveform view. */
    bool slavedToMain = false;

    juce::Label titleLabel;
    juce::Label statusLabel;
    juce::TextButton hudButton { "HUD" };
    juce::TextButton bypassButton { "BYPASS" };

    /** The panel's own view of the main file. */
    WaveformView waveformView;

private:
    void timerCallback() override;

    TavroFinalizer* const finalizer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FinalizerPanel)
};
