#include <benchmark/benchmark.h>

#include "platform/Fonts.h"

#include <juce_gui_basics/juce_gui_basics.h>

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    platform::installDefaultLookAndFeel();

    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platform::removeDefaultLookAndFeel();
    return 0;
}
