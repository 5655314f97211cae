#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** Balance and width between the transport and the chain. At the centre (both gains 1) and
    width 1 neither touches the block, so a centred signal passes bit for bit. */
namespace stereostages
{
    /** Runs when either gain is below 0.999: L and R scaled apart; one channel gets the mean gain. */
    void applyBalance (juce::AudioBuffer<float>& buffer, int startSample, int numSamples,
                       float gainLeft, float gainRight) noexcept;

    /** Runs when |width - 1| > 0.01 on a stereo block: the side signal scaled by the width. */
    void applyWidth (juce::AudioBuffer<float>& buffer, int startSample, int numSamples, float width) noexcept;
}
