#include "effects/finalizer/TavroFinalizer.h"

#include <cmath>

TavroFinalizer::TavroFinalizer (TavroFinalizerHUD* hudToFeed)
    : hud (hudToFeed)
{
    issueMarkers.reserve (maxIssueMarkers + 1);

    // The switch keeps its own mirror; the processor reads that one.
    dcFilterSource = &dcFilterButton.atomicState();

    setLookAndFeel (&knobLookAndFeel);
    startTimerHz (1000);

    for (size_t i = 0; i < curvePoints.size(); ++i)
        curvePoints[i].frequency = 20.0f * std::pow (2.0f, (float) i / 9.6f);

    const float dynamicsCrossovers[] = { 120.0f, 500.0f, 4000.0f, 20000.0f };
    for (size_t k = 0; k < dynamicsBands.size(); ++k)
        dynamicsBands[k].crossoverHz = dynamicsCrossovers[k];

    buildControls();
    setView (currentView);
}

TavroFinalizer::~TavroFinalizer()
{
    setLookAndFeel (nullptr);
    stopTimer();
}

void TavroFinalizer::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff101418));
}

void TavroFinalizer::resized() {}

void TavroFinalizer::setView (int viewIndex)
{
    currentView = juce::jlimit (0, 2, viewIndex);
    repaint();
}

void TavroFinalizer::updateToneCurve()
{
    const float sub = subDb.load(), body = bodyDb.load(), presence = presenceDb.load();
    const float air = airDb.load(), tame = tameDb.load(), tilt = tiltDb.load();

    auto bell = [] (float f, float centre, float sigma)
    {
        const float octaves = std::log2 (f / centre) / sigma;
        return std::exp (-0.5f * octaves * octaves);
    };

    for (auto& point : curvePoints)
    {
        const float f = point.frequency;
        point.gainDb = sub * juce::jlimit (0.0f, 1.0f, (120.0f - f) / 100.0f)
                     + body * bell (f, 200.0f, 0.75f)
                     + presence * bell (f, 3000.0f, 0.6f)
                     + air * juce::jlimit (0.0f, 1.0f, (f - 6000.0f) / 8000.0f)
                     + tame * bell (f, 7000.0f, 0.6f)
                     + tilt * juce::jlimit (-3.0f, 3.0f, std::log2 (f / 1000.0f)) / 3.0f;
    }
    repaint();
}

void TavroFinalizer::resetCurve()
{
    for (auto& point : curvePoints)
        point.gainDb = 0.0f;
    repaint();
}

void TavroFinalizer::updateSubsonicFilter()
{
    const double rate = getSampleRate();
    if (subsonicHz == 0 || rate <= 0.0)
        return;

    const double w = juce::MathConstants<double>::twoPi * subsonicHz / rate;
    const double alpha = std::sin (w) / 1.414;
    const double d = 1.0 + alpha;
    const double c = std::cos (w);
    subsonicFilter = { (float) ((1.0 + c) * 0.5 / d), (float) (-(1.0 + c) / d), (float) ((1.0 + c) * 0.5 / d),
                       (float) (-2.0 * c / d), (float) ((1.0 - alpha) / d) };
}
