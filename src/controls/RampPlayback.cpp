#include "controls/RampPlayback.h"

#include "controls/SliderRampRegistry.h"

#include <cmath>
#include <vector>

PanRamp panRamp;

std::optional<double> rampValueAt (double startValue, double targetValue,
                                   double startTime, double endTime, double t)
{
    if (t < startTime)
        return startValue;

    if (t > endTime)
        return targetValue;

    const auto duration = endTime - startTime;

    if (! (duration > 0.0))
        return std::nullopt;

    const auto progress = juce::jlimit (0.0, 1.0, (t - startTime) / duration);
    return startValue + (targetValue - startValue) * progress;
}

void applySliderRamps (double playSeconds)
{
    JUCE_ASSERT_MESSAGE_THREAD

    // Setting a value may run code that edits the registry (a knob's own callback runs later,
    // but stay safe): collect the moves first, then apply them.
    struct Move { juce::Slider* slider; double value; };
    std::vector<Move> moves;

    for (const auto& [slider, ramp] : SliderRampRegistry::getInstance().entries())
    {
        if (! ramp.active || slider == nullptr || ! slider->isVisible())
            continue;

        const auto value = rampValueAt (ramp.startValue, ramp.targetValue, ramp.startTime, ramp.endTime, playSeconds);

        if (! value.has_value())
            continue;

        const auto clamped = juce::jlimit (slider->getMinimum(), slider->getMaximum(), *value);

        if (std::abs (slider->getValue() - clamped) > 0.0001)
            moves.push_back ({ slider, clamped });
    }

    for (const auto& move : moves)
    {
        move.slider->setValue (move.value, juce::sendNotificationAsync);
        move.slider->repaint();

        if (auto* parent = move.slider->getParentComponent())
            parent->repaint();
    }
}

PanRamp makePanRamp (double currentPan, double targetPercent, double endSeconds)
{
    PanRamp ramp;
    ramp.startValue = currentPan;
    ramp.targetValue = juce::jlimit (-100.0, 100.0, std::isfinite (targetPercent) ? targetPercent : 0.0) / 100.0;
    ramp.startTime = 0.0;
    ramp.endTime = juce::jmax (std::isfinite (endSeconds) ? endSeconds : 0.0, 0.1);
    ramp.active = true;
    return ramp;
}

PanRampStep panGainsFor (double pan)
{
    PanRampStep step;
    step.pan = pan;
    step.gainLeft = pan <= 0.0 ? 1.0f : (float) (1.0 - pan);
    step.gainRight = pan >= 0.0 ? 1.0f : (float) (1.0 + pan);
    return step;
}

std::optional<PanRampStep> panRampStepAt (const PanRamp& ramp, double playSeconds, double currentPan)
{
    if (! ramp.active)
        return std::nullopt;

    const auto value = rampValueAt (ramp.startValue, ramp.targetValue, ramp.startTime, ramp.endTime, playSeconds);

    if (! value.has_value())
        return std::nullopt;

    const auto pan = juce::jlimit (-1.0, 1.0, *value);

    if (! (std::abs (currentPan - pan) > 0.001))
        return std::nullopt;

    return panGainsFor (pan);
}

void clearAllRamps()
{
    SliderRampRegistry::getInstance().clear();
    panRamp.active = false;
}
