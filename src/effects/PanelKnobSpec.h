#pragma once

/** One row of a panel's knob table: what the knob is called on screen, its range and start
    value, the unit its readouts append and the line the heads-up display shows for it. Plain
    data, so a processor can keep its parameter ranges in the same table its panel builds from. */
struct PanelKnobSpec
{
    const char* caption;
    double minimum, maximum, defaultValue;
    const char* unit;
    const char* description;
};
