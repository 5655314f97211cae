#pragma once

#include "dsp/Biquad.h"
#include "dsp/OnePole.h"
#include "effects/EffectProcessor.h"

#include <array>
#include <atomic>

/** What the Distortion Suite's sound reads, as relaxed atomics any thread may store whole: one
    value per knob in the panel's knob order (IN to WIDE, then THRS to SHPE), which the panel's
    knobs mirror into on every change, plus the mode, the bypass and the offsets other
    subsystems write. */
struct DistortionSuiteParameters
{
    enum Id
    {
        in, drive, mix, out, sym, offs, edge, knee, even, odd, hpf, pres,
        bits, rate, jitr, dthr, filt, res, drft, wide,
        thrs, rat, atk, rel, mkup, sat, schp, sclp, link, lim, shpe,
        count
    };

    std::array<std::atomic<float>, count> values {};

    /** 0 Distorter, 1 Bitcrush, 2 Kompressor; any other value runs no kernel. */
    std::atomic<int> mode { 0 };

    /** process() returns at once while set. */
    std::atomic<bool> bypassed { false };

    /** Written by the Korrupt engine (tick and audio push) and the ToneMax coupling; the last
        writer wins. [0] drive offset, [1] bit-depth offset (nothing reads it), [2] mix floor in %. */
    std::array<std::atomic<float>, 3> korruptOffsets {};

    /** Targets of the parameter randomiser's crush group, approached by 0.001 of the remaining
        distance per processed block. [0] drive, [1] second offset (feeds nothing), [2] mix floor %. */
    std::array<std::atomic<float>, 3> randomiserOffsetTargets {};
};

/** The sound of the Distortion Suite: three alternative kernels (Distorter, Bitcrush,
    Kompressor) that share input gain, drive, mix and output level.

    The knob values are copied once at the start of each block into a plain Values set, from
    which everything the block needs is worked out.

    Threads: the parameters and the sample rate are atomics any thread may write. process() runs
    on the audio thread; everything it smooths or filters is its own. */
class DistortionSuiteProcessor final : public EffectProcessor
{
public:
    using Parameters = DistortionSuiteParameters;
    using ParameterId = Parameters::Id;

    /** The knob values as one block sees them. */
    struct Values
    {
        std::array<float, Parameters::count> values {};
        float operator[] (ParameterId id) const noexcept { return values[(size_t) id]; }
    };

    enum Mode { distorterMode = 0, bitcrushMode = 1, kompressorMode = 2 };

    struct ParameterInfo
    {
        const char* name;
        double minimum, maximum, defaultValue;
    };

    /** Name, range and default of every parameter, in Id order. */
    static const std::array<ParameterInfo, Parameters::count>& parameterInfo() noexcept;

    /** Every parameter at its default, the Distorter selected, not bypassed, at 44.1 kHz. */
    DistortionSuiteProcessor();

    //==============================================================================
    /** Sets the rate and clears the sound state; the block size needs no storage. */
    void prepare (double sampleRate, int maximumBlockSize) override;
    void reset() override;
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;

    /** Not bypassed and the MIX parameter itself above 0.01 (offsets do not count). */
    bool isActive() const noexcept override;

    //==============================================================================
    /** Stores the rate the processing uses; leaves every filter and envelope as it is. */
    void setSampleRate (double newSampleRate) noexcept { sampleRate.store (newSampleRate, std::memory_order_relaxed); }
    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }

    void setParameter (ParameterId id, float value) noexcept { parameters.values[(size_t) id].store (value, std::memory_order_relaxed); }
    float getParameter (ParameterId id) const noexcept { return parameters.values[(size_t) id].load (std::memory_order_relaxed); }

    /** The knob values as the next block will see them. */
    Values loadValues() const noexcept;

    /** 0 Distorter, 1 Bitcrush, 2 Kompressor; any other value runs no kernel. */
    void setMode (int newMode) noexcept { parameters.mode.store (newMode, std::memory_order_relaxed); }
    int getMode() const noexcept { return parameters.mode.load (std::memory_order_relaxed); }

    /** The smoothed randomiser offsets; owned by the audio thread (read them only while no
        block is being processed). */
    float getRandomiserOffset (int index) const noexcept { return randomiserOffsets[(size_t) index]; }

    Parameters parameters;

private:
    struct BlockParams;
    struct ChannelState
    {
        dsp::DcBlocker distHighpass;
        float distPresencePrev = 0.0f;

        float crushHeldSample = 0.0f, crushHoldPhase = 0.0f, crushDriftHeld = 0.0f;
        dsp::BiquadState<dsp::BiquadForm::directUnnormalised> crushLowpass;

        dsp::DcBlocker kompSidechainHighpass;
        dsp::OnePoleLowpass<dsp::OnePoleForm::increment> kompSidechainLowpass;
        float kompEnvelope = 0.0f, kompGain = 1.0f;
    };

    static constexpr int stateChannels = 2;

    static BlockParams blockParams (const Values&, double sampleRate) noexcept;
    static float processDistorterSample (float x, float drive, const BlockParams&, ChannelState&) noexcept;
    static float processBitcrushSample (float x, const BlockParams&, ChannelState&) noexcept;
    float processKompressorSample (float x, int channel, const BlockParams&) noexcept;

    std::atomic<double> sampleRate { 44100.0 };

    // Audio-thread state.
    std::array<float, 3> randomiserOffsets {};
    std::array<ChannelState, stateChannels> channelState {};

    static_assert (std::atomic<float>::is_always_lock_free);
    static_assert (std::atomic<double>::is_always_lock_free);

    JUCE_DECLARE_NON_COPYABLE (DistortionSuiteProcessor)
};
