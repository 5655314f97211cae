#include "main/chain/EffectChain.h"

juce::AudioBuffer<float> makeWorkView (juce::AudioBuffer<float>& storage, int numChannels, int numSamples) noexcept
{
    return juce::AudioBuffer<float> (storage.getArrayOfWritePointers(),
                                     juce::jmin (numChannels, storage.getNumChannels()),
                                     juce::jmin (numSamples, storage.getNumSamples()));
}

//==============================================================================
void EffectScratch::prepare (int numChannels, int maxSamples)
{
    storage.setSize (juce::jmax (1, numChannels), juce::jmax (1, maxSamples));
    storage.clear();
}

//==============================================================================
EffectChain::EffectChain()
    : snapshot (RoutingState {})
{
}

void EffectChain::prepare (int numChannels, int maxBlockSamples)
{
    const int channels = juce::jmax (1, numChannels);
    const int samples  = juce::jmax (1, maxBlockSamples);

    for (auto* b : { &inputStorage, &mixStorage, &effectStorage })
    {
        b->setSize (channels, samples);
        b->clear();
    }
}

void EffectChain::process (EffectHost& host, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    const auto& state = snapshot.acquire();
    const int capacity = getMaxBlockSamples();

    if (numSamples <= 0 || buffer.getNumChannels() <= 0 || capacity <= 0)
        return;

    for (int done = 0; done < numSamples; done += capacity)
    {
        const int n = juce::jmin (capacity, numSamples - done);

        switch (state.mode)
        {
            case RoutingMode::Parallel:  processParallel (host, buffer, startSample + done, n); break;
            case RoutingMode::Serial:    processSerial (state, host, buffer, startSample + done, n); break;
            case RoutingMode::CustomPro: processCustomProGroups (state, host, buffer, startSample + done, n); break;
            default: break;
        }
    }
}

void EffectChain::processSerial (const RoutingState& state, EffectHost& host, juce::AudioBuffer<float>& buffer,
                                 int startSample, int numSamples) noexcept
{
    for (auto id : state.serialOrder)
        if (host.isEffectActive (id))
            host.processEffect (id, buffer, startSample, numSamples);
}

template <typename IdRange>
void EffectChain::mixActive (const IdRange& ids, int divisor, EffectHost& host, juce::AudioBuffer<float>& buffer,
                             int startSample, int numSamples) noexcept
{
    const int channels = juce::jmin (buffer.getNumChannels(), inputStorage.getNumChannels());
    const int n = juce::jmin (numSamples, inputStorage.getNumSamples());

    auto input = makeWorkView (inputStorage, channels, n);
    auto mix = makeWorkView (mixStorage, channels, n);
    auto effect = makeWorkView (effectStorage, channels, n);

    for (int c = 0; c < channels; ++c)
        input.copyFrom (c, 0, buffer, c, startSample, n);

    mix.clear();
    int processed = 0;

    for (auto id : ids)
    {
        if (! host.isEffectActive (id))
            continue;

        ++processed;

        for (int c = 0; c < channels; ++c)
            effect.copyFrom (c, 0, input, c, 0, n);

        host.processEffect (id, effect, 0, n);

        for (int c = 0; c < channels; ++c)
            mix.addFrom (c, 0, effect, c, 0, n);
    }

    if (divisor <= 0)
        divisor = processed;

    if (divisor <= 0)
        return;

    mix.applyGain (1.0f / (float) divisor);

    for (int c = 0; c < channels; ++c)
        buffer.copyFrom (c, startSample, mix, c, 0, n);
}

namespace
{
    struct AllEffects
    {
        struct Iterator
        {
            int id;
            int operator*() const noexcept { return id; }
            Iterator& operator++() noexcept { ++id; return *this; }
            bool operator!= (const Iterator& other) const noexcept { return id != other.id; }
        };

        Iterator begin() const noexcept { return { 0 }; }
        Iterator end() const noexcept   { return { numEffects }; }
    };
}

void EffectChain::processParallel (EffectHost& host, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    // The divisor is the number of effects that actually ran; with none the dry block passes,
    // otherwise the dry signal is replaced by their mean.
    mixActive (AllEffects {}, 0, host, buffer, startSample, numSamples);
}

void EffectChain::processCustomProGroups (const RoutingState& state, EffectHost& host, juce::AudioBuffer<float>& buffer,
                                          int startSample, int numSamples) noexcept
{
    for (const auto& group : state.groups)
    {
        int active = 0;
        int firstActive = -1;

        for (auto id : group)
        {
            if (host.isEffectActive (id))
            {
                if (active++ == 0)
                    firstActive = id;
            }
        }

        if (active == 1)
            host.processEffect (firstActive, buffer, startSample, numSamples);
        else if (active >= 2)
            mixActive (group, active, host, buffer, startSample, numSamples);
    }
}
