#include "effects/delayverb/DelayVerbProcessor.h"

#include <juce_core/juce_core.h>

namespace
{
    float delayMix (float knob, float korruptOffset, float randomiserOffset) noexcept
    {
        const auto floor = (double) korruptOffset + (double) randomiserOffset;
        return (float) juce::jmax (floor, (double) knob);
    }

    float reverbMix (float knob, float korruptOffset, float randomiserOffset) noexcept
    {
        const auto sum = (double) korruptOffset + (double) knob + (double) randomiserOffset;
        return (float) juce::jlimit (0.0, 100.0, sum);
    }

    float load (const std::atomic<float>& v) noexcept { return v.load (std::memory_order_relaxed); }
}

float DelayVerbProcessor::getDelayLeftMix() const noexcept
{
    return delayMix (load (parameters.delayLeft), load (parameters.korruptOffsets[3]), randomiserOffsets[2]);
}

float DelayVerbProcessor::getDelayRightMix() const noexcept
{
    return delayMix (load (parameters.delayRight), load (parameters.korruptOffsets[3]), randomiserOffsets[2]);
}

float DelayVerbProcessor::getReverbLeftMix() const noexcept
{
    return reverbMix (load (parameters.reverbLeft), load (parameters.korruptOffsets[2]), randomiserOffsets[3]);
}

float DelayVerbProcessor::getReverbRightMix() const noexcept
{
    return reverbMix (load (parameters.reverbRight), load (parameters.korruptOffsets[2]), randomiserOffsets[3]);
}

bool DelayVerbProcessor::isActive() const noexcept
{
    return ! parameters.bypassed.load (std::memory_order_relaxed)
        && (getDelayLeftMix() > 0.01f || getDelayRightMix() > 0.01f
            || getReverbLeftMix() > 0.01f || getReverbRightMix() > 0.01f);
}
