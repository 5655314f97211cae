#pragma once

#include <juce_graphics/juce_graphics.h>

/** The arithmetic of the main window's housekeeping tick, kept apart from the component so that
    each step can be checked on its own. Message thread only. */
namespace MainTimerSteps
{
    inline constexpr int normalPeriodMs = 33;
    inline constexpr int meterPeriodMs = 50;

    inline constexpr juce::uint32 presetSavedColour = 0xff32cd32;
    inline constexpr juce::uint32 presetLoadedColour = 0xff00ffff;
    inline constexpr juce::uint32 presetNormalColour = 0xff87ceeb;
    inline constexpr juce::uint32 midiLampOnColour = 0xff00ff00;
    inline constexpr juce::uint32 midiLampOffColour = 0xff333344;

    /** The METER readout refreshes more slowly so that its text can be read. */
    constexpr int periodMs (bool meterOn) noexcept { return meterOn ? meterPeriodMs : normalPeriodMs; }

    /** Ends the preset button's success colour after 16 ticks of it. */
    class PresetFlash
    {
    public:
        /** One tick with the button's current colour; true when it must go back to normal now. */
        bool tick (juce::Colour current) noexcept;

        int ticks() const noexcept { return count; }

    private:
        int count = 0;
    };

    /** The FREEZE pulse: the phase after one tick, and the button colour for a phase. */
    float nextFreezePhase (float phase) noexcept;
    juce::Colour freezeColour (float phase) noexcept;

    struct GlideStep
    {
        float value;
        bool finished;
    };

    /** One tick (1/30 s) of the pitch glide toward target at ratePerSecond octaves a second. */
    GlideStep pitchGlideStep (float value, float target, float ratePerSecond) noexcept;

    /** The MIDI activity lamp: lit by activity, dark again three ticks after the last of it. */
    class MidiLamp
    {
    public:
        enum class Change { none, lightOn, lightOff };

        Change tick (bool activitySeen) noexcept;

        int countdown() const noexcept { return ticksLeft; }

    private:
        int ticksLeft = 0;
    };

    /** The METER caption for the block peaks: "-6.0dB" style, or "-INF" below -80 dB. */
    juce::String meterCaption (float peakLeft, float peakRight);
}
