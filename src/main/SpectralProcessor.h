#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>

/** A phase-vocoder pitch and time stage for up to two channels. The analysis and resynthesis
    are a later addition: until then an enabled processor leaves the block as it is. */
class SpectralProcessor
{
public:
    SpectralProcessor();
    ~SpectralProcessor();

    void prepare (double sampleRate, int blockSize);

    void setTimeStretch (float factor);     // 0.25..4
    void setPitchShift (float semitones);   // -24..24
    void setMix (float wetShare);           // 0..1

    /** Audio thread: processes the buffer in place. */
    void process (juce::AudioBuffer<float>& buffer);

    bool isPrepared() const noexcept { return prepared; }

    std::atomic<bool> enabled { true };
    std::atomic<float> pitchShift { 0.0f };
    std::atomic<float> timeStretch { 1.0f };
    std::atomic<float> mix { 1.0f };

private:
    double sampleRate = 44100.0;
    int blockSize = 512;
    bool prepared = false;
};
