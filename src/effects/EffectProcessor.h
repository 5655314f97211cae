#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** The sound of one effect, apart from its panel.

    A processor owns every piece of sound state of its effect and nothing of its face: no
    component, no slider, no GUI header. Its panel (or a test, or a benchmark) publishes a plain
    parameter struct; the processor reads that once at the start of each block, so a block never
    sees half of one setting and half of the next.

    Threads: `prepare` and `reset` run while no block is in flight (the device thread's prepare
    step, or a test). `process` and `isActive` run on the audio thread: no allocation, no lock it
    could wait on, no file system, every output sample finite. `isActive` is also asked from the
    message thread, so it reads atomics only. */
class EffectProcessor
{
public:
    virtual ~EffectProcessor() = default;

    /** Sizes every buffer for blocks of up to `maximumBlockSize` samples and clears the state. */
    virtual void prepare (double sampleRate, int maximumBlockSize) = 0;

    /** Clears filter, delay and envelope state without touching the parameters. */
    virtual void reset() = 0;

    /** Processes `numSamples` samples from `startSample` of every channel in place. Longer
        stretches than prepared for are handled (in pieces if need be), never by growing storage. */
    virtual void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept = 0;

    /** The chain's activity test: whether running this effect would change the sound. */
    virtual bool isActive() const noexcept = 0;
};

/** Receives every block an effect has processed (a panel's spectrum display). Called on the
    audio thread with the processed left and right samples; must not allocate or wait. */
struct EffectOutputTap
{
    virtual ~EffectOutputTap() = default;
    virtual void outputBlock (const float* left, const float* right, int numSamples) noexcept = 0;
};

/** Runs `processor` on a left/right pair of sample pointers, for callers that hold pointers
    rather than a buffer. The same pointer twice is one channel. No allocation: the buffer only
    refers to the samples. */
inline void processStereoPointers (EffectProcessor& processor, float* left, float* right, int numSamples) noexcept
{
    if (left == nullptr || numSamples <= 0)
        return;

    float* channels[2] = { left, right != nullptr ? right : left };
    juce::AudioBuffer<float> view (channels, channels[1] == left ? 1 : 2, numSamples);
    processor.process (view, 0, numSamples);
}
