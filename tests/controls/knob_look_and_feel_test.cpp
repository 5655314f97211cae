#include <gtest/gtest.h>

#include "controls/BlinkingLamp.h"
#include "controls/NeonGreenKnobLookAndFeel.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "support/PixelProbe.h"

#include <cmath>

namespace
{
    // A 100 x 122 knob area gives a 96 px knob centred at (50, 50), bezel radius 42.24.
    constexpr float centre = 50.0f;
    constexpr float bezel = 0.44f * 96.0f;

    struct KnobFixture
    {
        KnobFixture (juce::LookAndFeel& lookAndFeel, double proportion, const juce::String& caption)
        {
            slider.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
            slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
            slider.setRange (0.0, 1.0);
            // Rotary angles the look-and-feel must ignore.
            slider.setRotaryParameters (0.0f, 1.0f, true);
            slider.setValue (proportion, juce::dontSendNotification);
            slider.setName (caption);
            slider.setLookAndFeel (&lookAndFeel);
            slider.setBounds (0, 0, 100, 122);
        }

        ~KnobFixture() { slider.setLookAndFeel (nullptr); }

        juce::Image render() { return pixel_probe::render (slider); }

        juce::Slider slider;
    };

    juce::Point<int> alongPointer (float proportion, float distance)
    {
        const auto angle = proportion * 1.5f * juce::MathConstants<float>::pi + 0.75f * juce::MathConstants<float>::pi;
        return { juce::roundToInt (centre + distance * std::cos (angle)),
                 juce::roundToInt (centre + distance * std::sin (angle)) };
    }

    bool isSilverPointer (juce::Colour c) { return c.getBlue() > 200 && c.getBlue() - c.getRed() > 80; }
    bool isNeonPointer (juce::Colour c)   { return c.getGreen() > 200 && c.getRed() < 80; }
    bool isDarkInk (juce::Colour c)       { return c.getAlpha() > 128 && c.getRed() < 90 && c.getGreen() < 90 && c.getBlue() < 90; }

    const juce::Rectangle<int> captionRows { 0, 104, 100, 18 };
}

TEST (KnobLookAndFeel, PointerSweepsFromDownLeftThroughUpToDownRight)
{
    SilverKnobLookAndFeel silver;
    NeonGreenKnobLookAndFeel neon;

    struct Style { juce::LookAndFeel* lookAndFeel; bool (*isPointer) (juce::Colour); const char* name; };
    const Style styles[] = { { &silver, isSilverPointer, "silver" }, { &neon, isNeonPointer, "neon" } };
    const float positions[] = { 0.0f, 0.5f, 1.0f };

    for (const auto& style : styles)
    {
        for (const auto drawn : positions)
        {
            KnobFixture knob (*style.lookAndFeel, drawn, "GAIN");
            const auto image = knob.render();

            for (const auto probed : positions)
            {
                const auto at = alongPointer (probed, 0.7f * bezel);
                EXPECT_EQ (style.isPointer (image.getPixelAt (at.x, at.y)), drawn == probed)
                    << style.name << " drawn at " << drawn << ", probed at " << probed;
            }
        }
    }
}

TEST (KnobLookAndFeel, CaptionIsTheComponentNameUnderTheKnob)
{
    SilverKnobLookAndFeel silver;
    NeonGreenKnobLookAndFeel neon;

    {
        KnobFixture named (silver, 0.3, "FDBK"), unnamed (silver, 0.3, {});
        EXPECT_GT (pixel_probe::count (named.render(), captionRows, isDarkInk), 10);
        EXPECT_EQ (pixel_probe::count (unnamed.render(), captionRows, isDarkInk), 0);
        // Nothing of the caption spills into the knob above it.
        EXPECT_EQ (pixel_probe::differences (named.render(), unnamed.render(), { 0, 0, 100, 100 }), 0);
    }
    {
        KnobFixture named (neon, 0.3, "MIX"), unnamed (neon, 0.3, {});
        const auto isNeonText = [] (juce::Colour c) { return c.getAlpha() > 128 && c.getGreen() > 150 && c.getRed() < 100; };
        EXPECT_GT (pixel_probe::count (named.render(), captionRows, isNeonText), 10);
        EXPECT_EQ (pixel_probe::count (unnamed.render(), captionRows, isNeonText), 0);
    }
}

TEST (KnobLookAndFeel, WideAreaTakesDiameterFromHeightAndCentresTheKnob)
{
    SilverKnobLookAndFeel silver;
    KnobFixture knob (silver, 1.0, {});
    knob.slider.setBounds (0, 0, 300, 62);   // d = 62 - 4 - 18 = 40, centre (150, 22)
    const auto image = knob.render();

    const auto isDrawn = [] (juce::Colour c) { return c.getAlpha() > 0; };
    EXPECT_EQ (pixel_probe::count (image, { 0, 0, 120, 62 }, isDrawn), 0);
    EXPECT_EQ (pixel_probe::count (image, { 180, 0, 120, 62 }, isDrawn), 0);
    EXPECT_GT (pixel_probe::count (image, { 140, 12, 20, 20 }, isDrawn), 300);
}

TEST (KnobLookAndFeel, TooShortAreaDrawsNothing)
{
    SilverKnobLookAndFeel silver;
    NeonGreenKnobLookAndFeel neon;

    for (auto* lookAndFeel : { static_cast<juce::LookAndFeel*> (&silver), static_cast<juce::LookAndFeel*> (&neon) })
    {
        KnobFixture knob (*lookAndFeel, 0.7, "LOW");
        knob.slider.setBounds (0, 0, 60, 20);
        EXPECT_EQ (pixel_probe::count (knob.render(), [] (juce::Colour c) { return c.getAlpha() > 0; }), 0);
    }
}

TEST (SilverKnobLamp, DarkBlinkingAndSteadyByPosition)
{
    struct Case { float position; double period; };
    const Case cases[] = {
        { 0.0f, 0.0 },
        { 0.5f, 0.0 },                            // the middle is still dark
        { 0.5001f, 1000.0 / (16.0 * 0.0001 + 2.0) },   // just above: 2 Hz
        { 0.75f, 1000.0 / 6.0 },
        { 0.98f, 1000.0 / 9.68 },                 // still blinking at the top of the range
        { 1.0f, 0.0 },
    };

    for (const auto& c : cases)
        EXPECT_NEAR (BlinkingLamp::periodMs (c.position), c.period, 0.05) << c.position;

    EXPECT_FALSE (BlinkingLamp::isLit (0.5f, 0.0));
    EXPECT_TRUE (BlinkingLamp::isLit (0.99f, 0.0));
    EXPECT_TRUE (BlinkingLamp::isLit (1.0f, 12345.0));

    const auto period = BlinkingLamp::periodMs (0.75f);
    EXPECT_TRUE (BlinkingLamp::isLit (0.75f, 0.1 * period));
    EXPECT_FALSE (BlinkingLamp::isLit (0.75f, 0.6 * period));
}

TEST (SilverKnobLamp, KeepsBlinkingAfterDaysOfUptime)
{
    // Around twelve days of clock: a float clock has 64 ms steps there and loses the phase.
    const auto period = BlinkingLamp::periodMs (0.98f);
    const auto base = period * 1.0e7;

    EXPECT_TRUE (BlinkingLamp::isLit (0.98f, base + 0.1 * period));
    EXPECT_FALSE (BlinkingLamp::isLit (0.98f, base + 0.6 * period));
    EXPECT_TRUE (BlinkingLamp::isLit (0.98f, base + 1.1 * period));
}

TEST (SilverKnobLamp, CentreShowsLampState)
{
    SilverKnobLookAndFeel silver;
    KnobFixture dark (silver, 0.2, {}), lit (silver, 1.0, {});

    const auto darkCentre = dark.render().getPixelAt (50, 50);
    const auto litCentre = lit.render().getPixelAt (50, 50);

    EXPECT_LT (darkCentre.getGreen(), 60);
    EXPECT_TRUE (pixel_probe::near (litCentre, juce::Colour (0xffccffdd), 6)) << litCentre.toDisplayString (true);
}

TEST (NeonGreenKnob, GlowRingsAtRestAndLampLightsOnlyAboveOnePercent)
{
    NeonGreenKnobLookAndFeel neon;

    // At 0 the rings still glow: alpha 0.3 * 0.3 and 0.15 * 0.3 of the neon green, i.e.
    // bytes 23 and 11. Row 5 holds only the inner ring above the centre, row 1 only the outer.
    KnobFixture rest (neon, 0.0, {});
    const auto image = rest.render();
    EXPECT_NEAR (image.getPixelAt (50, 5).getAlpha(), 23, 1);
    EXPECT_NEAR (image.getPixelAt (50, 1).getAlpha(), 11, 1);
    EXPECT_EQ (image.getPixelAt (50, 50), juce::Colour (0xff0a1a0a));

    KnobFixture onePercent (neon, 0.01, {});
    EXPECT_EQ (onePercent.render().getPixelAt (50, 50), juce::Colour (0xff0a1a0a));

    KnobFixture lit (neon, 0.5, {});
    EXPECT_GT (lit.render().getPixelAt (50, 50).getGreen(), 200);
}

TEST (KnobLookAndFeel, ValueTextBoxColoursAndEditing)
{
    SilverKnobLookAndFeel silver;
    NeonGreenKnobLookAndFeel neon;

    struct Case { juce::LookAndFeel* lookAndFeel; juce::uint32 text, background, outline; };
    const Case cases[] = { { &silver, 0xff000000, 0xeeffffff, 0xff666666 },
                           { &neon, 0xff00ff55, 0xee111811, 0xff00aa33 } };

    for (const auto& c : cases)
    {
        juce::Slider slider;
        std::unique_ptr<juce::Label> box (c.lookAndFeel->createSliderTextBox (slider));

        EXPECT_EQ (box->findColour (juce::Label::textColourId).getARGB(), c.text);
        EXPECT_EQ (box->findColour (juce::Label::backgroundColourId).getARGB(), c.background);
        EXPECT_EQ (box->findColour (juce::Label::outlineColourId).getARGB(), c.outline);
        EXPECT_FLOAT_EQ (box->getFont().getHeight(), 10.0f);
        EXPECT_TRUE (box->isEditableOnSingleClick());
        EXPECT_TRUE (box->isEditableOnDoubleClick());
        EXPECT_FALSE (box->doesLossOfFocusDiscardChanges());
    }
}

TEST (SilverKnobButtons, PressedButtonIsDarkenedWithoutGloss)
{
    SilverKnobLookAndFeel silver;
    juce::TextButton button ("HUD");
    button.setBounds (0, 0, 80, 24);
    const auto base = juce::Colour (0xff808080);

    const auto drawBackground = [&] (bool highlighted, bool down)
    {
        return pixel_probe::draw (80, 24, [&] (juce::Graphics& g)
                                  { silver.drawButtonBackground (g, button, base, highlighted, down); });
    };

    const auto normal = drawBackground (false, false);
    const auto pressed = drawBackground (true, true);

    // The gloss strip brightens the top rows of a button that is not pressed.
    EXPECT_GT (normal.getPixelAt (40, 4).getBrightness(), pressed.getPixelAt (40, 4).getBrightness() + 0.1f);
    // Pressed wins over highlighted: the body is darker than the normal one further down too.
    EXPECT_LT (pressed.getPixelAt (40, 16).getBrightness(), normal.getPixelAt (40, 16).getBrightness());
}

TEST (ColourAlpha, HalvesRoundToTheEvenByte)
{
    // Every translucent colour of these looks is given as a float alpha; the bytes below are
    // the ones the drawings rely on.
    const std::pair<float, int> cases[] = { { 0.5f, 128 }, { 0.3f, 76 }, { 0.7f, 178 }, { 0.1f, 26 },
                                            { 0.15f, 38 }, { 0.35f, 89 }, { 0.4f, 102 }, { 0.25f, 64 },
                                            { 0.09f, 23 }, { 0.045f, 11 }, { 0.0f, 0 }, { 1.0f, 255 } };

    for (const auto& [alpha, byte] : cases)
        EXPECT_EQ (juce::Colours::white.withAlpha (alpha).getAlpha(), byte) << alpha;
}
