#include <gtest/gtest.h>

#include "controls/InscriptionLookAndFeel.h"
#include "support/PixelProbe.h"

namespace
{
    bool isMarkerYellow (juce::Colour c) { return c.getRed() > 230 && c.getGreen() > 230 && c.getBlue() < 40; }
    bool isYellowish (juce::Colour c)    { return c.getRed() > 200 && c.getGreen() > 200 && c.getBlue() < 120; }
    bool isDarkInk (juce::Colour c)      { return c.getAlpha() > 200 && c.getRed() < 70 && c.getGreen() < 70 && c.getBlue() < 90; }
    bool isVisible (juce::Colour c)      { return c.getAlpha() > 0; }

    template <typename ButtonType>
    struct ButtonFixture
    {
        explicit ButtonFixture (const juce::String& text, int width = 160, int height = 30)
            : button (text)
        {
            button.setLookAndFeel (&lookAndFeel);
            button.setBounds (0, 0, width, height);
        }

        ~ButtonFixture() { button.setLookAndFeel (nullptr); }

        juce::Image render() { return pixel_probe::render (button); }

        InscriptionLookAndFeel lookAndFeel;
        ButtonType button;
    };
}

TEST (InscriptionButtons, MarkerFrameOnCaptureDotsAndKeysWhenOn)
{
    struct Case { const char* text; bool on; bool marked; };
    const Case cases[] = {
        { "CAPTURE", false, true },  { "capture", false, true },  { "Re-Capture now", false, true },
        { "....", false, true },     { "......", false, true },   { "...", false, false },
        { "KEYS", true, true },      { "KEYS", false, false },    { "keys[LP]", true, true },
        { "PLAY", true, false },
    };

    for (const auto& c : cases)
    {
        ButtonFixture<juce::TextButton> fixture (c.text);
        fixture.button.setToggleState (c.on, juce::dontSendNotification);
        const auto image = fixture.render();

        // The 2 px frame fully covers the second column; the plain 1 px frame only half of it.
        EXPECT_EQ (isMarkerYellow (image.getPixelAt (1, 15)), c.marked) << c.text << (c.on ? " on" : " off");
        EXPECT_EQ (InscriptionLookAndFeel::isMarked (fixture.button), c.marked) << c.text;
    }
}

TEST (InscriptionButtons, GlowOnlyForSwitchedOnOrangeToYellow)
{
    struct Case { juce::uint32 onColour; bool toggles; bool state; bool glows; const char* what; };
    const Case cases[] = {
        { 0xffffff00, true, true, true, "yellow, hue 1/6" },
        { 0xffffa500, true, true, true, "orange, hue 0.108" },
        { 0xffff8c00, true, true, false, "dark orange, hue 0.092 is below the band" },
        { 0xffff0000, true, true, false, "red" },
        { 0xff00ff00, true, true, false, "green" },
        { 0xffffff00, true, false, false, "yellow but off" },
        { 0xffffff00, false, true, false, "toggle state on but the button does not toggle" },
    };

    for (const auto& c : cases)
    {
        ButtonFixture<juce::TextButton> fixture ("MWMW");
        fixture.button.setClickingTogglesState (c.toggles);
        fixture.button.setToggleState (c.state, juce::dontSendNotification);
        fixture.button.setColour (juce::TextButton::textColourOnId, juce::Colour (c.onColour));
        fixture.button.setColour (juce::TextButton::textColourOffId, juce::Colour (0xff1a1a2e));

        const auto yellow = pixel_probe::count (fixture.render(), { 4, 4, 152, 22 }, isYellowish);
        EXPECT_EQ (yellow > 20, c.glows) << c.what << ": " << yellow;
    }
}

TEST (InscriptionButtons, TextColourRules)
{
    struct Case { juce::uint32 offColour; bool enabled; bool dark; const char* what; };
    const Case cases[] = {
        { 0x00000000, true, true, "transparent becomes ink" },
        { 0x00ffffff, true, true, "any alpha-0 colour becomes ink" },
        { 0xffffffff, true, true, "opaque white becomes ink" },
        { 0xfffefefe, true, false, "nearly white stays" },
        { 0xff1a1a2e, true, true, "ink" },
        { 0xff1a1a2e, false, false, "disabled ink is half transparent" },
    };

    for (const auto& c : cases)
    {
        ButtonFixture<juce::TextButton> fixture ("MWMW");
        fixture.button.setColour (juce::TextButton::textColourOffId, juce::Colour (c.offColour));
        fixture.button.setEnabled (c.enabled);

        const auto dark = pixel_probe::count (fixture.render(), isDarkInk);
        EXPECT_EQ (dark > 10, c.dark) << c.what << ": " << dark;
    }

    // A parent's disabled state dims the text as well.
    juce::Component parent;
    ButtonFixture<juce::TextButton> child ("MWMW");
    child.button.setColour (juce::TextButton::textColourOffId, juce::Colour (0xff1a1a2e));
    parent.addAndMakeVisible (child.button);
    parent.setEnabled (false);
    EXPECT_EQ (pixel_probe::count (child.render(), isDarkInk), 0);
}

TEST (InscriptionButtons, PressedButtonHasNoGlassOrEngraving)
{
    ButtonFixture<juce::TextButton> fixture ("MWMW");
    const auto draw = [&] (bool down)
    {
        return pixel_probe::draw (160, 30, [&] (juce::Graphics& g)
        {
            fixture.lookAndFeel.drawButtonBackground (g, fixture.button, juce::Colours::red, false, down);
        });
    };

    // The glass facet brightens the top-left corner; a pressed button lacks it.
    const auto normal = draw (false), pressed = draw (true);
    EXPECT_GT (normal.getPixelAt (8, 6).getBrightness(), pressed.getPixelAt (8, 6).getBrightness() + 0.05f);
}

TEST (InscriptionToggle, GoldStarOnlyWhenOnAndDarkText)
{
    const auto isGold = [] (juce::Colour c) { return c.getRed() > 230 && c.getGreen() > 190 && c.getGreen() < 230 && c.getBlue() < 40; };

    for (const bool on : { false, true })
    {
        ButtonFixture<juce::ToggleButton> fixture ("sync");
        fixture.button.setToggleState (on, juce::dontSendNotification);
        const auto image = fixture.render();

        EXPECT_EQ (pixel_probe::count (image, { 0, 0, 30, 30 }, isGold) > 5, on);
        EXPECT_GT (pixel_probe::count (image, { 30, 0, 130, 30 }, isDarkInk), 10);
    }
}

TEST (InscriptionMenu, ItemsSeparatorsTicksAndIgnoredExtras)
{
    InscriptionLookAndFeel lookAndFeel;
    const juce::Rectangle<int> row (0, 0, 200, 24);
    const auto isGreyText = [] (juce::Colour c) { return c.getAlpha() > 100 && std::abs (c.getRed() - 128) < 30 && std::abs (c.getBlue() - 128) < 30; };

    const auto item = [&] (bool active, bool ticked, const juce::String& text, const juce::String& shortcut)
    {
        return pixel_probe::draw (200, 24, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawPopupMenuItem (g, row, false, active, false, ticked, false, text, shortcut, nullptr, nullptr);
        });
    };

    // A ticked item is dark even when inactive; an unticked inactive one is grey.
    EXPECT_GT (pixel_probe::count (item (false, true, "Routing", {}), { 31, 0, 169, 24 }, isDarkInk), 10);
    const auto inactive = item (false, false, "Routing", {});
    EXPECT_EQ (pixel_probe::count (inactive, isDarkInk), 0);
    EXPECT_GT (pixel_probe::count (inactive, isGreyText), 10);

    // The tick itself shows (the serif face has no such glyph).
    EXPECT_GT (pixel_probe::count (item (true, true, {}, {}), { 11, 0, 20, 24 }, isVisible), 5);

    // Shortcut texts are never drawn.
    EXPECT_EQ (pixel_probe::count (item (true, false, {}, "Ctrl+Q"), isVisible), 0);

    // A long label stays on one line inside the text area.
    const auto longItem = item (true, false, "A very long menu entry that cannot possibly fit in this row at all", {});
    EXPECT_EQ (pixel_probe::count (longItem, { 190, 0, 10, 24 }, isVisible), 0);
    EXPECT_GT (pixel_probe::count (longItem, { 11, 0, 179, 24 }, isDarkInk), 20);

    const auto separator = pixel_probe::draw (200, 10, [&] (juce::Graphics& g)
    {
        lookAndFeel.drawPopupMenuItem (g, { 0, 0, 200, 10 }, true, true, false, false, false, "ignored", {}, nullptr, nullptr);
    });
    EXPECT_EQ (pixel_probe::count (separator, isVisible), 190);        // x 5..194 on row 4 only
    EXPECT_EQ (pixel_probe::count (separator, { 0, 4, 200, 1 }, isVisible), 190);
}

TEST (InscriptionScrollbar, ZeroThumbShowsOnlyTheTrack)
{
    InscriptionScrollbarLookAndFeel lookAndFeel;
    juce::ScrollBar bar (true);
    const auto isThumbLight = [] (juce::Colour c) { return c.getAlpha() > 200 && c.getRed() > 120; };

    EXPECT_EQ (lookAndFeel.getMinimumScrollbarThumbSize (bar), 30);
    EXPECT_EQ (lookAndFeel.getDefaultScrollbarWidth(), 12);
    EXPECT_EQ (lookAndFeel.findColour (juce::ScrollBar::thumbColourId).getARGB(), 0xffc0c0c8u);

    for (const int thumbSize : { 0, -5, 40 })
    {
        const auto image = pixel_probe::draw (12, 200, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawScrollbar (g, bar, 0, 0, 12, 200, true, 50, thumbSize, false, false);
        });
        EXPECT_EQ (pixel_probe::count (image, isThumbLight) > 0, thumbSize > 0) << thumbSize;
    }
}

TEST (InscriptionFonts, ButtonAndMenuFonts)
{
    InscriptionLookAndFeel lookAndFeel;
    juce::TextButton button;

    EXPECT_FLOAT_EQ (lookAndFeel.getTextButtonFont (button, 20).getHeight(), 10.0f);
    EXPECT_FLOAT_EQ (lookAndFeel.getTextButtonFont (button, 40).getHeight(), 14.0f);
    EXPECT_TRUE (lookAndFeel.getTextButtonFont (button, 40).isBold());

    const auto menuFont = lookAndFeel.getPopupMenuFont();
    EXPECT_EQ (menuFont.getTypefaceName(), "Times New Roman");
    EXPECT_TRUE (menuFont.isItalic());
}
