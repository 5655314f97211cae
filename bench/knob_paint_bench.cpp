// Message-thread cost of the MathControl face at its busiest (100 %: flickering letters, formulas
// and sparks), one animation tick and one full paint into an image per frame, at the two knob
// sizes of the main window. Reported against the 33 ms frame period.

#include "BenchSupport.h"

#include "knobs/MathControlKnob.h"

#include <algorithm>

namespace
{
    void BM_Paint_MathControl (benchmark::State& state)
    {
        const int side = (int) state.range (0);
        MathControlKnob knob;
        knob.stopTimer();
        knob.setSize (side, side);
        knob.slider.setValue (100.0, juce::dontSendNotification);

        juce::Image image (juce::Image::ARGB, side, side, true);
        double worst = 0.0, total = 0.0;
        int frames = 0;

        for (auto _ : state)
        {
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
}

BENCHMARK (BM_Paint_MathControl)->Arg (65)->Arg (90)->Iterations (300)->UseManualTime();
