#include "BenchSupport.h"

#include "platform/Fonts.h"

#include <benchmark/benchmark.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <string>

namespace
{
    /** What the report prints under its table, beside what Google Benchmark records itself. */
    void addReportContext()
    {
        benchmark::AddCustomContext ("measuring_core", std::to_string (bench::measuringCore()));
       #if defined (__clang__)
        benchmark::AddCustomContext ("compiler", "clang " __clang_version__);
       #else
        benchmark::AddCustomContext ("compiler", "GCC " __VERSION__);
       #endif
       #if defined (JUCE_DSP_USE_SHARED_FFTW) && JUCE_DSP_USE_SHARED_FFTW
        benchmark::AddCustomContext ("fft_engine", "FFTW (shared, loaded at run time when present)");
       #else
        benchmark::AddCustomContext ("fft_engine", "JUCE fallback");
       #endif
    }
}

int main (int argc, char** argv)
{
    // Settle the measuring core before JUCE starts its threads, while the process is still
    // where it was started (or where taskset put it).
    bench::measuringCore();

    juce::ScopedJuceInitialiser_GUI juce;
    platform::installDefaultLookAndFeel();

    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    addReportContext();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platform::removeDefaultLookAndFeel();
    return 0;
}
