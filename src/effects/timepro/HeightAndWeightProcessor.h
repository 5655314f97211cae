#pragma once

#include "effects/EffectProcessor.h"
#include "effects/timepro/HeightAndWeightParameters.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

/** The sound of TimePro: one of twelve time effects at a time, then a global OUT gain and dry/wet
    MIX that end in a soft clip (tanh of the result held to +-4), so the output stays within
    +-tanh (4) whatever the mode does.

    Every processed block is appended to a four-second input history first, in every mode, so a
    triggered mode always finds the recent past there. Micro-Pitch and Granular run here; the
    other modes hand the block on unchanged for now (the global stage still applies).

    Non-finite input samples count as silence before they reach the history or a mode, so no
    ring ever holds a NaN. Blocks longer than the scratch space are processed in pieces with the
    same settings; nothing allocates after `prepare`. */
class HeightAndWeightProcessor final : public EffectProcessor
{
public:
    using Knob = HeightAndWeightParameters::Knob;

    /** One grain in flight. `steps` counts the samples it has played, which indexes the window
        table while `tabled` says the grain's length and speed are the table's. */
    struct Grain
    {
        int start = 0, length = 0, steps = 0;
        float phase = 0.0f, increment = 1.0f, pan = 0.5f;
        bool tabled = false;
    };

    static constexpr int maxGrains = 128;
    static constexpr int scratchFrames = 8192;
    static constexpr float fallbackBpm = 120.0f;

    HeightAndWeightProcessor();

    HeightAndWeightParameters parameters;

    void prepare (double sampleRate, int maximumBlockSize) override;
    void reset() override;
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;

    /** Not bypassed and the global MIX above 0.01. */
    bool isActive() const noexcept override;

    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }

    /** Samples of one 1/division note at a tempo (a whole note is four beats), truncated;
        4410 for a tempo or rate that is not positive, or a division that is not. */
    static int samplesPerDivision (double sampleRate, double bpm, double division) noexcept;

    /** The same at the tempo the main window handed over. */
    int samplesPerDivision (float division) const noexcept;

    /** A loop length as the modes with a SYNC choice use it: the main window's tempo while SYNC
        is on and that tempo is positive, 120 BPM otherwise. */
    int loopDivisionSamples (float division) const noexcept;

    // What the tests and the triggered modes look at. Audio thread, or no block in flight.
    int getHistoryFrames() const noexcept      { return historyFrames; }
    int getHistoryWriteIndex() const noexcept  { return historyWriteIndex; }
    float getHistorySample (int frame, int channel) const noexcept;
    int getLoopStart() const noexcept          { return loopStart; }
    double getLoopPosition() const noexcept    { return loopPosition; }
    int getRepeatCount() const noexcept        { return repeatCount; }
    int getGrainCount() const noexcept         { return grainCount; }
    const Grain& getGrain (int index) const noexcept { return grains[(size_t) index]; }
    int getGrainRingFrames() const noexcept    { return (int) grainRing.size() / 2; }
    int getGrainWriteIndex() const noexcept    { return grainWriteIndex; }

    /** Trigger requests taken so far (each turn-on of the trigger counts once). */
    std::uint32_t getAppliedTriggerRequests() const noexcept
    {
        return appliedTriggerRequests.load (std::memory_order_relaxed);
    }

    /** The grain window, literally: a Hann bump over the grain's length. */
    static float grainWindow (float phase, int length) noexcept;

private:
    /** What a block works with, worked out once at its start. */
    struct BlockSettings
    {
        int mode = -1;
        float gain = 1.0f, share = 0.0f;

        float microMix = 0.0f, microRatioLeft = 1.0f, microRatioRight = 1.0f;
        float microChar = 0.0f, microLfoIncrement = 0.0f, microWidth = 1.0f;
        int microBase = 1;

        float grainMix = 0.0f, grainIncrement = 1.0f, grainSpacing = 1.0f, grainMotion = 0.0f;
        int grainLength = 100;
        bool frozen = false;
    };

    BlockSettings readSettings() const noexcept;
    float knobValue (Knob k) const noexcept;
    void takeTriggerRequests() noexcept;
    void processChunk (float* left, float* right, int n, const BlockSettings& s) noexcept;
    void appendToHistory (const float* left, const float* right, int n) noexcept;
    void processMicroPitch (float* left, float* right, int n, const BlockSettings& s) noexcept;
    void processGranular (float* left, float* right, int n, const BlockSettings& s) noexcept;
    void startGrain (int length, float increment, float motion) noexcept;
    void fillWindowTo (int steps) noexcept;
    void useWindowFor (int length, float increment) noexcept;
    void clearPositions() noexcept;

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<std::uint32_t> appliedTriggerRequests { 0 };
    std::uint32_t lastTriggerRequest = 0;

    // Audio thread (and prepare / reset) only.
    std::vector<float> history;
    int historyWriteIndex = 0, historyFrames = 0;
    int loopStart = 0, repeatCount = 0;
    double loopPosition = 0.0;
    float gatePhase = 0.0f;

    std::vector<float> microDelayLeft, microDelayRight;
    int microWrite = 0;
    float microLfoPhase = 0.0f;

    std::vector<float> grainRing;
    int grainWriteIndex = 0;
    std::array<Grain, maxGrains> grains {};
    int grainCount = 0;
    float grainTimer = 0.0f;

    // The window of the grains of one length and speed, step by step: every such grain walks the
    // same phases, so each value is worked out once. Filled as the oldest grain gets there.
    std::vector<float> windowTable;
    int windowLength = 0, windowFilled = 0;
    float windowIncrement = 0.0f, windowPhase = 0.0f;

    std::vector<float> dryLeft, dryRight, monoRight;
};
