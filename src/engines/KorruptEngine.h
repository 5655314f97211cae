#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

class DistortionSuite;
class StereoUtilityMax;
class DelayVerb;
class Atomizer;
class TavroFinalizer;

/** The generative corruption engine, without a GUI.

    It runs on the output of the effect chain: block-rate chaos sources and clocks, a per-sample
    chain (whose corruption effects are not built yet, so every effect level is 0), then an
    output safety stage and a 75/25 blend with the dry signal. Resets and reseeds asked for by
    the message thread are requests the audio thread takes at the start of its next block, so
    the running state only ever has one writer. */
class KorruptEngine
{
public:
    KorruptEngine();
    ~KorruptEngine();

    //==============================================================================
    /** Device start (never overlaps process): sizes the buffers, seeds from the clock and resets. */
    void prepare (double sampleRate, int blockSize);

    /** Replaces the wall clock as the seed source of prepare; empty restores the clock. */
    void setClockSeed (std::optional<std::uint64_t> millisSince1970) noexcept { clockSeed = millisSince1970; }

    /** The five effects whose parameters the engine modulates; not owned. */
    void setModulationTargets (DistortionSuite* distortion, StereoUtilityMax* stereoUtility,
                               DelayVerb* delayVerb, Atomizer* atomizer, TavroFinalizer* finalizer);

    /** Audio thread: writes the engine's modulation values into the targets' offset fields. */
    void applyModulationTargets();

    /** Audio thread: takes pending requests, then corrupts a stereo block in place. */
    void process (float* left, float* right, int numSamples) noexcept;

    /** Audio thread, every block whether or not the engine runs: takes pending requests. */
    void serviceRequests() noexcept;

    /** Message-thread step, meant for 30 calls a second. */
    void timerTick();

    //==============================================================================
    /** Returns the running state to its start values; settings, buffers and walks stay.
        Direct call only while no block runs (construction, prepare, tests). */
    void softReset() noexcept;

    /** Factory defaults, settings included. Direct call only while no block runs. */
    void fullReset() noexcept;

    /** Sets the output ceiling from decibels: at most 0 dB, at least -24 dB; NaN gives 0 dB. */
    void setOutputTrimDb (float dB) noexcept;

    /** Derives the character values of a level from the level and its visit count. */
    void reseedLevel (int newLevel) noexcept;

    //==============================================================================
    // Message thread: requests taken at the start of the next block.

    /** Switch-off: clears the visit counts now and the running state at the next block. */
    void requestSoftReset() noexcept;

    /** The menu switch: toggles `active`; switching off also asks for a soft reset. */
    void toggleActive() noexcept;

    /** Reseed for a level with the visit count it has now. */
    void requestReseed (int newLevel) noexcept;

    /** The knob's rule: enters a level (counting the visit and reseeding when it changes and is
        above 0), then sets level and amount. Does nothing while the engine is off. */
    void setLevelFromKnob (int newLevel) noexcept;

    //==============================================================================
    double getSampleRate() const noexcept { return sampleRate; }
    int getBlockSize() const noexcept     { return blockSize; }

    // Settings. active, amount and level are written by the message thread (last writer wins).
    std::atomic<bool> active { false };
    std::atomic<float> amount { 0.0f };      // level / 10
    std::atomic<int> level { 0 };
    std::array<std::atomic<int>, 11> levelVisits {};

    bool safeMode = true;
    bool hardMode = false;
    float outputTrim = 0.891f;
    bool fadingOut = false;
    float fadeGain = 1.0f;
    bool transientDetectorOn = true, periodicityOn = true, governorOn = true, gestureGeneratorOn = true;
    std::array<bool, 10> grooveEffectOn { true, true, true, true, true, true, true, true, true, true };
    float beatWobbleDepth = 0.0f;
    std::atomic<float> tempoBpm { 120.0f };

    DistortionSuite* distortionTarget = nullptr;
    StereoUtilityMax* stereoUtilityTarget = nullptr;
    DelayVerb* delayVerbTarget = nullptr;
    Atomizer* atomizerTarget = nullptr;
    TavroFinalizer* finalizerTarget = nullptr;

    //==============================================================================
    // Running state, read by tests and by the engine's later stages.
    struct Walk         { float value = 0.0f, velocity = 0.0f, damping = 0.98f, noise = 0.1f; };
    struct MeanReverter { float value = 0.0f, mean = 0.0f, rate = 0.1f, spread = 0.2f; };
    struct EffectSlot   { float gain = 1.0f; bool enabled = true; };

    /** A delay line: two channels, or one interleaved channel of twice the length. */
    struct Line
    {
        std::vector<float> left, right;
        int writeIndex = 0;
    };

    struct Lines
    {
        Line warble, tape, smear, driftEcho, threeTap, comb, doppler, flanger, chorus, grain,
             tempoEcho, repeat, wobble, freeze;
    };

    const Lines& getLines() const noexcept { return lines; }
    const std::array<float, 15>& getCharacter() const noexcept { return character; }

    std::uint32_t lcgState = 0;
    std::uint64_t pcgState = 0;
    float engineTime = 0.0f;
    int zone = 2, targetZone = 2;
    float zoneBlend = 0.0f;
    int behaviourState = 0;
    float behaviourTime = 0.0f, behaviourLength = 1.0f, behaviourGain = 1.0f;
    std::array<int, 20> effectHistory {};
    int effectHistoryIndex = 0;

    float onsetEnvelope = 0.0f, silenceTime = 0.0f, roughness = 0.5f, blockRms = 0.0f, blockPeak = 0.0f, prevRms = 0.0f;
    bool onsetFlag = false;
    float lorenzX = 0.1f, lorenzY = 0.0f, lorenzZ = 0.0f;
    float logisticX = 0.4f;
    float driftPhase = 0.0f, driftA = 0.0f, driftB = 0.0f, driftC = 0.0f;
    float driftRate = 1.0f, nudgeChance = 1.0f, shapeExponent = 0.5f, warbleGain = 1.0f, crushGain = 1.0f;
    float reseedTimer = 0.0f, driftTimer = 0.0f;
    float delayDrive = 0.0f, stereoDrive = 0.0f, distortionDrive = 0.0f;
    std::array<float, 5> targetIntensity {};
    bool glitchActive = false;
    float glitchTime = 0.0f, glitchDrive = 0.0f, glitchReplay = 0.0f, glitchBalance = 0.0f;
    float stagnation = 0.0f;
    std::array<float, 32> activityRing {};
    int activityIndex = 0;
    float activityTimer = 0.0f;
    int nonFiniteRun = 0, silentRun = 0, hotRun = 0, safetyTrips = 0;
    float lastGoodLeft = 0.0f, lastGoodRight = 0.0f;
    bool safetyEngaged = false;
    float safetyTime = 0.0f;
    std::array<float, 4> dcState {};        // previous x and y, left then right
    std::array<float, 4> levelMatch {};     // wet low L, R, dry low L, R
    float silenceRestoreClock = 0.0f;
    float beatWobble = 0.0f, beatWobblePhase = 0.0f;
    float tempoConfidence = 0.0f;

    std::array<Walk, 16> walks {};
    std::array<MeanReverter, 8> meanReverters {};
    std::array<EffectSlot, 16> effectSlots {};
    std::array<float, 19> biases {};

    /** Test hook standing in for the corruption chain: when set, it runs on the working pair of
        every sample before the safety stage. */
    using ChainHook = void (*) (float& left, float& right, void* context) noexcept;
    void setChainHookForTests (ChainHook hook, void* context) noexcept { chainHook = hook; chainHookContext = context; }

private:
    void reseedFor (int level, std::uint32_t visits) noexcept;
    void processPanicFade (float* left, float* right, int numSamples) noexcept;
    void runBlockRateSteps (const float* left, const float* right, int numSamples, float e, float dt) noexcept;
    void analyseBlock (const float* left, const float* right, int numSamples) noexcept;
    void stepGlitchEvent (int numSamples, float e) noexcept;
    void runSampleChain (float* left, float* right, int numSamples) noexcept;
    void safetyStage (float& wetL, float& wetR, float dryL, float dryR, float ceiling) noexcept;
    void matchLowBand (float& wetL, float& wetR, float dryL, float dryR, float lowBandStep) noexcept;
    void runEndOfBlock (int numSamples) noexcept;

    std::array<float, 15> character {};
    Lines lines;

    double sampleRate = 44100.0;
    int blockSize = 512;
    std::optional<std::uint64_t> clockSeed;

    std::atomic<bool> softResetRequested { false };
    std::atomic<int> reseedRequest { -1 };  // visits * 16 + level, or -1

    ChainHook chainHook = nullptr;
    void* chainHookContext = nullptr;
};
