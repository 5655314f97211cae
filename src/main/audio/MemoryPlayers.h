#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** The three players that read the loaded file from memory: varispeed (forward), reverse
    (the same frames read last to first) and PlayRev (one direction, then the other, as one
    pass). They interpolate linearly, step by rate x fileRate / deviceRate per output sample,
    and handle their own ends. Audio thread; no allocation. */
namespace memoryplayer
{
    /** The frames a player reads: the first `length` frames of `samples`, in order, or last
        to first when `backwards` is set. Reading backwards gives exactly what a reversed copy
        of those frames would, without making one. */
    struct Copy
    {
        const juce::AudioBuffer<float>* samples = nullptr;
        int length = 0;
        bool backwards = false;

        bool isUsable() const noexcept { return samples != nullptr && length > 0 && samples->getNumChannels() > 0; }

        /** Frame `index` of this reading (0 <= index < length). */
        float frame (int channel, int index) const noexcept
        {
            return samples->getReadPointer (channel)[backwards ? length - 1 - index : index];
        }
    };

    /** What the block did at the copy's end. */
    enum class Outcome
    {
        playing,    // the block is full of audio (possibly across a loop wrap)
        ended       // the end was reached with LOOP off: the rest of the block is silent
    };

    /** Varispeed and reverse: one copy read from `position`. */
    Outcome renderSingle (const Copy& copy, double& position, double step, bool loop,
                          juce::AudioBuffer<float>& out, int startSample, int numSamples) noexcept;

    struct PlayRevState
    {
        double forwardPosition = 0.0;
        double reversePosition = 0.0;
        bool secondHalf = false;
        int order = 0;                  // 0: forward then reversed; 1: reversed then forward

        bool readsForward() const noexcept { return (order == 1) == secondHalf; }
    };

    /** PlayRev and RevPlay: the first half reads one copy, the second the other; the shorter
        copy's length stands for both. */
    Outcome renderPlayRev (const Copy& forward, const Copy& reversed, PlayRevState& state, double step,
                           bool loop, juce::AudioBuffer<float>& out, int startSample, int numSamples) noexcept;
}
