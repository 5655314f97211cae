#pragma once

/** The centre lamp of the silver knob: dark up to the knob's middle position, blinking ever
    faster above it and steadily lit near the top. It has no timer of its own; whoever repaints
    the knob decides how often the blinking is seen. */
struct BlinkingLamp
{
    /** Blink period in milliseconds for a proportional knob position, or 0 when the lamp is
        steadily dark or steadily lit at that position. */
    static double periodMs (float position) noexcept;

    /** Whether the lamp is lit at the given millisecond clock reading. */
    static bool isLit (float position, double nowMs) noexcept;

    /** isLit at the current high-resolution millisecond clock. */
    static bool isLitNow (float position) noexcept;
};
