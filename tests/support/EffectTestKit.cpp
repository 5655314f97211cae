#include "support/EffectTestKit.h"

#include "support/RealtimeTrap.h"

#include "effects/EffectProcessor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <sstream>

namespace effect_kit
{
    namespace
    {
        // Deterministic noise independent of any generator the effect itself may use.
        struct Lcg
        {
            std::uint32_t state;
            float next() noexcept   // uniform in [-1, 1)
            {
                state = state * 1664525u + 1013904223u;
                return (float) (state >> 8) / 8388608.0f - 1.0f;
            }
        };

        std::vector<Variant> variantsOf (const EffectAdapter& fx)
        {
            if (! fx.variants.empty())
                return fx.variants;

            return { { "", [] {} } };
        }

        void select (const Variant& v)
        {
            if (v.select)
                v.select();
        }

        juce::String label (const EffectAdapter& fx, const Variant& v)
        {
            return v.name.isEmpty() ? fx.name : fx.name + " " + v.name;
        }

        /** First sample that is non-finite or outside the bound, as text; empty when none. */
        std::string findOutOfBound (const juce::AudioBuffer<float>& buffer, float bound)
        {
            for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            {
                const auto* data = buffer.getReadPointer (ch);
                for (int i = 0; i < buffer.getNumSamples(); ++i)
                {
                    if (! std::isfinite (data[i]) || std::abs (data[i]) > bound)
                    {
                        std::ostringstream s;
                        s << "channel " << ch << " sample " << i << " = " << data[i] << " (bound " << bound << ")";
                        return s.str();
                    }
                }
            }

            return {};
        }

        float largestJumpInside (const juce::AudioBuffer<float>& block)
        {
            float largest = 0.0f;
            for (int ch = 0; ch < block.getNumChannels(); ++ch)
            {
                const auto* data = block.getReadPointer (ch);
                for (int i = 1; i < block.getNumSamples(); ++i)
                    largest = std::max (largest, std::abs (data[i] - data[i - 1]));
            }

            return largest;
        }

        /** Jump from the last sample of one block to the first of the next. */
        float jumpAcross (const juce::AudioBuffer<float>& before, const juce::AudioBuffer<float>& after)
        {
            float largest = 0.0f;
            for (int ch = 0; ch < std::min (before.getNumChannels(), after.getNumChannels()); ++ch)
                largest = std::max (largest, std::abs (after.getSample (ch, 0) - before.getSample (ch, before.getNumSamples() - 1)));

            return largest;
        }

        float largestDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
        {
            float largest = 0.0f;
            for (int ch = 0; ch < a.getNumChannels(); ++ch)
                for (int i = 0; i < a.getNumSamples(); ++i)
                    largest = std::max (largest, std::abs (a.getSample (ch, i) - b.getSample (ch, i)));

            return largest;
        }

        std::string number (double v)
        {
            std::ostringstream s;
            s << v;
            return s.str();
        }

        // The parameters, then the knobs in the form the kit moves them.
        std::vector<Parameter> withKnobs (std::vector<Parameter> all, const std::vector<juce::Slider*>& knobs)
        {
            for (auto* knob : knobs)
                all.push_back (sliderParameter (*knob));
            return all;
        }

        std::vector<Parameter> continuousParametersOf (const EffectAdapter& fx)
        {
            if (fx.continuousParameters.empty() && fx.continuousKnobs.empty())
                return parametersOf (fx);

            return withKnobs (fx.continuousParameters, fx.continuousKnobs);
        }
    }

    //==============================================================================
    double Parameter::valueAt (double proportion) const
    {
        if (valueAtProportion)
            return valueAtProportion (proportion);

        return minimum + (maximum - minimum) * proportion;
    }

    Parameter sliderParameter (juce::Slider& knob)
    {
        Parameter p;
        p.name = knob.getName();
        p.minimum = knob.getMinimum();
        p.maximum = knob.getMaximum();
        p.set = [&knob] (double value) { setKnob (knob, value); };
        p.get = [&knob] { return knob.getValue(); };
        p.valueAtProportion = [&knob] (double proportion) { return knob.proportionOfLengthToValue (proportion); };
        return p;
    }

    EffectAdapter processorAdapter (const juce::String& name, EffectProcessor& processor)
    {
        EffectAdapter fx;
        fx.name = name;
        fx.prepare = [&processor] (double sampleRate, int maxBlockSize) { processor.prepare (sampleRate, maxBlockSize); };
        fx.process = [&processor] (juce::AudioBuffer<float>& buffer) { processor.process (buffer, 0, buffer.getNumSamples()); };
        return fx;
    }

    //==============================================================================
    void Report::fail (std::string what)
    {
        failures.push_back (std::move (what));
    }

    std::string Report::summary (size_t maxLines) const
    {
        std::ostringstream s;
        s << failures.size() << " failure(s) in " << casesRun << " case(s)";
        for (size_t i = 0; i < std::min (maxLines, failures.size()); ++i)
            s << "\n  " << failures[i];
        if (failures.size() > maxLines)
            s << "\n  ...";
        return s.str();
    }

    //==============================================================================
    const std::vector<InputKind>& allInputKinds()
    {
        static const std::vector<InputKind> kinds { InputKind::silence, InputKind::noise, InputKind::nan,
                                                    InputKind::positiveInfinity, InputKind::negativeInfinity,
                                                    InputKind::positiveHuge, InputKind::negativeHuge,
                                                    InputKind::denormal };
        return kinds;
    }

    const char* describe (InputKind kind)
    {
        switch (kind)
        {
            case InputKind::silence:           return "silence";
            case InputKind::noise:             return "full-scale noise";
            case InputKind::nan:               return "NaN";
            case InputKind::positiveInfinity:  return "+Inf";
            case InputKind::negativeInfinity:  return "-Inf";
            case InputKind::positiveHuge:      return "+1e6";
            case InputKind::negativeHuge:      return "-1e6";
            case InputKind::denormal:          return "denormals";
        }

        return "?";
    }

    void fillInput (juce::AudioBuffer<float>& buffer, InputKind kind, std::uint32_t seed)
    {
        Lcg random { seed * 2654435761u + 1u };

        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        {
            auto* data = buffer.getWritePointer (ch);
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                switch (kind)
                {
                    case InputKind::silence:          data[i] = 0.0f; break;
                    case InputKind::noise:            data[i] = random.next(); break;
                    case InputKind::nan:              data[i] = std::numeric_limits<float>::quiet_NaN(); break;
                    case InputKind::positiveInfinity: data[i] = std::numeric_limits<float>::infinity(); break;
                    case InputKind::negativeInfinity: data[i] = -std::numeric_limits<float>::infinity(); break;
                    case InputKind::positiveHuge:     data[i] = 1.0e6f; break;
                    case InputKind::negativeHuge:     data[i] = -1.0e6f; break;
                    case InputKind::denormal:
                        data[i] = ((i & 1) != 0 ? -1.0f : 1.0f) * ((i & 2) != 0 ? 1.0e-44f : 1.0e-40f);
                        break;
                }
            }
        }
    }

    void fillSine (juce::AudioBuffer<float>& buffer, double sampleRate, float frequency, float level,
                   std::int64_t startSample)
    {
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                const auto n = (double) (startSample + i);
                buffer.setSample (ch, i, level * (float) std::sin (juce::MathConstants<double>::twoPi * frequency * n / sampleRate));
            }
    }

    //==============================================================================
    std::vector<Setting> standardSettings()
    {
        return { { "minimum", SettingKind::minimum, 0 },
                 { "maximum", SettingKind::maximum, 0 },
                 { "random 1", SettingKind::random, 1 },
                 { "random 2", SettingKind::random, 2 },
                 { "random 3", SettingKind::random, 3 } };
    }

    void setKnob (juce::Slider& knob, double value)
    {
        knob.setValue (value, juce::sendNotificationSync);
    }

    std::vector<Parameter> parametersOf (const EffectAdapter& fx)
    {
        return withKnobs (fx.parameters, fx.knobs);
    }

    void applySetting (const EffectAdapter& fx, const Setting& setting)
    {
        juce::Random random ((juce::int64) setting.seed * 7919 + 17);

        for (const auto& parameter : parametersOf (fx))
        {
            switch (setting.kind)
            {
                case SettingKind::minimum: parameter.set (parameter.minimum); break;
                case SettingKind::maximum: parameter.set (parameter.maximum); break;
                case SettingKind::random:  parameter.set (parameter.valueAt (random.nextDouble())); break;
            }
        }
    }

    //==============================================================================
    void processInBlocks (const EffectAdapter& fx, juce::AudioBuffer<float>& buffer, int blockSize)
    {
        for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
        {
            const int n = std::min (blockSize, buffer.getNumSamples() - start);
            // Refers to the caller's memory; the channel pointers fit the buffer's own small array.
            juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), start, n);
            fx.process (view);
        }
    }

    float peakOrInfinity (const juce::AudioBuffer<float>& buffer)
    {
        float peak = 0.0f;
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                const auto v = buffer.getSample (ch, i);
                if (! std::isfinite (v))
                    return std::numeric_limits<float>::infinity();
                peak = std::max (peak, std::abs (v));
            }

        return peak;
    }

    //==============================================================================
    Report checkRobustness (const EffectAdapter& fx, const RobustnessOptions& options)
    {
        Report report;
        const int largestBlock = *std::max_element (options.blockSizes.begin(), options.blockSizes.end());

        std::map<int, juce::AudioBuffer<float>> buffers;
        for (auto size : options.blockSizes)
            buffers[size].setSize (2, size);

        std::uint32_t seed = 1;

        for (const auto& variant : variantsOf (fx))
        {
            for (auto sampleRate : options.sampleRates)
            {
                fx.prepare (sampleRate, largestBlock);

                for (const auto& setting : options.settings)
                {
                    select (variant);
                    applySetting (fx, setting);

                    for (auto input : options.inputs)
                    {
                        for (auto size : options.blockSizes)
                        {
                            auto& buffer = buffers[size];
                            const auto where = label (fx, variant).toStdString() + " at " + number (sampleRate)
                                             + " Hz, " + setting.name.toStdString() + ", " + describe (input)
                                             + ", block " + std::to_string (size) + ": ";
                            ++report.casesRun;

                            fillInput (buffer, input, ++seed);
                            fx.process (buffer);
                            if (auto bad = findOutOfBound (buffer, fx.outputBound); ! bad.empty())
                                report.fail (where + bad);

                            // A bad block must not poison the state the next one starts from.
                            fillInput (buffer, InputKind::noise, ++seed);
                            buffer.applyGain (0.5f);
                            fx.process (buffer);
                            if (auto bad = findOutOfBound (buffer, fx.outputBound); ! bad.empty())
                                report.fail (where + "following normal block: " + bad);
                        }
                    }
                }
            }
        }

        return report;
    }

    Report checkSilence (const EffectAdapter& fx, const SilenceOptions& options)
    {
        Report report;
        juce::AudioBuffer<float> buffer (2, options.blockSize);

        for (const auto& variant : variantsOf (fx))
        {
            for (auto sampleRate : options.sampleRates)
            {
                fx.prepare (sampleRate, options.blockSize);
                select (variant);
                if (fx.neutral)
                    fx.neutral();

                ++report.casesRun;
                for (int block = 0; block < options.blocks; ++block)
                {
                    buffer.clear();
                    fx.process (buffer);
                    if (const auto peak = peakOrInfinity (buffer); peak != 0.0f)
                    {
                        report.fail (label (fx, variant).toStdString() + " at " + number (sampleRate) + " Hz: block "
                                     + std::to_string (block) + " of silence gives peak " + number (peak));
                        break;
                    }
                }
            }
        }

        return report;
    }

    Report checkRealtime (const EffectAdapter& fx, const RealtimeOptions& options)
    {
        Report report;
        if (! testing_rt::trapAvailable())
            return report;

        std::map<int, juce::AudioBuffer<float>> buffers;
        for (auto size : options.blockSizes)
            buffers[size].setSize (2, size);

        juce::AudioBuffer<float> warmUp (2, options.preparedBlockSize);

        std::vector<Setting> settings { { "as set", SettingKind::minimum, 0 } };
        settings.insert (settings.end(), options.settings.begin(), options.settings.end());

        for (const auto& variant : variantsOf (fx))
        {
            for (size_t s = 0; s < settings.size(); ++s)
            {
                fx.prepare (options.sampleRate, options.preparedBlockSize);
                select (variant);
                if (s > 0)
                    applySetting (fx, settings[s]);

                fillInput (warmUp, InputKind::noise, 3);
                fx.process (warmUp);

                for (auto& entry : buffers)
                    fillInput (entry.second, InputKind::noise, (std::uint32_t) entry.first);

                ++report.casesRun;
                testing_rt::Counts counts;
                {
                    testing_rt::RealtimeScope scope;
                    for (auto& entry : buffers)
                        fx.process (entry.second);
                    counts = scope.counts();
                }

                if (! counts.clean())
                    report.fail (label (fx, variant).toStdString() + ", " + settings[s].name.toStdString() + ": "
                                 + std::to_string (counts.allocations) + " allocation(s), "
                                 + std::to_string (counts.releases) + " release(s), "
                                 + std::to_string (counts.locks) + " lock(s)");
            }
        }

        return report;
    }

    //==============================================================================
    Report checkSmoothness (const EffectAdapter& fx, const SmoothnessOptions& options)
    {
        Report report;
        const auto parameters = continuousParametersOf (fx);
        const int size = options.blockSize;
        const int values = std::max (2, options.values);
        const auto allowed = [&options] (float allowance) { return allowance * (1.0f + options.relativeSlack) + options.absoluteSlack; };

        juce::AudioBuffer<float> previous (2, size), current (2, size);
        std::vector<juce::AudioBuffer<float>> steady ((size_t) values, juce::AudioBuffer<float> (2, size));
        std::vector<float> steadyJump ((size_t) values);

        const auto reset = [&] (const Variant& variant)
        {
            fx.prepare (options.sampleRate, size);
            if (options.baseSetting)
                options.baseSetting();
            select (variant);
        };

        for (const auto& variant : variantsOf (fx))
        {
            for (const auto& parameter : parameters)
            {
                const auto original = parameter.get();
                const auto where = label (fx, variant).toStdString() + ", " + parameter.name.toStdString();
                ++report.casesRun;

                const auto valueAt = [&] (int k) { return parameter.valueAt ((double) k / (values - 1)); };

                // Steady runs: the same input from the same start at each value, so the last
                // blocks line up sample for sample.
                for (int k = 0; k < values; ++k)
                {
                    reset (variant);
                    parameter.set (valueAt (k));

                    float edgeJump = 0.0f, insideJump = 0.0f;
                    for (int block = 0; block <= options.settleBlocks; ++block)
                    {
                        fillSine (current, options.sampleRate, options.frequency, options.level, (std::int64_t) block * size);
                        fx.process (current);

                        if (block >= options.settleBlocks - 2)
                        {
                            insideJump = std::max (insideJump, largestJumpInside (current));
                            if (block > options.settleBlocks - 2)
                                edgeJump = std::max (edgeJump, jumpAcross (previous, current));
                        }

                        previous.makeCopyOf (current, true);
                    }

                    steady[(size_t) k].makeCopyOf (current, true);
                    steadyJump[(size_t) k] = largestJumpInside (current);

                    if (edgeJump > allowed (insideJump))
                        report.fail (where + " standing at " + number (valueAt (k)) + ": jump " + number (edgeJump)
                                     + " at a block edge, only " + number (insideJump) + " inside blocks");
                }

                // The stepping run: one new value per block after settling at the first.
                reset (variant);
                parameter.set (valueAt (0));
                for (int block = 0; block < options.settleBlocks; ++block)
                {
                    fillSine (current, options.sampleRate, options.frequency, options.level, (std::int64_t) block * size);
                    fx.process (current);
                    previous.makeCopyOf (current, true);
                }

                for (int k = 1; k < values; ++k)
                {
                    parameter.set (valueAt (k));
                    const auto block = options.settleBlocks + k - 1;
                    fillSine (current, options.sampleRate, options.frequency, options.level, (std::int64_t) block * size);
                    fx.process (current);

                    auto allowance = std::max (steadyJump[(size_t) k - 1], steadyJump[(size_t) k]);
                    if (! fx.smoothsKnobs)
                        allowance += largestDifference (steady[(size_t) k - 1], steady[(size_t) k]);
                    if (options.extraStepAllowance)
                        allowance += options.extraStepAllowance (parameter, valueAt (k - 1), valueAt (k),
                                                                 peakOrInfinity (steady[(size_t) k - 1]));

                    const auto jump = std::max (jumpAcross (previous, current), largestJumpInside (current));
                    if (jump > allowed (allowance))
                        report.fail (where + " stepping " + number (valueAt (k - 1)) + " -> " + number (valueAt (k))
                                     + ": jump " + number (jump) + ", allowed " + number (allowed (allowance)));

                    previous.makeCopyOf (current, true);
                }

                parameter.set (original);
            }
        }

        return report;
    }
}
