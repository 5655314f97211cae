#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "controls/ParamSlider.h"
#include "effects/finalizer/FinalizerFeatures.h"
#include "effects/finalizer/TavroAI.h"
#include "effects/finalizer/TavroFinalizerHUD.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

/** One second-order section with separate left and right histories (direct form I). */
struct StereoBiquad
{
    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
    float xl1 = 0.0f, xl2 = 0.0f, yl1 = 0.0f, yl2 = 0.0f;
    float xr1 = 0.0f, xr2 = 0.0f, yr1 = 0.0f, yr2 = 0.0f;

    void clearHistory() noexcept { xl1 = xl2 = yl1 = yl2 = xr1 = xr2 = yr1 = yr2 = 0.0f; }
    bool historyIsFinite() const noexcept;

    // The feed-forward and feedback terms of each delay are paired so that a section whose
    // numerator equals its denominator (a peaking filter at 0 dB) is exactly transparent: the
    // histories then stay equal and each pair cancels to zero instead of accumulating rounding
    // error through the poles.
    inline void process (float& left, float& right) noexcept
    {
        const float yl = b0 * left + (b1 * xl1 - a1 * yl1) + (b2 * xl2 - a2 * yl2);
        xl2 = xl1; xl1 = left; yl2 = yl1; yl1 = yl;
        const float yr = b0 * right + (b1 * xr1 - a1 * yr1) + (b2 * xr2 - a2 * yr2);
        xr2 = xr1; xr1 = right; yr2 = yr1; yr1 = yr;
        left = yl;
        right = yr;
    }
};

/** The five coefficients of a section, without its state. */
struct BiquadCoefficients
{
    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
};

/** Writes the peaking-filter coefficients for `gainDb` at `frequency` into `filter`
    (computed in double precision, stored as floats; the histories are left alone). */
void makePeakingCoefficients (StereoBiquad& filter, double sampleRate, double frequency, double gainDb, double q);

/** The mastering stage: equaliser, six-band saturation and width, rotation, ceiling, the two
    character stages and output gain, with its meters, features, player and timer. */
class TavroFinalizer : public juce::Component,
                       public juce::Timer
{
public:
    explicit TavroFinalizer (TavroFinalizerHUD* hudToFeed);
    ~TavroFinalizer() override;

    //==============================================================================
    // Audio side (audio thread unless stated)
    void prepare (double newSampleRate, int blockSize);
    void process (juce::AudioBuffer<float>& buffer);

    /** Recomputes the five equaliser sections from the tone gains and hands them to the audio
        thread as one set. Message thread, or the prepare step. */
    void updateEqCoefficients();

    /** Recomputes the drawn curve from the tone gains (message thread). */
    void updateToneCurve();

    /** The latest block's meters and features, as one consistent copy (message thread). */
    FinalizerMeters readMeters() const;

    static float toGain (float dB) noexcept;

    //==============================================================================
    // Wave player
    void loadWavePlayerFile (const juce::File& file);
    int renderWavePlayer (float* left, float* right, int numFrames, double deviceSampleRate);

    bool wavePlayerPlaying() const noexcept   { return playing.load (std::memory_order_relaxed); }
    std::int64_t wavePlayerLength() const noexcept { return playerLength.load (std::memory_order_relaxed); }
    bool wavePlayerHasSamples() const noexcept { return playerHasSamples.load (std::memory_order_relaxed); }

    //==============================================================================
    // Message thread
    void timerCallback() override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    //==============================================================================
    // Processing parameters: written by the panels on the message thread, read once per block
    // by the audio thread. Plain stores and loads; each value arrives whole.
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

    /** The full panel's "DC" switch; the processing reads its mirrored state. */
    ParamToggle dcFilterButton { "DC" };

    static constexpr std::array<float, 5> crossoverHz { 60.0f, 180.0f, 500.0f, 2500.0f, 6000.0f };
    static constexpr float motionRateHz = 0.6f;

    //==============================================================================
    // Meters: the audio thread raises them, the timer lets them fall.
    std::atomic<float> peakLeft { 0.0f }, peakRight { 0.0f };

    /** Raises `peak` to `value` unless another thread already stored more. */
    static void raisePeak (std::atomic<float>& peak, float value) noexcept;
    /** Multiplies `peak` by `factor` without losing a rise stored meanwhile. */
    static void decayPeak (std::atomic<float>& peak, float factor) noexcept;

    const float integratedLufs = -14.0f;
    const float shortTermLufs = -12.0f;
    const float momentaryLufs = -10.0f;
    const float loudnessRange = 8.0f;

    //==============================================================================
    // Player state shared with the audio thread
    std::atomic<bool> playing { false }, looping { false };
    std::atomic<double> playPosition { 0.0 };
    std::atomic<int> playerSampleRate { 44100 };
    std::atomic<int> playerChannels { 2 };
    std::atomic<std::int64_t> playerLength { 0 };

    /** The most frames the main-file road copies into the player. */
    std::int64_t maxPlayerFrames = 14400000;

    /** Twelve values the Korrupt engine writes; nothing here reads them. */
    std::array<std::atomic<float>, 12> korruptBandInputs;

    float animationTime = 0.0f;

    TavroFinalizerHUD* const hud;

    //==============================================================================
    // Audio-thread processing state. Public for the tests that pin its behaviour; nothing
    // outside the audio thread writes it.
    struct DspState
    {
        std::array<StereoBiquad, 5> eqBands;
        StereoBiquad dcFilter;
        std::array<float, 5> crossoverCoef {};
        std::array<float, 5> crossoverStateLeft {}, crossoverStateRight {};

        float densityEnvelope = 0.0f, articEnvelope = 0.0f, articPrevEnvelope = 0.0f;
        float residueState = 0.0f, motionPhase = 0.0f;

        float abovePhase = 0.0f, belowPhase = 0.0f;
        BiquadCoefficients aboveCoefs, belowCoefs;
        std::array<float, 4> aboveHistoryLeft {}, aboveHistoryRight {};
        std::array<float, 4> belowHistoryLeft {}, belowHistoryRight {};
        std::array<float, 2> aboveSmooth {}, aboveLowpass {}, belowSmooth {}, belowLowpass {};

        float midRms = 0.0f, sideRms = 0.0f;
        FinalizerFeatures features;
    };

    const DspState& audioState() const noexcept { return dsp; }

    void applyDistStage (float& left, float& right) noexcept;
    void applyAtomizeStage (float& left, float& right) noexcept;
    void makeCutCoefficients (float frequency, float cutDb, float q, BiquadCoefficients& coefficients) const noexcept;
    void extractFeatures (const float* left, const float* right, int numSamples) noexcept;

    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }
    double getProcessSampleRate() const noexcept { return processSampleRate.load (std::memory_order_relaxed); }

private:
    // The character stages' amounts, read once at the start of each block.
    struct BlockParams
    {
        float density = 0.3f, artic = 0.25f, residue = 0.2f, motion = 0.0f, above = 0.0f, below = 0.0f;
        float processRate = 48000.0f, atomizeRate = 48000.0f;
        float aboveGain = 1.0f, belowGain = 1.0f;
    };

    void designCut (float frequency, float a, float q, BiquadCoefficients& coefficients) const noexcept;

    void pullEqCoefficients() noexcept;
    void publishMeters() noexcept;
    void resetAudioState() noexcept;
    bool audioStateIsFinite() const noexcept;
    void tickPlayer();
    void feedHud();

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<double> processSampleRate { 48000.0 };

    DspState dsp;
    BlockParams blockParams;

    // Equaliser sets: the message thread publishes whole sets under the lock; the audio
    // thread only try-locks and keeps its last set when the lock is busy.
    mutable juce::SpinLock eqLock;
    std::array<BiquadCoefficients, 5> sharedEq;
    std::atomic<std::uint32_t> eqSequence { 0 };
    std::uint32_t eqSequenceSeen = 0;

    // Meters: the audio thread publishes under a try-lock, skipping a block when busy.
    mutable juce::SpinLock meterLock;
    FinalizerMeters sharedMeters;

    // Player samples: replaced whole on the message thread, read by the render while it
    // holds the try-lock.
    struct PlayerData
    {
        std::vector<float> samples;
        int channels = 2;
        std::int64_t length = 0;
    };
    juce::SpinLock playerLock;
    std::unique_ptr<PlayerData> playerData;
    std::atomic<bool> playerHasSamples { false };
    std::atomic<bool> playerEnded { false };
    std::atomic<std::uint32_t> renderCalls { 0 };
    std::uint32_t renderCallsSeen = 0;

    TavroAI::AIEngine aiEngine;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TavroFinalizer)
};
