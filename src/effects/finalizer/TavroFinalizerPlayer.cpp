#include "effects/finalizer/TavroFinalizer.h"

void TavroFinalizer::loadWavePlayerFile (const juce::File&) {}
int TavroFinalizer::renderWavePlayer (float*, float*, int, double) { return 0; }
