#pragma once

#include "dsp/PodSnapshot.h"
#include "main/chain/RoutingState.h"

#include <juce_audio_basics/juce_audio_basics.h>

/** What the chain needs from whoever owns the nine effects. Both calls happen on the audio
    thread, so they must neither lock nor allocate. */
class EffectHost
{
public:
    virtual ~EffectHost() = default;

    virtual bool isEffectActive (int id) const noexcept = 0;

    /** Runs effect id in place on samples [startSample, startSample + numSamples) of every
        channel of buffer; unknown ids leave the block alone. */
    virtual void processEffect (int id, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept = 0;
};

/** A view of the first numChannels channels and numSamples samples of storage that starts at
    sample 0. Building one allocates nothing for up to 32 channels. */
juce::AudioBuffer<float> makeWorkView (juce::AudioBuffer<float>& storage, int numChannels, int numSamples) noexcept;

/** Lets an effect that wants a whole buffer starting at sample 0 work on any stretch of a
    block: the stretch is copied in, processed, and copied back. Copies honour JUCE's
    "cleared" flag in both directions, so a silent block reaches the effect as zeros and an
    effect that clears its buffer silences the stretch. */
class EffectScratch
{
public:
    /** Message or device thread: sizes the scratch storage. */
    void prepare (int numChannels, int maxSamples);

    int getMaxSamples() const noexcept { return storage.getNumSamples(); }

    template <typename ProcessFn>
    void run (juce::AudioBuffer<float>& buffer, int startSample, int numSamples, ProcessFn&& process) noexcept
    {
        const int channels = juce::jmin (buffer.getNumChannels(), storage.getNumChannels());
        const int capacity = storage.getNumSamples();

        if (numSamples <= 0 || channels <= 0 || capacity <= 0)
            return;

        // Longer stretches than prepared for go through in pieces rather than growing storage here.
        for (int done = 0; done < numSamples; done += capacity)
        {
            const int n = juce::jmin (capacity, numSamples - done);
            auto scratch = makeWorkView (storage, channels, n);

            for (int c = 0; c < channels; ++c)
                scratch.copyFrom (c, 0, buffer, c, startSample + done, n);

            process (scratch);

            for (int c = 0; c < channels; ++c)
                buffer.copyFrom (c, startSample + done, scratch, c, 0, n);
        }
    }

private:
    juce::AudioBuffer<float> storage;
};

/** Runs the effects in the routing that the message thread last published: Serial in the
    chosen order, Parallel as the mean of every active effect fed the same input, CustomPro as
    parallel inside each group and serial from group to group. */
class EffectChain
{
public:
    EffectChain();

    /** Device thread, no block in flight: sizes the work buffers. Blocks longer than
        maxBlockSamples are later processed in pieces. */
    void prepare (int numChannels, int maxBlockSamples);

    /** Message thread: the routing that the next block will use. */
    void publishRouting (const RoutingState& state) noexcept { snapshot.publish (state); }

    /** Audio thread: picks up the newest routing it can take without waiting, then runs it. */
    void process (EffectHost& host, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept;

    /** Audio thread: the routing the last block ran with. */
    const RoutingState& routingInUse() const noexcept { return snapshot.current(); }

    /** The three routings on their own, for one piece no longer than the prepared size. */
    void processSerial (const RoutingState& state, EffectHost& host, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept;
    void processParallel (EffectHost& host, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept;
    void processCustomProGroups (const RoutingState& state, EffectHost& host, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept;

    int getMaxBlockSamples() const noexcept { return inputStorage.getNumSamples(); }

private:
    /** Runs the active members of ids on one copy each of the block and writes their sum divided
        by divisor back; a divisor of 0 divides by the number that ran and leaves the block
        alone when none did. */
    template <typename IdRange>
    void mixActive (const IdRange& ids, int divisor, EffectHost& host, juce::AudioBuffer<float>& buffer,
                    int startSample, int numSamples) noexcept;

    PodSnapshot<RoutingState> snapshot;

    juce::AudioBuffer<float> inputStorage, mixStorage, effectStorage;
};
