#include "app/PallentApplication.h"

START_JUCE_APPLICATION (PallentApplication)
