#pragma once

#include "dsp/PodSnapshot.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

/** The generative corruption engine, without a GUI.

    It runs on the output of the effect chain: block-rate chaos sources and clocks, a per-sample
    chain (whose corruption effects are not built yet, so every effect level is 0), then an
    output safety stage and a 75/25 blend with the dry signal. Resets and reseeds asked for by
    the message thread are requests the audio thread takes at the start of its next block, so
    the running state only ever has one writer.

    Its control side (KorruptEngineControl.cpp) runs 30 times a second on the message thread:
    it grows five target intensities with the amount and rebuilds the modulation offsets of
    five effects from oscillators, random jumps, events, wobbles and gestures. Each tick
    publishes its finished set whole; the audio thread pushes the last published set into the
    effects before every block. */
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

    /** Where the push writes: each effect's offset fields, in the order of its offsets; not
        owned. A target whose first field is null is not set and is skipped. */
    struct TargetFields
    {
        std::array<std::atomic<float>*, 4> stereoUtility {};   // width, rotation, balance, mix
        std::array<std::atomic<float>*, 4> delayVerb {};       // time ms, feedback, reverb mix, delay mix
        std::array<std::atomic<float>*, 3> distortion {};      // drive, bit depth, mix
        std::array<std::atomic<float>*, 3> atomizer {};        // intensity, feedback, mix
        std::array<std::atomic<float>*, 12> finalizer {};      // six band widths, six band distortions
    };

    /** The effects whose parameters the engine modulates (prepare, at every device start). */
    void setModulationTargets (const TargetFields& fields) noexcept;

    /** Audio thread: writes the last set a tick published into the targets' offset fields. */
    void applyModulationTargets() noexcept;

    /** Audio thread: takes pending requests, then corrupts a stereo block in place. */
    void process (float* left, float* right, int numSamples) noexcept;

    /** Audio thread, every block whether or not the engine runs: takes pending requests. */
    void serviceRequests() noexcept;

    /** Message-thread step, meant for 30 calls a second; each call advances 1/30 s. */
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

    /** The menu switch: toggles `active`; switching off also asks for a soft reset and clears
        every offset the engine wrote into the effects. */
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

    // Block-rate and control choices. The tick and the audio thread both draw from it; each draw
    // is a relaxed load and store, so two racing draws may yield one value twice, which is as
    // random as any other.
    std::atomic<std::uint32_t> lcgState { 0 };
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

    //==============================================================================
    // Control side: message thread only, inside the tick.

    struct ModulationParam
    {
        int index = 0;
        const char* name = "";
        float minValue = 0.0f, maxValue = 0.0f, defaultValue = 0.0f, swingLow = 0.0f, swingHigh = 0.0f;
        bool unipolar = false;
        float depth = 0.0f;
    };

    struct ModulationTarget
    {
        int id = 0;
        const char* name = "";
        bool enabled = true;
        float threshold = 0.0f;
        std::array<ModulationParam, 4> params {};
        int paramCount = 0;
    };

    /** The moved parameters of each effect, in the unit of the parameter. */
    struct TargetOffsets
    {
        float stereoWidth = 0.0f, stereoRotation = 0.0f, stereoBalance = 0.0f, stereoMix = 0.0f;
        float delayTime = 0.0f, delayFeedback = 0.0f, delayReverbMix = 0.0f, delayMix = 0.0f;
        float distortionDrive = 0.0f, distortionBitDepth = 0.0f, distortionMix = 0.0f;
        float atomizerIntensity = 0.0f, atomizerFeedback = 0.0f, atomizerMix = 0.0f;
        std::array<float, 6> finalizerBandWidth {}, finalizerBandDist {};
    };

    /** What a tick hands to the audio thread, whole: its intensities, its offsets and its number. */
    struct TargetSet
    {
        std::uint32_t tick = 0;
        std::array<float, 5> intensity {};
        TargetOffsets offsets;
    };

    struct EventSlot
    {
        int paramIndex = 0;
        float from = 0.0f, to = 0.0f;
    };

    struct Event
    {
        int type = 0, target = 0;
        int attackSamples = 4410, releaseSamples = 2205;
        float depth = 0.5f, jitter = 0.1f, weight = 1.0f;
        std::array<EventSlot, 4> slots {};
        int slotCount = 0;
        int attackCurve = 1, releaseCurve = 3;
        bool running = false, finished = false;
        float attackProgress = 0.0f, releaseProgress = 0.0f, envelope = 0.0f;
    };

    struct Wobble
    {
        float phase = 0.0f, rateHz = 0.1f, depth = 0.0f, targetDepth = 0.0f;
        int paramIndex = 0, target = 1;
    };

    struct Gesture
    {
        int shape = 0, target = 5, param = 4;
        float delay = 0.0f, duration = 0.5f, depth = 1.0f, progress = 0.0f;
        bool running = false, free = false;
        float lfoRateHz = 1.0f, lfoPhase = 0.0f;
    };

    struct ZoneRow { float energy, sustain, drift, pulse, tone; };
    static const std::array<ZoneRow, 6> zoneTable;

    std::array<ModulationTarget, 5> modulationTargets;
    std::array<float, 5> targetIntensity {}, targetIntensityGoal {}, targetLfoPhase {}, targetJumpClock {};
    TargetOffsets targetOffsets;
    float zoneEnergy = 0.0f, zoneSustain = 0.0f, zoneTension = 0.0f;

    std::array<Event, 16> eventQueue {};
    std::atomic<int> eventCount { 0 };
    float scheduleClock = 0.0f, scheduleInterval = 0.5f, eventLoad = 0.0f, maxEventLoad = 1.0f;
    std::array<int, 8> typeHistory {}, targetHistory {};
    int historyPos = 0;
    std::array<Wobble, 4> wobbles {};

    std::array<Gesture, 8> gestures {};
    float gestureClock = 0.0f, gestureInterval = 0.0f;
    int activeGestureCount = 0;
    std::array<float, 5> gestureTargetWeights {};

    // Steps of the tick, public so tests can drive each alone.
    void updateTargetIntensities();
    void scheduleEvents (float dt);
    void stepEvents (float dt);
    void stepGestures (float dt);
    void applyEventToTargets (const Event& event);
    void applyGestureValue (int target, int param, float value);
    int chooseEventType();
    int chooseEventTarget();
    void configureEvent (Event& event);

    /** The set the last tick published (message thread). */
    const TargetSet& lastPublishedTargets() const noexcept { return publishedByTick; }

    /** The set the audio thread pushed last (audio thread). */
    const TargetSet& lastPushedTargets() const noexcept { return published.current(); }

    /** What the tick reads of the audio side: single values the audio thread copies at the end
        of each block and request (and prepare and the resets), so the tick never reads state
        the audio thread is writing. Tests that set `zone`, `behaviourGain` or `character`
        directly call mirrorControlState() before ticking. */
    void mirrorControlState() noexcept;

    /** Test hook standing in for the corruption chain: when set, it runs on the working pair of
        every sample before the safety stage. */
    using ChainHook = void (*) (float& left, float& right, void* context) noexcept;
    void setChainHookForTests (ChainHook hook, void* context) noexcept { chainHook = hook; chainHookContext = context; }

private:
    struct ControlMirror
    {
        std::array<std::atomic<float>, 15> character {};
        std::atomic<int> zone { 2 }, targetZone { 2 };
        std::atomic<float> zoneBlend { 0.0f }, behaviourGain { 1.0f };
        std::atomic<double> sampleRate { 44100.0 };
    };

    std::uint32_t draw() noexcept;
    void buildModulationTargets();
    void clearControlForIdle();
    void updateZoneValues();
    void applyOscillators (float a, float i1, float i2, float i3, float i4, float i5);
    void fillEventSlots (Event& event);
    void stepWobbles (float dt);
    void applyWobbles();
    void startGesture();
    int chooseGestureTarget();
    float beatSeconds() const noexcept;
    void publishTargets (bool push);
    void pushTargets (const TargetSet& set) noexcept;
    void pushZeros() noexcept;

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
    std::atomic<bool> offsetClearRequested { false };

    // Offset fields of the targets, each a single pointer so prepare may set them while the tick
    // or a block reads them. The first field of each target tells whether it is set.
    static constexpr int stereoUtilityField = 0, delayVerbField = 4, distortionField = 8, atomizerField = 11,
                         finalizerField = 14, numTargetFields = 26;
    std::array<std::atomic<std::atomic<float>*>, numTargetFields> targetFields {};
    ControlMirror mirror;
    PodSnapshot<TargetSet> published;
    TargetSet publishedByTick;
    std::uint32_t tickCount = 0;
    std::atomic<int> reseedRequest { -1 };  // visits * 16 + level, or -1

    ChainHook chainHook = nullptr;
    void* chainHookContext = nullptr;
};
