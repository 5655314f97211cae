#pragma once

// Shared checks for every effect of the chain, run offline on the test's (message) thread.
//
// An effect is described to the kit by an EffectAdapter: how to prepare it, how to process a
// stereo juce::AudioBuffer<float> in place, which parameters (name, range, setter) the kit may
// move, the effect's modes, its neutral setting and the bound its output stays within.
//
// The processor form drives an EffectProcessor and its parameter struct directly, no panel:
//
//     DistortionSuiteProcessor processor;
//     auto fx = effect_kit::processorAdapter ("Distortion", processor);
//     fx.parameters.push_back ({ "DRIVE", 0.0, 16.0,
//                                [&] (double v) { processor.setParameter (Id::drive, (float) v); },
//                                [&] { return (double) processor.getParameter (Id::drive); } });
//     fx.variants = { { "Distorter", [&] { processor.setMode (0); } }, ... };
//     fx.neutral = [&] { processor.setParameter (Id::mix, 0.0f); };
//     fx.outputBound = 4.0f;
//
//     auto report = effect_kit::checkRobustness (fx);
//     EXPECT_TRUE (report.ok()) << report.summary();
//
// Panel-level checks list knobs instead (plain juce::Slider pointers, set through the slider
// API so the audio mirrors follow); the kit moves them through sliderParameter:
//
//     effect_kit::EffectAdapter fx;
//     fx.name = "Distortion";
//     fx.prepare = [&] (double sr, int) { suite.prepare (sr); };
//     fx.process = [&] (juce::AudioBuffer<float>& b) { suite.process (b); };
//     fx.knobs = { &suite.inKnob, &suite.driveKnob, ... };
//
// An effect that processes through pointers is wrapped the same way:
//
//     fx.process = [&] (juce::AudioBuffer<float>& b)
//                  { atomizer.process (b.getWritePointer (0), b.getWritePointer (1), b.getNumSamples()); };
//
// Each check takes an options struct whose defaults are the standard table (rates 44.1, 48 and
// 96 kHz; blocks of 1, 64, 512 and 4096); a test narrows or widens it where the effect needs.
// The helpers below (setKnob, applySetting, fillInput, fillSine, processInBlocks) are there for
// an effect's own tests too.
//
// The checks:
//  - checkRobustness: for every variant, sample rate, setting (every parameter at minimum, at
//    maximum, three fixed random sets) and input (silence, full-scale noise, NaN, +-Inf, +-1e6,
//    denormals), processed at every block size: every output sample is finite and within
//    outputBound, and the normal block that follows each input is too.
//  - checkSilence: in the neutral setting, silence in gives exact silence out.
//  - checkRealtime: after one warm-up block, processing blocks of 64 and 512 and one longer
//    than prepared allocates nothing and takes no lock (tests/support/RealtimeTrap.h).
//  - checkSmoothness: each continuous parameter is stepped through 10 values, one per 512-sample
//    block, on a steady sine. A jump between two output samples may not exceed what the
//    effect does when the knob stands still (steady runs at each of the 10 values), plus, for
//    effects that apply knob changes at once, the difference between the steady outputs at the
//    old and the new value. With the knob standing still, the jumps at block edges may not
//    exceed the jumps inside blocks (catches per-block restarts of oscillators and filters).
//    A test may add a known immediate effect of a step (see SmoothnessOptions).
//
// Every check returns a Report listing what failed, so a test can print it.

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class EffectProcessor;

namespace effect_kit
{
    //==============================================================================
    /** One setting the kit may move: a processor parameter, or a knob through sliderParameter. */
    struct Parameter
    {
        juce::String name;
        double minimum = 0.0, maximum = 1.0;
        std::function<void (double)> set;
        std::function<double()> get;

        /** The value at a proportion of the range; linear when empty. */
        std::function<double (double proportion)> valueAtProportion;

        double valueAt (double proportion) const;
    };

    /** The thin adapter for panel-level checks: a knob as a parameter, set through the slider
        API (synchronous notification, so the mirror follows), with the slider's own skew. */
    Parameter sliderParameter (juce::Slider& knob);

    //==============================================================================
    /** A mode or other discrete variant of an effect; select() is called before each case. */
    struct Variant
    {
        juce::String name;
        std::function<void()> select;
    };

    struct EffectAdapter
    {
        juce::String name;

        /** Called with the sample rate and the largest block the kit will process normally. */
        std::function<void (double sampleRate, int maxBlockSize)> prepare;

        /** Processes a stereo block in place. */
        std::function<void (juce::AudioBuffer<float>&)> process;

        /** Every parameter the settings table moves: these, then the knobs. */
        std::vector<Parameter> parameters;
        std::vector<juce::Slider*> knobs;

        /** Parameters and knobs the smoothness check steps; both empty means every one above. */
        std::vector<Parameter> continuousParameters;
        std::vector<juce::Slider*> continuousKnobs;

        /** Modes to run every check in; empty means the effect as it is. */
        std::vector<Variant> variants;

        /** Puts the effect in the setting in which it must leave silence silent. */
        std::function<void()> neutral;

        /** Every output sample must satisfy |y| <= outputBound. */
        float outputBound = 1.0f;

        /** True when the effect glides to new knob values itself; then a knob step may not
            jump further than the effect moves while the knob stands still. False for effects
            that apply a new value at once: the step may then also add the difference between
            the steady outputs at the old and the new value. */
        bool smoothsKnobs = false;
    };

    /** The processor form: prepare and process go straight to the processor (which must
        outlive the adapter); the test adds the parameters, variants and neutral setting. */
    EffectAdapter processorAdapter (const juce::String& name, EffectProcessor& processor);

    //==============================================================================
    struct Report
    {
        std::vector<std::string> failures;
        int casesRun = 0;

        bool ok() const noexcept { return failures.empty(); }
        void fail (std::string what);

        /** The first few failures, one a line, and how many there were in all. */
        std::string summary (size_t maxLines = 20) const;
    };

    //==============================================================================
    enum class InputKind { silence, noise, nan, positiveInfinity, negativeInfinity, positiveHuge, negativeHuge, denormal };

    const std::vector<InputKind>& allInputKinds();
    const char* describe (InputKind kind);

    /** Fills every channel: noise is uniform in [-1, 1) from the seed, huge is +-1e6,
        denormal alternates +-1e-40 and +-1e-44. */
    void fillInput (juce::AudioBuffer<float>& buffer, InputKind kind, std::uint32_t seed = 1);

    /** A sine of the given frequency and level in every channel, continuing from startSample. */
    void fillSine (juce::AudioBuffer<float>& buffer, double sampleRate, float frequency, float level,
                   std::int64_t startSample = 0);

    //==============================================================================
    enum class SettingKind { minimum, maximum, random };

    struct Setting
    {
        juce::String name;
        SettingKind kind = SettingKind::minimum;
        std::uint32_t seed = 0;
    };

    /** Minimum, maximum and three fixed random sets. */
    std::vector<Setting> standardSettings();

    /** Sets a knob through the slider API (synchronous notification, so the mirror follows). */
    void setKnob (juce::Slider& knob, double value);

    /** Every parameter the adapter lists, the knobs included. */
    std::vector<Parameter> parametersOf (const EffectAdapter& fx);

    void applySetting (const EffectAdapter& fx, const Setting& setting);

    //==============================================================================
    /** Runs the whole buffer through the effect in blocks of blockSize without allocating. */
    void processInBlocks (const EffectAdapter& fx, juce::AudioBuffer<float>& buffer, int blockSize);

    /** Largest |sample| of the buffer; infinity when any sample is not finite. */
    float peakOrInfinity (const juce::AudioBuffer<float>& buffer);

    //==============================================================================
    struct RobustnessOptions
    {
        std::vector<double> sampleRates { 44100.0, 48000.0, 96000.0 };
        std::vector<int> blockSizes { 1, 64, 512, 4096 };
        std::vector<Setting> settings = standardSettings();
        std::vector<InputKind> inputs = allInputKinds();
    };

    Report checkRobustness (const EffectAdapter& fx, const RobustnessOptions& options = {});

    struct SilenceOptions
    {
        std::vector<double> sampleRates { 44100.0, 48000.0, 96000.0 };
        int blockSize = 512;
        int blocks = 8;
    };

    Report checkSilence (const EffectAdapter& fx, const SilenceOptions& options = {});

    struct RealtimeOptions
    {
        double sampleRate = 48000.0;
        int preparedBlockSize = 512;
        std::vector<int> blockSizes { 64, 512, 1024 };   // the last is longer than prepared

        /** Checked after the knobs as they stand when the check starts. */
        std::vector<Setting> settings { { "maximum", SettingKind::maximum, 0 }, { "random 1", SettingKind::random, 1 } };
    };

    /** Skipped (reported ok, with casesRun 0) where the allocation trap is not available. */
    Report checkRealtime (const EffectAdapter& fx, const RealtimeOptions& options = {});

    struct SmoothnessOptions
    {
        double sampleRate = 48000.0;
        int blockSize = 512;
        int values = 10;
        int settleBlocks = 6;
        float frequency = 220.0f;
        float level = 0.5f;

        /** A jump may exceed its allowance by this factor plus absoluteSlack. */
        float relativeSlack = 0.25f;
        float absoluteSlack = 1.0e-4f;

        /** Called before each knob's runs, e.g. to set the other knobs to a base setting. */
        std::function<void()> baseSetting;

        /** Further jump a step may make, for parameters whose immediate effect the steady outputs
            do not bound (a gain applied at once in front of a stage that follows the level
            slowly). Gets the parameter, the old and new value and the peak of the steady output
            at the old one. */
        std::function<float (const Parameter& parameter, double from, double to, float steadyPeak)> extraStepAllowance;
    };

    Report checkSmoothness (const EffectAdapter& fx, const SmoothnessOptions& options = {});
}
