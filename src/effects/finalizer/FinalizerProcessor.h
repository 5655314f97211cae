#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "dsp/Biquad.h"
#include "dsp/OnePole.h"
#include "dsp/PodSnapshot.h"
#include "effects/EffectProcessor.h"
#include "effects/finalizer/FinalizerFeatures.h"

#include <array>
#include <atomic>

/** The equaliser's and DC filter's sections: left and right histories, each delay's
    feed-forward and feedback terms paired so a 0 dB bell is exactly transparent. */
using StereoBiquad = dsp::Biquad<dsp::BiquadForm::pairedDirect, 2>;
using BiquadCoefficients = dsp::BiquadCoefficients;

/** Writes the peaking-filter coefficients for `gainDb` at `frequency` into `filter`
    (computed in double precision, stored as floats; the histories are left alone). */
void makePeakingCoefficients (StereoBiquad& filter, double sampleRate, double frequency, double gainDb, double q);

//==============================================================================
/** The finalizer's parameters as the panel side writes them: one atomic each, so every value
    arrives whole whichever thread writes it. The tone gains are the exception in how they
    travel: they only reach the sound through `FinalizerProcessor::updateEqCoefficients`, which
    hands the five designed sections over as one set. */
struct FinalizerSettings
{
    FinalizerSettings();

    std::atomic<bool> bypassed { false };
    std::atomic<float> inputGainDb { 0.0f };
    std::atomic<float> subDb { 0.0f }, bodyDb { 0.0f }, presenceDb { 0.0f }, airDb { 0.0f };
    std::atomic<float> tameDb { 0.0f }, tiltDb { 0.0f };
    std::array<std::atomic<float>, 6> bandWidth;
    std::array<std::atomic<float>, 6> bandDrive;
    std::array<std::atomic<int>, 6> bandMode;
    std::atomic<float> width { 1.0f };
    std::atomic<float> asymmetryDeg { 0.0f };
    std::atomic<float> rotateDeg { 0.0f };
    std::atomic<float> ceilingDb { -1.0f };
    std::atomic<float> densityAmount { 0.3f }, articAmount { 0.25f }, residueAmount { 0.2f };
    std::atomic<float> motionAmount { 0.0f };
    std::atomic<float> aboveAmount { 0.0f }, belowAmount { 0.0f };
    std::atomic<float> outputGainDb { 0.0f };
    std::atomic<float> leftMix { 1.0f }, rightMix { 1.0f };

    /** The DC switch. A panel whose switch keeps its own atomic points `dcFilterSource` at it. */
    std::atomic<bool> dcFilter { true };
    const std::atomic<bool>* dcFilterSource = &dcFilter;

    /** Twelve values the Korrupt engine writes; nothing in the sound reads them. */
    std::array<std::atomic<float>, 12> korruptBandInputs;
};

/** What one block works with: the settings read once, plus what follows from them alone. */
struct FinalizerParameters
{
    float inputGain = 1.0f, outputGain = 1.0f, ceilingGain = 1.0f;
    std::array<float, 6> bandWidth {}, bandDrive {}, bandMix {}, bandGain {};
    std::array<int, 6> bandMode {};
    float leftMix = 1.0f, rightMix = 1.0f;
    float width = 1.0f, asymmetry = 0.0f, cosRotate = 1.0f, sinRotate = 0.0f;
    bool dcFilter = true;

    float density = 0.3f, artic = 0.25f, residue = 0.2f, motion = 0.0f, above = 0.0f, below = 0.0f;
    float processRate = 48000.0f, atomizeRate = 48000.0f;
    float aboveGain = 1.0f, belowGain = 1.0f;

    // What the character stages would otherwise work out again every sample from the values
    // above: the oscillators' phase steps, the ATOMIZE dips' Q and the limit on their centres.
    float motionStep = 0.0f, aboveStep = 0.0f, belowStep = 0.0f;
    float aboveQ = 0.0f, belowQ = 0.0f, nyquistGuard = 0.0f;
};

//==============================================================================
/** The finalizer's sound: equaliser, six-band saturation and width, rotation, ceiling, the two
    character stages, output gain, and the meters and features of what comes out. It reads its
    settings once per block and has no face; `TavroFinalizer` is its panel. */
class FinalizerProcessor : public EffectProcessor
{
public:
    explicit FinalizerProcessor (FinalizerSettings& settingsToRead);

    void prepare (double sampleRate, int maximumBlockSize) override;
    void reset() override;
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;
    bool isActive() const noexcept override;

    /** Designs the five equaliser sections from the tone gains and hands them to the audio
        thread as one set. Message thread, or the prepare step. */
    void updateEqCoefficients();

    /** The latest block's meters and features, as one consistent copy (message thread). */
    FinalizerMeters readMeters() const;

    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }
    double getProcessSampleRate() const noexcept { return processSampleRate.load (std::memory_order_relaxed); }

    static float toGain (float dB) noexcept;

    /** Raises `peak` to `value` unless another thread already stored more. */
    static void raisePeak (std::atomic<float>& peak, float value) noexcept;
    /** Multiplies `peak` by `factor` without losing a rise stored meanwhile. */
    static void decayPeak (std::atomic<float>& peak, float factor) noexcept;

    // The stages, open for the tests that pin them; they work with the current block's values.
    void applyDistStage (float& left, float& right) noexcept;
    void applyAtomizeStage (float& left, float& right) noexcept;
    void makeCutCoefficients (float frequency, float cutDb, float q, BiquadCoefficients& coefficients) const noexcept;
    void extractFeatures (const float* left, const float* right, int numSamples) noexcept;

    static constexpr std::array<float, 5> crossoverHz { 60.0f, 180.0f, 500.0f, 2500.0f, 6000.0f };
    static constexpr float motionRateHz = 0.6f;

    /** Output peaks: raised here once per block; the panel's timer lets them fall. */
    std::atomic<float> peakLeft { 0.0f }, peakRight { 0.0f };

    /** One of the two ATOMIZE dips: its sweep, its filter and the smoothing after it. */
    struct DipState
    {
        float phase = 0.0f;
        dsp::Biquad<dsp::BiquadForm::direct, 2> filter;
        std::array<float, 2> smooth {}, lowpass {};

        void clear() noexcept;
        bool isFinite() const noexcept;
    };

    /** Audio-thread processing state. Readable for the tests that pin its behaviour; only the
        audio thread (and the prepare step) writes it. */
    struct State
    {
        std::array<StereoBiquad, 5> eqBands;
        StereoBiquad dcFilter;
        std::array<float, 5> crossoverCoef {};
        std::array<dsp::OnePoleLowpass<dsp::OnePoleForm::weighted>, 5> crossoverLeft, crossoverRight;

        float densityEnvelope = 0.0f, articEnvelope = 0.0f, articPrevEnvelope = 0.0f;
        float residueState = 0.0f, motionPhase = 0.0f;

        DipState above, below;

        float midRms = 0.0f, sideRms = 0.0f;
        FinalizerFeatures features;
    };

    const State& audioState() const noexcept { return dsp; }

    struct DipSweep;

private:
    struct BlockSums
    {
        double mid = 0.0, side = 0.0;
        float peakLeft = 0.0f, peakRight = 0.0f;
        float finiteProbe = 0.0f;
    };

    /** The longest run a stage works through at once (the stack arrays' size). */
    static constexpr int chunkSize = dsp::PeakingTrack::capacity;

    void readParameters() noexcept;
    BlockSums runChain (float* left, float* right, int numSamples) noexcept;
    void equalise (float* left, float* right, int n) noexcept;
    void bandStage (float* left, float* right, int n) noexcept;
    void splitBands (const float* left, const float* right, int n, float (&bandLeft)[6][chunkSize],
                     float (&bandRight)[6][chunkSize]) noexcept;
    const float* blendDrive (size_t band, const float* saturated, float* bandLeft, float* bandRight, int n) const noexcept;
    void widenAndLimit (float* left, float* right, int n, BlockSums& sums) const noexcept;
    void distStage (float* left, float* right, int n) noexcept;
    void distEnvelopes (const float* left, const float* right, int n, float* mid, float* side, float* before) noexcept;
    void atomizeStage (float* left, float* right, int n) noexcept;
    void applyOutput (float* left, float* right, int n, BlockSums& sums) const noexcept;
    void finishBlock (const BlockSums& sums, const float* left, const float* right, int numSamples) noexcept;
    void designCut (float frequency, float a, float q, BiquadCoefficients& coefficients) const noexcept;
    void pullEqCoefficients() noexcept;
    void publishMeters() noexcept;
    void resetAudioState() noexcept;
    void restIdleStages() noexcept;
    bool audioStateIsFinite() const noexcept;
    void planStages() noexcept;
    void sweepDip (DipState& dip, const DipSweep& sweep, float amount, float gain, float step, float q, int n,
                   dsp::PeakingTrack& track) noexcept;

    FinalizerSettings& settings;

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<double> processSampleRate { 48000.0 };

    State dsp;
    FinalizerParameters params;

    // Equaliser sets, handed over whole; a block that cannot take a new set at once keeps
    // the previous one.
    PodSnapshot<std::array<BiquadCoefficients, 5>> eqSnapshot;

    // Meters: the audio thread publishes under a try-lock, skipping a block when busy.
    mutable juce::SpinLock meterLock;
    FinalizerMeters sharedMeters;

    JUCE_DECLARE_NON_COPYABLE (FinalizerProcessor)
};
