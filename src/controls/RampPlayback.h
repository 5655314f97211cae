#pragma once

#include <optional>

/** Moving knobs along their ramps as the loaded file plays. Everything here runs on the
    message thread, from the main timer, with the playback position in seconds passed in. */

/** The value of a ramp at play time t: the start value before startTime, the target after
    endTime and the straight line between. A ramp whose end does not lie after its start
    gives no value. */
std::optional<double> rampValueAt (double startValue, double targetValue,
                                   double startTime, double endTime, double t);

/** Moves every active ramp of SliderRampRegistry whose slider is visible to its value at
    playSeconds (clamped to the slider's range), when it differs by more than 1e-4. The slider
    is set with an asynchronous notification, so its owner's value callback runs later. */
void applySliderRamps (double playSeconds);

/** The pan knob's one ramp (pan from -1 to 1). */
struct PanRamp
{
    double startValue = 0.0;
    double targetValue = 0.0;
    double startTime = 0.0;
    double endTime = 0.0;
    bool active = false;
};

/** The process-wide pan ramp record. */
extern PanRamp panRamp;

/** What the pan ramp asks for at one tick: the pan and the two output gains it implies. */
struct PanRampStep
{
    double pan = 0.0;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
};

/** The pan knob dialog's ramp: from the current pan to targetPercent / 100 (the target
    clamped to -100..100), from 0 s to endSeconds (at least 0.1 s), active. */
PanRamp makePanRamp (double currentPan, double targetPercent, double endSeconds);

/** The step the pan ramp asks for at playSeconds, or nothing when the ramp is inactive, gives
    no value, or the pan would move by 0.001 or less. The caller sets the knob (setPan), the
    output gains and repaints the knob. */
std::optional<PanRampStep> panRampStepAt (const PanRamp& ramp, double playSeconds, double currentPan);

/** Output gains for a pan: the side the pan moves away from is turned down. */
PanRampStep panGainsFor (double pan);

/** Empties SliderRampRegistry and switches the pan ramp off; for every file load. */
void clearAllRamps();
