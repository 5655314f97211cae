#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <memory>

/** A file decoded whole into memory: its first two channels, every frame.

    Built once by the loader and never written again. The main transport, reversed playback,
    the finalizer's wave player and the waveform views all read this one copy through a
    SharedDecodedAudio, so a long file costs its decoded size once. Whoever replaces the file
    drops its reference on the message thread; the audio thread only ever reads through a
    pointer whose owner it cannot outlive (each player keeps its own reference under the lock
    its render try-locks). */
struct DecodedAudio
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 44100.0;
    int fileChannels = 0;               // the file's own channel count (may exceed 2)

    int getLength() const noexcept      { return samples.getNumSamples(); }
    int getNumChannels() const noexcept { return samples.getNumChannels(); }
    double getLengthSeconds() const noexcept { return sampleRate > 0.0 ? getLength() / sampleRate : 0.0; }
    size_t getSizeInBytes() const noexcept { return (size_t) getLength() * (size_t) getNumChannels() * sizeof (float); }

    /** The memory players read at most this many frames; the transport plays the whole file. */
    static constexpr int maxMemoryFrames = 14400000;

    /** Frames the varispeed, reverse and PlayRev players read. */
    int getMemoryFrames() const noexcept { return juce::jmin (getLength(), maxMemoryFrames); }
};

/** The one decoded copy of the loaded file, read-only for everyone who holds it. */
using SharedDecodedAudio = std::shared_ptr<const DecodedAudio>;
