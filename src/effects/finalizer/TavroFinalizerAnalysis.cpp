#include "effects/finalizer/TavroFinalizer.h"

juce::String TavroFinalizer::describeSignalCharacter (const FinalizerFeatures& f)
{
    if ((f.rmsLeft + f.rmsRight) * 0.5f < 0.0001f)
        return "Waiting for audio...";

    // Whole numbers are cut toward zero, as the labels are read at a glance.
    const auto whole = [] (float v) { return juce::String ((int) v); };

    juce::String text;
    text << "Avg RMS: " << juce::String (f.integratedLevelDb, 1) << " dB\n"
         << "Lo:" << whole (f.narrowDb) << " Mid:" << whole (f.mediumDb) << " Hi:" << whole (f.wideDb) << " dB\n"
         << "L:" << whole (f.leftPanPercent) << "% C:" << whole (f.centrePercent) << "% R:" << whole (f.rightPanPercent) << "%\n";

    if (f.clipping)
        text << "CLIPPING!\n";
    if (f.phaseProblem)
        text << "MONO UNSAFE (r=" << juce::String (f.correlation, 2) << ")\n";
    if (f.dcOffset)
        text << "DC offset detected\n";

    if (f.overCompressed)
        text << "Over-compressed\n";
    else if (f.crestDb > 18.0f)
        text << "Very dynamic\n";

    if (f.sideToMidRatio < 0.3f)
        text << "Narrow/Mono\n";
    else if (f.sideToMidRatio > 1.5f)
        text << "Wide stereo\n";
    else if (f.correlation > 0.7f)
        text << "Mono-safe\n";

    if (f.mostlyMono)
        text << "Heavy low-end\n";
    if (f.noisyWide)
        text << "Harsh highs\n";

    text << "Level: " << juce::String (f.levelDb, 1) << " LUFS";
    return text;
}
