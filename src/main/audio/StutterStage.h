#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>

/** Slice repeats from a two-second ring of the block's own output. No control switches it on
    in this system, so it is built and prepared but stays silent until something sets
    `stutterOn`, an amount and a slice length. */
class StutterStage
{
public:
    /** Device start: the ring is resized when the rate changed, then cleared; positions reset. */
    void prepare (double sampleRate);

    /** Message thread: the controls. */
    void setOn (bool shouldBeOn) noexcept          { stutterOn.store (shouldBeOn, std::memory_order_relaxed); }
    void setAmount (float amount) noexcept         { stutterAmount.store (amount, std::memory_order_relaxed); }
    void setSliceLength (int samples) noexcept     { stutterSliceLength.store (samples, std::memory_order_relaxed); }
    void setMode (int mode) noexcept               { stutterMode.store (mode, std::memory_order_relaxed); }

    /** Audio thread. */
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept;

    int getRingLength() const noexcept      { return stutterBuffer.getNumSamples(); }
    int getWritePosition() const noexcept   { return stutterWritePos; }
    int getSliceCount() const noexcept      { return stutterSliceCount; }

private:
    std::atomic<bool> stutterOn { false };
    std::atomic<float> stutterAmount { 0.0f };
    std::atomic<int> stutterSliceLength { 0 }, stutterMode { 0 };

    juce::AudioBuffer<float> stutterBuffer;
    int stutterWritePos = 0, stutterCounter = 0, stutterSliceCount = 0;
    float stutterRampFactor = 1.0f;
};
