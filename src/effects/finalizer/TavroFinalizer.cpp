#include "effects/finalizer/TavroFinalizer.h"

TavroFinalizer::TavroFinalizer (TavroFinalizerHUD* hudToFeed)
    : hud (hudToFeed)
{
    for (auto& v : bandWidth) v.store (1.0f);
    for (auto& v : bandDrive) v.store (0.0f);
    for (auto& v : bandMode)  v.store (2);
    for (auto& v : korruptBandInputs) v.store (0.0f);

    dcFilterButton.setClickingTogglesState (true);
    dcFilterButton.setToggleStateAndMirror (true, juce::dontSendNotification);

    startTimerHz (1000);
}

TavroFinalizer::~TavroFinalizer()
{
    setLookAndFeel (nullptr);
    stopTimer();
}

void TavroFinalizer::paint (juce::Graphics&) {}
void TavroFinalizer::resized() {}
void TavroFinalizer::timerCallback() {}
void TavroFinalizer::updateToneCurve() {}
