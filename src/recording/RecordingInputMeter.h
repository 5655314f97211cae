#pragma once

#include "recording/CaptureMeterState.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The recording panel's two-channel input meter: left bar above right, each linear in
    amplitude with a decaying peak marker, and a clip lamp per channel. Its values are the
    atomics it inherits; the panel's timer repaints it when they changed. */
class RecordingInputMeter : public juce::Component,
                            public CaptureMeterState
{
public:
    void paint (juce::Graphics& g) override;

    /** One bar at (x, y, w, h): fill for the level, marker for the peak. */
    static void drawBar (juce::Graphics& g, int x, int y, int w, int h, float level, float peak);
};
