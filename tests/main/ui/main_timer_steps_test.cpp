#include <gtest/gtest.h>

#include "main/ui/MainTimerSteps.h"

using namespace MainTimerSteps;

TEST (MainTimerSteps, PresetFlashLastsSixteenTicks)
{
    for (auto success : { presetSavedColour, presetLoadedColour })
    {
        PresetFlash flash;
        int ticks = 0;
        while (! flash.tick (juce::Colour (success)))
            ASSERT_LT (++ticks, 100);

        EXPECT_EQ (ticks + 1, 16);
        EXPECT_EQ (flash.ticks(), 0);
    }

    // Any other colour in between starts the count again.
    PresetFlash flash;
    for (int i = 0; i < 10; ++i)
        flash.tick (juce::Colour (presetSavedColour));
    EXPECT_FALSE (flash.tick (juce::Colour (presetNormalColour)));
    EXPECT_EQ (flash.ticks(), 0);
}

TEST (MainTimerSteps, MidiLampStaysLitThreeTicksAfterTheLastMessage)
{
    using C = MidiLamp::Change;
    MidiLamp lamp;

    const std::vector<std::pair<bool, C>> ticks = {
        { true, C::lightOn }, { false, C::none }, { false, C::none }, { false, C::lightOff }, { false, C::none },
        { true, C::lightOn }, { true, C::lightOn }, { false, C::none }, { false, C::none }, { false, C::lightOff },
    };

    for (size_t i = 0; i < ticks.size(); ++i)
        EXPECT_EQ (lamp.tick (ticks[i].first), ticks[i].second) << "tick " << i;
}

TEST (MainTimerSteps, MeterCaption)
{
    struct Case { float left, right; const char* text; };
    const Case cases[] = {
        { 0.5f, 0.1f, "-6.0dB" },
        { 0.0f, 0.0f, "-INF" },
        { 0.0001f, 0.0f, "-INF" },
        { 0.0f, 0.2371374f, "-12.5dB" },
        { 1.0f, 0.5f, "0.0dB" },
        { NAN, 0.5f, "-6.0dB" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (meterCaption (c.left, c.right), juce::String (c.text)) << c.left << " " << c.right;

    EXPECT_EQ (periodMs (true), 50);
    EXPECT_EQ (periodMs (false), 33);
}

TEST (MainTimerSteps, PitchGlideAndFreezePulse)
{
    // 1/6 octave a second: 1/180 a tick, so 0 -> 1 takes 180 ticks and lands on the target exactly.
    float value = 0.0f;
    int ticks = 0;
    for (bool finished = false; ! finished; ++ticks)
    {
        ASSERT_LT (ticks, 400);
        const auto step = pitchGlideStep (value, 1.0f, 1.0f / 6.0f);
        value = step.value;
        finished = step.finished;
    }
    EXPECT_EQ (value, 1.0f);
    EXPECT_NEAR (ticks, 180, 1);

    const auto reached = pitchGlideStep (-1.0f, -1.0f, 1.0f / 6.0f);
    EXPECT_TRUE (reached.finished);
    EXPECT_EQ (reached.value, -1.0f);

    EXPECT_FLOAT_EQ (nextFreezePhase (6.0f), 6.3f - 6.28f);
    EXPECT_FLOAT_EQ (nextFreezePhase (1.0f), 1.3f);
    EXPECT_EQ (freezeColour (juce::MathConstants<float>::halfPi).getARGB(), 0xffffffffu);
    EXPECT_EQ (freezeColour (-juce::MathConstants<float>::halfPi).getARGB(), 0xffff00ffu);
    EXPECT_EQ (freezeColour (0.0f).getARGB(), 0xffff7fffu);
}
