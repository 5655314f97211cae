#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>

/** A knob's timed move from one value to another, in seconds of play time. */
struct SliderRamp
{
    double startValue = 0.0;
    double targetValue = 0.0;
    double startTime = 0.0;
    double endTime = 0.0;
    bool active = false;
    juce::String suffix;    // the knob's unit when the ramp was made; kept for the record only
};

/** The one process-wide map from a slider to its ramp. Message thread only: the audio thread
    never reads it, so it needs no lock. */
class SliderRampRegistry
{
public:
    using Map = std::map<juce::Slider*, SliderRamp>;

    /** The single instance; built on first use and kept until process exit. */
    static SliderRampRegistry& getInstance();

    /** The slider's ramp, or null when it has none. */
    const SliderRamp* find (const juce::Slider* slider) const;

    /** True when the slider has an entry whose ramp is active. */
    bool isAutomated (const juce::Slider* slider) const;

    /** Creates the slider's entry or replaces every field of the one it has. */
    void setRamp (juce::Slider* slider, const SliderRamp& ramp);

    void erase (const juce::Slider* slider);
    void clear();

    size_t size() const noexcept    { return ramps.size(); }
    bool isEmpty() const noexcept   { return ramps.empty(); }

    /** Entries in key order, as the ramp playback walks them. */
    const Map& entries() const noexcept { return ramps; }

private:
    SliderRampRegistry() = default;

    Map ramps;

    JUCE_DECLARE_NON_COPYABLE (SliderRampRegistry)
};
