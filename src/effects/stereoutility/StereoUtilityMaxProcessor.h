#pragma once

#include "dsp/Biquad.h"
#include "effects/EffectProcessor.h"
#include "effects/stereoutility/StereoUtilityMaxParameters.h"

#include <array>
#include <atomic>
#include <vector>

/** The Stereo Utility Max's sound: a chain of eighteen stages over one stereo pair per sample
    (band split with per-band width, side dynamics, mid/side gains, centre extraction, rotation,
    level and time differences, fine delays, phase rotation, Haas delay, pitch spread, chorus,
    decorrelation, early reflections with a small diffusion network, balance, mono bass and the
    output), mixed into the dry signal with its own wet weight per channel.

    Parameters come from `parameters` (relaxed atomics), read once per block; every delay line is
    sized by `prepare` and indexed modulo its length. Every output sample is finite and within
    [-1, 1]. */
class StereoUtilityMaxProcessor final : public EffectProcessor
{
public:
    using Knob = StereoUtilityMaxParameters::Knob;

    /** Receives every processed block (the panel's spectrum display). Called on the audio
        thread with the processed left and right samples; must not allocate or wait. */
    struct OutputTap
    {
        virtual ~OutputTap() = default;
        virtual void outputBlock (const float* left, const float* right, int numSamples) noexcept = 0;
    };

    /** What a block works out from the knobs and the rate before its first sample: the delays
        in samples, the decorrelation offsets after folding into their lines, the cascade's
        section gain and the reflection taps. */
    struct Geometry
    {
        float timeDifferenceSamples = 0.0f;                // ITD, fractional
        float leftFineDelay = 0.0f, rightFineDelay = 0.0f; // |L DLY|, |R DLY| in samples
        int haasSamples = 1;
        std::array<float, 4> decorrelationBase {};         // sr x stage constant, unfolded
        std::array<int, 4> decorrelationLeft {}, decorrelationRight {};
        float decorrelationGain = 0.0f;
        float reflectionSpacing = 0.0f;                    // samples per unit of tap position
        std::array<int, 8> reflectionTaps {};
    };

    StereoUtilityMaxProcessor() = default;

    StereoUtilityMaxParameters parameters;

    /** The randomiser's offsets as smoothed so far, in knob units. Written by the audio thread
        once per processed block. */
    std::atomic<float> randomWidthOffset { 0.0f }, randomBalanceOffset { 0.0f }, randomMixOffset { 0.0f };

    /** Any thread; null removes the tap. */
    void setOutputTap (OutputTap* newTap) noexcept { tap.store (newTap, std::memory_order_release); }

    /** Sizes every line for the rate and clears all history; the offsets and knobs stay. */
    void prepare (double sampleRate, int maximumBlockSize) override;
    void reset() override;
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;

    /** Not bypassed and L MIX or R MIX itself above 0.01 (offsets do not count). */
    bool isActive() const noexcept override;

    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }

    /** The geometry the next block would use with the parameters as they stand. */
    Geometry currentGeometry() const noexcept;

    /** The wet weights (0..1 and beyond: offsets have no upper limit) and the width factor and
        balance the next block would use, offsets included. */
    float leftWetWeight() const noexcept;
    float rightWetWeight() const noexcept;
    float widthFactor() const noexcept;
    float balance() const noexcept;

    /** Line lengths in samples (0 before the first prepare). */
    int getFineDelayLength() const noexcept { return (int) fineDelayLine[0].size(); }
    int getDecorrelationLength (int stage) const noexcept { return (int) decorLine[0][(size_t) stage].size(); }

    /** The side-dynamics envelope as it stands after the last block. */
    float getSideEnvelope() const noexcept { return sideEnvelope; }

    /** True when no line or filter holds a NaN or an infinity. */
    bool stateIsFinite() const noexcept;

    static constexpr int numPhaseSections = 8, numDecorrelationStages = 4, numReflectionTaps = 8;

private:
    struct BlockSettings;
    struct Pair { float left, right; };

    BlockSettings readSettings() noexcept;
    void readDelaySettings (BlockSettings& s) const noexcept;
    void readSpaceSettings (BlockSettings& s) const noexcept;
    void smoothRandomiserOffsets() noexcept;
    void processSamples (float* left, float* right, int numSamples, const BlockSettings& s) noexcept;
    void clearState() noexcept;

    // Stages, in the order a sample passes them.
    Pair splitBands (Pair x, const BlockSettings& s) noexcept;
    float sideDynamics (float side, const BlockSettings& s) noexcept;
    static void extractCentre (float& mid, float& side, const BlockSettings& s) noexcept;
    float timeDifference (float right, const BlockSettings& s) noexcept;
    Pair fineDelays (Pair x, const BlockSettings& s) noexcept;
    Pair phaseRotation (Pair x, const BlockSettings& s) noexcept;
    float haasDelay (float right, const BlockSettings& s) noexcept;
    Pair pitchSpread (Pair x, const BlockSettings& s) noexcept;
    Pair chorus (Pair x, const BlockSettings& s) noexcept;
    Pair decorrelate (Pair x, const BlockSettings& s) noexcept;
    Pair earlyReflections (Pair x, const BlockSettings& s) noexcept;
    Pair monoBass (Pair x, const BlockSettings& s) noexcept;

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<OutputTap*> tap { nullptr };

    using Section = dsp::Biquad<dsp::BiquadForm::direct, 2>;

    // Audio thread (and prepare / reset) only.
    std::array<Section, 2> lowSplit, highSplit;   // two cascaded sections per split
    Section monoBassFilter;
    float sideEnvelope = 0.0f;

    std::vector<float> itdLine, haasLine;
    int itdWrite = 0, haasWrite = 0;

    struct Thiran { float y1 = 0.0f, x1 = 0.0f; };
    std::array<std::vector<float>, 2> fineDelayLine;
    std::array<int, 2> fineDelayWrite {};
    std::array<Thiran, 2> thiran {};

    std::array<std::array<Thiran, numPhaseSections>, 2> phaseState {};

    std::array<std::vector<float>, 2> pitchLine;
    int pitchWrite = 0;
    std::array<float, 2> pitchRead {};

    std::array<std::vector<float>, 2> chorusLine;
    int chorusWrite = 0;
    float chorusPhase = 0.0f;

    std::array<std::array<std::vector<float>, numDecorrelationStages>, 2> decorLine;
    std::array<int, numDecorrelationStages> decorWrite {};
    std::array<std::array<float, numDecorrelationStages>, 2> decorLast {};

    std::array<std::vector<float>, 2> earlyLine;
    int earlyWrite = 0;
    std::array<float, 4> fdnNodes {}, fdnDamp {};
};
