#include <gtest/gtest.h>

#include "controls/HeadsUpDisplay.h"
#include "support/MessagePump.h"
#include "support/PixelProbe.h"

#include <memory>

namespace
{
    struct Variant
    {
        const char* name;
        std::function<std::unique_ptr<ColourHeadsUpDisplay>()> make;
        juce::uint32 bodyTop, bodyBottom;
    };

    template <typename Display>
    std::function<std::unique_ptr<ColourHeadsUpDisplay>()> maker()
    {
        return [] { return std::make_unique<Display>(); };
    }

    const Variant variants[] = {
        { "HeadsUpDisplay", maker<HeadsUpDisplay>(), 0xffe8e8e8, 0xffd0d0d0 },
        { "Purple", maker<PurpleHeadsUpDisplay>(), 0xfff0e0f0, 0xffd8c0d8 },
        { "Green", maker<GreenHeadsUpDisplay>(), 0xffe0f0e0, 0xffc0d8c0 },
        { "Orange", maker<OrangeHeadsUpDisplay>(), 0xfffff0d8, 0xffe8d0a0 },
        { "Magenta", maker<MagentaHeadsUpDisplay>(), 0xfff8e0f0, 0xffe0c0d8 },
        { "Gold", maker<GoldHeadsUpDisplay>(), 0xfff8f0d0, 0xffe8d8a0 },
        { "Cyan", maker<CyanHeadsUpDisplay>(), 0xffd8f8f8, 0xffa0e0e0 },
    };

    constexpr int width = 210, height = 100;

    std::unique_ptr<ColourHeadsUpDisplay> makeSized (const Variant& v)
    {
        auto display = v.make();
        display->setBounds (0, 0, width, height);
        return display;
    }

    juce::MouseEvent mouseAt (juce::Component& component, juce::Point<float> position, juce::Point<float> downAt)
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position,
                                 juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                 &component, &component, now, downAt, now, 1, position != downAt);
    }
}

TEST (HeadsUpDisplays, CardColoursAndNoTextWithoutTitle)
{
    for (const auto& v : variants)
    {
        auto display = makeSized (v);
        const auto blank = pixel_probe::render (*display);

        // The body gradient runs from top to bottom colour; half way down it is their mix.
        const auto expectedMiddle = juce::Colour (v.bodyTop).interpolatedWith (juce::Colour (v.bodyBottom), 0.5f);
        EXPECT_TRUE (pixel_probe::near (blank.getPixelAt (60, 50), expectedMiddle, 3)) << v.name;

        display->setInfo ({}, "DRIVE", "12.0 dB", "How hard the signal is pushed");
        EXPECT_EQ (pixel_probe::differences (blank, pixel_probe::render (*display), blank.getBounds()), 0) << v.name;

        display->setInfo ("PANEL", "DRIVE", "12.0 dB", "How hard the signal is pushed");
        const auto withTexts = pixel_probe::render (*display);
        EXPECT_GT (pixel_probe::differences (blank, withTexts, { 8, 8, width - 30, 18 }), 20) << v.name;
        EXPECT_GT (pixel_probe::differences (blank, withTexts, { 8, 28, width - 16, 16 }), 20) << v.name;
        EXPECT_GT (pixel_probe::differences (blank, withTexts, { 8, 44, width - 16, 50 }), 20) << v.name;
    }
}

TEST (HeadsUpDisplays, LongTextsStayInsideTheirRectangles)
{
    const juce::String longTitle ("AN EXTREMELY LONG PANEL TITLE THAT CANNOT FIT");
    const juce::String longDescription = juce::String::repeatedString ("word ", 80);

    for (const auto& v : variants)
    {
        auto display = makeSized (v);
        const auto blank = pixel_probe::render (*display);

        display->setInfo (longTitle, "KNOB", {}, longDescription);
        const auto image = pixel_probe::render (*display);

        // Between the title's right end and the close button nothing is drawn.
        EXPECT_EQ (pixel_probe::differences (blank, image, { width - 21, 0, 3, 28 }), 0) << v.name;
        // The description ends above the bottom line.
        EXPECT_EQ (pixel_probe::differences (blank, image, { 0, height - 4, width, 4 }), 0) << v.name;
    }
}

TEST (CyanHeadsUpDisplay, StatusLineJoinsNameAndValue)
{
    CyanHeadsUpDisplay joined, preJoined, nameOnly, blank;

    for (auto* d : { &joined, &preJoined, &nameOnly, &blank })
    {
        d->setBounds (0, 0, width, height);
        d->setTitle ("MULTI EFFECT IMAGER PRO");
    }

    joined.setInfo ("MULTI EFFECT IMAGER PRO", "PAN", "50%", {});
    preJoined.setText ("PAN: 50%");
    nameOnly.setText ("PAN");

    const auto joinedImage = pixel_probe::render (joined);
    EXPECT_EQ (pixel_probe::differences (joinedImage, pixel_probe::render (preJoined), joinedImage.getBounds()), 0);
    EXPECT_GT (pixel_probe::differences (joinedImage, pixel_probe::render (nameOnly), { 8, 28, width - 16, 14 }), 10);

    // An empty detail text leaves the lower area as the card drew it; a set one fills it.
    const auto blankImage = pixel_probe::render (blank);
    blank.setDetailText ("photo.png | warm:40%");
    EXPECT_EQ (pixel_probe::differences (blankImage, pixel_probe::render (nameOnly), { 0, 44, width, height - 44 }), 0);
    EXPECT_GT (pixel_probe::differences (blankImage, pixel_probe::render (blank), { 0, 44, width, height - 44 }), 10);
}

TEST (HeadsUpDisplays, CloseButtonHidesFlagsAndCallsBack)
{
    for (const auto& v : variants)
    {
        juce::Component parent;
        auto display = makeSized (v);
        parent.addAndMakeVisible (*display);
        display->setInfo ("TITLE", "KNOB", "1.0", "text");

        int closes = 0;
        display->onClose = [&] { ++closes; EXPECT_FALSE (display->isVisible()); };

        auto* close = dynamic_cast<juce::TextButton*> (display->getChildComponent (0));
        ASSERT_NE (close, nullptr);
        EXPECT_EQ (close->getButtonText(), "-");
        EXPECT_EQ (close->getBounds(), juce::Rectangle<int> (width - 18, 4, 14, 14));

        EXPECT_FALSE (display->closedByUser);
        close->triggerClick();
        EXPECT_TRUE (test_support::runPendingMessages());

        EXPECT_TRUE (display->closedByUser) << v.name;
        EXPECT_FALSE (display->isVisible()) << v.name;
        EXPECT_EQ (closes, 1) << v.name;
        EXPECT_EQ (display->title, "TITLE");   // closing keeps the texts for the next showing
    }

    // Without a callback closing still works.
    HeadsUpDisplay display;
    display.setBounds (0, 0, width, height);
    display.setVisible (true);
    dynamic_cast<juce::Button&> (*display.getChildComponent (0)).triggerClick();
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_FALSE (display.isVisible());
}

TEST (HeadsUpDisplays, DragMovesTheCardWithoutLimitButNotFromTheCloseButton)
{
    juce::Component parent;
    parent.setBounds (0, 0, 400, 300);
    GreenHeadsUpDisplay display;
    parent.addAndMakeVisible (display);
    display.setBounds (100, 100, width, height);

    // A press on the card and a drag far to the left: the card leaves the parent's area.
    display.mouseDown (mouseAt (display, { 50.0f, 50.0f }, { 50.0f, 50.0f }));
    display.mouseDrag (mouseAt (display, { -400.0f, 60.0f }, { 50.0f, 50.0f }));
    EXPECT_EQ (display.getPosition(), juce::Point<int> (-350, 110));

    // A press inside the close button's bounds never starts a drag, wherever it then goes.
    display.setBounds (100, 100, width, height);
    const juce::Point<float> onClose ((float) width - 10.0f, 10.0f);
    display.mouseDown (mouseAt (display, onClose, onClose));
    display.mouseDrag (mouseAt (display, { 20.0f, 60.0f }, onClose));
    display.mouseDrag (mouseAt (display, onClose + juce::Point<float> (1.0f, 1.0f), onClose));
    EXPECT_EQ (display.getPosition(), juce::Point<int> (100, 100));
}

TEST (KnobInfoMap, IndexingInsertsEmptyEntriesAndFindDoesNot)
{
    juce::Slider known, unknown;
    KnobInfoMap map;
    map[&known] = { "FEEDBACK", "%", "How much of the echo returns" };

    EXPECT_EQ (map.find (&unknown), map.end());
    const auto& inserted = map[&unknown];
    EXPECT_TRUE (inserted.name.isEmpty() && inserted.unit.isEmpty() && inserted.description.isEmpty());
    EXPECT_EQ (map.size(), 2u);
    EXPECT_EQ (map[&known].unit, "%");
}
