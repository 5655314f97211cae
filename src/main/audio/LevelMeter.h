#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>

/** Peak and RMS of the block as it leaves the transport, for the METER readout. The audio
    thread writes the values, the main timer reads them. */
class LevelMeter
{
public:
    void setEnabled (bool shouldMeasure) noexcept { enabled.store (shouldMeasure, std::memory_order_relaxed); }
    bool isEnabled() const noexcept               { return enabled.load (std::memory_order_relaxed); }

    /** Audio thread: measures the block while the meter is on. */
    void measure (const juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept;

    float getPeakLeft() const noexcept  { return peakLeft.load (std::memory_order_relaxed); }
    float getPeakRight() const noexcept { return peakRight.load (std::memory_order_relaxed); }
    float getRms() const noexcept       { return rms.load (std::memory_order_relaxed); }

private:
    std::atomic<bool> enabled { false };
    std::atomic<float> peakLeft { 0.0f }, peakRight { 0.0f }, rms { 0.0f };
};
