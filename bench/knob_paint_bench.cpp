// Message-thread cost of the animated knob faces at their busiest, one animation tick and one
// full paint into an image per frame, at the two knob sizes of the main window. Reported
// against the 33 ms frame period. MathControl at 100 %: flickering letters, formulas and
// sparks. MetaControl at 100 % with its energy at the top, written before every tick as the
// owner does: every tendril branch, wave, particle and ray, the overload marks and the shaking
// rings.

#include "BenchSupport.h"

#include "knobs/MathControlKnob.h"
#include "knobs/MetaControlKnob.h"

#include <algorithm>

namespace
{
    /** Ticks and paints the knob once per iteration; prepare runs before each tick, untimed work
        of the owner's. */
    template <typename Knob, typename Prepare>
    void paintFrames (benchmark::State& state, Knob& knob, Prepare&& prepare)
    {
        const int side = (int) state.range (0);
        knob.stopTimer();
        knob.setSize (side, side);
        knob.slider.setValue (100.0, juce::dontSendNotification);

        juce::Image image (juce::Image::ARGB, side, side, true);
        double worst = 0.0, total = 0.0;
        int frames = 0;

        for (auto _ : state)
        {
            prepare();
            const auto start = bench::threadCpuMicros();
            knob.timerCallback();
            {
                juce::Graphics g (image);
                knob.paintEntireComponent (g, true);
            }
            const auto elapsed = bench::threadCpuMicros() - start;
            state.SetIterationTime (elapsed * 1.0e-6);
            worst = std::max (worst, elapsed);
            total += elapsed;
            ++frames;
        }

        const double mean = frames > 0 ? total / frames : 0.0;
        state.counters["mean_us"] = mean;
        state.counters["worst_us"] = worst;
        state.counters["frame_share"] = mean / 33000.0;
    }

    void BM_Paint_MathControl (benchmark::State& state)
    {
        MathControlKnob knob;
        paintFrames (state, knob, [] {});
    }

    void BM_Paint_MetaControl (benchmark::State& state)
    {
        MetaControlKnob knob;
        paintFrames (state, knob, [&knob] { knob.energy = 100.0f; });
    }
}

BENCHMARK (BM_Paint_MathControl)->Arg (65)->Arg (90)->Iterations (300)->UseManualTime();
BENCHMARK (BM_Paint_MetaControl)->Arg (65)->Arg (90)->Iterations (300)->UseManualTime();
