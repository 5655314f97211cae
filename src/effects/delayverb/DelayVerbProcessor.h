#pragma once

#include "dsp/OnePole.h"
#include "effects/EffectProcessor.h"
#include "effects/delayverb/DelayVerbParameters.h"

#include <array>
#include <atomic>
#include <limits>
#include <vector>

/** The DelayVerb's sound: a stereo delay with a wobbling read position, a low-pass and
    high-pass in its feedback, cross-feed between its lines and a panned wet output, beside a
    reverb of a pre-delay, four damped combs, two all-passes and a width stage. Dry, delay and
    reverb are mixed per channel and each output sample ends in tanh, so it stays in [-1, 1].

    Parameters come from `parameters` (relaxed atomics), read once per block. `prepare` keeps what
    the lines hold: a second prepare at the same rate resumes the echoes and the tail, a new
    rate keeps the first samples of each line. */
class DelayVerbProcessor final : public EffectProcessor
{
public:
    /** Receives every processed block (the panel's spectrum display). */
    using OutputTap = EffectOutputTap;

    DelayVerbProcessor() = default;

    DelayVerbParameters parameters;

    /** Any thread; null removes the tap. */
    void setOutputTap (OutputTap* newTap) noexcept { tap.store (newTap, std::memory_order_release); }

    void prepare (double sampleRate, int maximumBlockSize) override;
    void reset() override;
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;

    /** Not bypassed and any of the four mixes above 0.01. */
    bool isActive() const noexcept override;

    /** The larger of the D L (D R) knob and the delay-mix offsets: the offsets act as a floor. */
    float getDelayLeftMix() const noexcept;
    float getDelayRightMix() const noexcept;

    /** The R L (R R) knob plus the reverb-mix offsets, clamped to 0..100. */
    float getReverbLeftMix() const noexcept;
    float getReverbRightMix() const noexcept;

    /** The delay time tempo, NOTE and TYPE give; 250 ms without a tempo. */
    float getSyncedDelayMs() const noexcept;

    /** The randomiser's offsets as smoothed so far: [0] time, [1] feedback, [2] delay mix,
        [3] reverb mix. Written by the audio thread once per processed block. */
    float getRandomiserOffset (int index) const noexcept;

    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }

    /** Line lengths in samples (0 before the first prepare). */
    int getDelayLineLength() const noexcept { return (int) delayLine[0].size(); }
    int getPreDelayLength() const noexcept  { return (int) preDelay[0].size(); }
    int getCombLength (int k) const noexcept    { return (int) comb[0][(size_t) k].size(); }
    int getAllpassLength (int j) const noexcept { return (int) allpass[0][(size_t) j].size(); }

    /** True when no line holds a NaN or an infinity. */
    bool linesAreFinite() const noexcept;

    /** An index into a line of `length` samples, for -2 * length <= index < 2 * length: a
        compare or two and an add or subtract, the same result as a remainder there. (The
        delay's read reaches below -length: a delay of length - 1 less a forward wobble.) */
    static int wrapIndex (int index, int length) noexcept
    {
        if (index < 0)
        {
            index += length;
            return index < 0 ? index + length : index;
        }
        return index >= length ? index - length : index;
    }

    /** The combs' feedback for a DECAY (s) and SIZE (%): it grows with both and stops at 0.92. */
    static float combFeedback (float decaySeconds, float sizePercent) noexcept;

    static constexpr int numCombs = 4, numAllpasses = 2;

private:
    struct BlockSettings;

    BlockSettings readSettings() noexcept;
    float knobValue (DelayVerbParameters::Knob k) const noexcept;
    float offset (const std::atomic<float>& value) const noexcept;
    void smoothRandomiserOffsets() noexcept;
    void processSamples (float* left, float* right, int numSamples, const BlockSettings& s) noexcept;
    void clearPositionsAndFilters() noexcept;

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<OutputTap*> tap { nullptr };

    // Written by the audio thread once per block, read by the mix getters anywhere.
    std::array<std::atomic<float>, 4> randomiserOffsets {};

    // Audio thread (and prepare / reset) only.
    std::array<std::vector<float>, 2> delayLine, preDelay;
    std::array<std::array<std::vector<float>, numCombs>, 2> comb;
    std::array<std::array<std::vector<float>, numAllpasses>, 2> allpass;

    std::array<int, 2> delayWriteIndex {};
    int preDelayWriteIndex = 0;
    std::array<int, numCombs> combIndex {};
    std::array<int, numAllpasses> allpassIndex {};

    using Lowpass = dsp::OnePoleLowpass<dsp::OnePoleForm::increment>;
    std::array<Lowpass, 2> feedbackLowpass {};
    std::array<dsp::DcBlocker, 2> feedbackHighpass {};
    std::array<std::array<Lowpass, numCombs>, 2> combDamp {};
    float modPhase = 0.0f;

    // The pan's cosine and sine, worked out again only when the pan changes.
    float cachedPan = std::numeric_limits<float>::quiet_NaN();
    float panCos = 1.0f, panSin = 0.0f;
};
