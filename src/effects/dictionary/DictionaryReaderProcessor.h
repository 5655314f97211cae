#pragma once

#include "effects/EffectProcessor.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

/** The six values the words push the reader's engines toward, at their rest values. */
struct ReaderEngineParams
{
    float mpMix = 0.35f;      // micro-pitch wet amount, 0..1
    float grMix = 0.25f;      // granular wet amount, 0..0.5 once smoothed
    float htMix = 0.4f;       // half-time wet amount (scaled by 1.3 in the engine)
    float mpDetune = 6.0f;    // cents between the two micro-pitch delays
    float grPitch = 0.0f;     // semitones of every new grain
    float htTime = 1.5f;      // half-time slow-down factor
};

/** What the reader's sound reads, as relaxed atomics any thread may store whole. */
struct DictionaryReaderParameters
{
    std::atomic<bool> bypassed { false };
    std::atomic<bool> reading { false };

    /** How many words the text has; the audio side never looks at the words themselves. */
    std::atomic<int> wordCount { 0 };

    std::atomic<float> mix { 0.0f };   // MIX knob, 0..100
    std::atomic<bool> microPitch { false }, granular { false }, halfTime { false };

    std::atomic<float> mpMix { 0.35f }, grMix { 0.25f }, htMix { 0.4f },
                       mpDetune { 6.0f }, grPitch { 0.0f }, htTime { 1.5f };

    /** 0..1: how fast grains come, 15 a second at 0 and 35 at 1. */
    std::atomic<float> verbDrive { 0.0f };

    /** Bumped by the message thread to send the engines' read positions, phase and grains back
        to their start; the next block takes it before anything else. */
    std::atomic<std::uint32_t> engineResetRequests { 0 };

    /** Bumped by every prepare: the reading clock forgets the words it has heard before it
        applies the next one (the message thread owns that history). */
    std::atomic<std::uint32_t> wordHistoryClearRequests { 0 };

    void storeEngineParams (const ReaderEngineParams& p) noexcept;
    ReaderEngineParams loadEngineParams() const noexcept;
};

/** The sound of the dictionary reader: three small engines run one after the other on the
    block, then a dry/wet mix that ends in tanh.

    - Micro-pitch: two short delays, a few cents apart, one per channel; a widener.
    - Granular: Hann-windowed grains taken two grain lengths behind the last four seconds.
    - Half-time: the last 4096 frames read back at two thirds of the speed or slower.

    Everything is sized in prepare (which gets no block size: the dry copies hold 8192 frames
    and longer blocks go through in pieces); grains live in a fixed pool. The Hann window
    comes from a table for the grain length wherever a grain sits on a whole frame, and from
    the cosine itself in between. */
class DictionaryReaderProcessor final : public EffectProcessor
{
public:
    struct Grain
    {
        std::int32_t start = 0, length = 0;
        float position = 0.0f, speed = 1.0f, pan = 0.5f;
        bool active = false;
    };

    static constexpr int maxChunkFrames = 8192;
    static constexpr int grainPoolSize = 32;
    static constexpr int halfTimeFrames = 4096;

    DictionaryReaderProcessor();

    DictionaryReaderParameters parameters;

    void prepare (double sampleRate, int maximumBlockSize) override;
    void reset() override;
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;

    /** Not bypassed, reading, and a text loaded. */
    bool isActive() const noexcept override;

    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }

    /** Sizes as prepared (0 before the first prepare). */
    int getMicroPitchLength() const noexcept  { return (int) microPitchDelayL.size(); }
    int getMicroPitchDelay() const noexcept;
    int getGrainRingValues() const noexcept   { return (int) grainRing.size(); }
    int getGrainLength() const noexcept;
    double getGrainInterval (float verbDrive) const noexcept;

    /** The half-time read speed for a time factor and wobble phase. */
    static double halfTimeSpeed (float htTime, double phase) noexcept;

    /** Audio-thread state, for tests that run the processor on their own thread. */
    int getLiveGrainCount() const noexcept { return liveGrains; }
    const Grain& getGrain (int index) const noexcept { return grains[(size_t) index]; }
    double getHalfTimeRead() const noexcept  { return halfTimeRead; }
    double getHalfTimePhase() const noexcept { return halfTimePhase; }
    float getGrainClock() const noexcept     { return grainClock; }

    /** The Hann weight of a grain at `position` of `length` frames, as the engine computes it
        without the table. */
    static float hannWindow (float position, std::int32_t length) noexcept;

private:
    struct Settings
    {
        float mix = 0.0f;
        bool microPitch = false, granular = false, halfTime = false;
        ReaderEngineParams engine;
        float verbDrive = 0.0f;
    };

    void consumeEngineReset() noexcept;
    void processChunk (float* left, float* right, int n, const Settings& s) noexcept;
    void processMicroPitch (float* left, float* right, int n, float amount, const Settings& s) noexcept;
    void processGranular (float* left, float* right, int n, float amount, const Settings& s) noexcept;
    void processHalfTime (float* left, float* right, int n, float amount, const Settings& s) noexcept;
    void startGrain (int grainLength, float speed) noexcept;
    float grainWindow (const Grain& g) const noexcept;

    std::atomic<double> sampleRate { 44100.0 };
    std::uint32_t handledEngineResets = 0;

    // Audio thread (and prepare / reset) only.
    double rate = 44100.0;
    std::array<std::vector<float>, 3> dry;   // left, right, and a right side for one-channel blocks

    std::vector<float> microPitchDelayL, microPitchDelayR;
    std::int32_t microPitchWrite = 0;

    std::vector<float> grainRing;   // interleaved frames
    std::int32_t grainWrite = 0;
    float grainClock = 0.0f;
    std::array<Grain, grainPoolSize> grains {};
    int liveGrains = 0;
    std::vector<float> grainWindowTable;   // one weight per whole frame of a grain

    std::vector<float> halfTimeRing;       // interleaved frames
    std::int32_t halfTimeWrite = 0;
    double halfTimeRead = 0.0;
    double halfTimePhase = 0.0;
};
