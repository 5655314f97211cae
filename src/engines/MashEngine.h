#pragma once

#include <atomic>

/** The beat-slicing engine. Until its history and slice events are built it passes the
    audio through unchanged; its switch, amount and tempo are already there to be set. */
class MashEngine
{
public:
    MashEngine();
    ~MashEngine();

    void prepare (double sampleRate, int blockSize);

    /** Audio thread: processes a stereo block in place when enabled. */
    void process (float* left, float* right, int numSamples);

    double getSampleRate() const noexcept { return sampleRate; }
    int getBlockSize() const noexcept     { return blockSize; }

    std::atomic<bool> enabled { false };
    std::atomic<float> amount { 0.0f };      // 0..1
    std::atomic<float> tempoBpm { 120.0f };

private:
    double sampleRate = 44100.0;
    int blockSize = 512;
};
