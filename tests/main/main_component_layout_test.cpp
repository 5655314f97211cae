#include <gtest/gtest.h>

#include "main/MainComponentTestAccess.h"

#include <memory>

namespace
{
    using Rect = juce::Rectangle<int>;

    struct Expected
    {
        const char* child;
        Rect bounds;
    };

    // Everything in the header and second row that does not depend on the width.
    const Expected fixedBounds[] = {
        { "loadButton", { 15, 15, 100, 55 } },       { "playButton", { 123, 15, 80, 55 } },
        { "stopButton", { 211, 15, 80, 55 } },       { "loopButton", { 299, 15, 80, 40 } },
        { "volumeKnob", { 389, 15, 55, 55 } },       { "captureButton", { 452, 15, 100, 55 } },
        { "orderButton", { 557, 15, 55, 55 } },      { "keysButton", { 612, 15, 50, 55 } },
        { "midiButton", { 672, 15, 55, 55 } },       { "midiActivityLabel", { 729, 23, 8, 39 } },
        { "syncButton", { 739, 15, 50, 55 } },       { "revButton", { 794, 15, 45, 55 } },
        { "playRevButton", { 844, 15, 70, 55 } },    { "bpmDetectButton", { 15, 75, 120, 40 } },
        { "bpmEditor", { 145, 79, 80, 32 } },        { "bpmLabel", { 232, 79, 36, 32 } },
        { "presetButton", { 290, 75, 150, 40 } },    { "revertButton", { 445, 75, 65, 40 } },
        { "pitchKnob", { 515, 67, 55, 55 } },        { "panKnob", { 575, 67, 55, 55 } },
        { "meterButton", { 635, 75, 55, 40 } },      { "freezeButton", { 695, 75, 55, 40 } },
        { "learnButton", { 755, 75, 50, 40 } },      { "recButton", { 808, 75, 35, 40 } },
        { "autoButton", { 846, 75, 45, 40 } },       { "tapButton", { 894, 75, 25, 40 } },
    };

    const char* const macroKnobs[] = { "toneMaxKnob", "masterProKnob", "metaControlKnob",
                                       "spatialMaxKnob", "textureProKnob", "mathControlKnob" };

    std::unique_ptr<MainComponent> makeAt (int width, int height)
    {
        auto mc = std::make_unique<MainComponent>();
        mc->setSize (width, height);
        return mc;
    }
}

TEST (MainWindowLayout, ReferenceTableAtStartSizeAndOnePixelNarrower)
{
    for (const int width : { 1200, 1199 })
    {
        SCOPED_TRACE (width);
        auto mc = makeAt (width, 800);
        MainComponentTestAccess access (*mc);

        for (const auto& e : fixedBounds)
            EXPECT_EQ (access.child (e.child).getBounds(), e.bounds) << e.child;

        EXPECT_EQ (access.child ("recordingWindow").getBounds(), Rect (width - 920, 40, 900, 500));
        EXPECT_EQ (access.child ("fileLabel").getBounds(), Rect (15, 115, width - 30, 25));
        EXPECT_EQ (access.child ("waveformView").getBounds(), Rect (15, 150, width - 30, 150));
        EXPECT_EQ (access.buttonRowArea(), Rect (15, 305, width - 30, 36));
        EXPECT_EQ (access.child ("effectsViewport").getBounds(), Rect (15, 341, width - 30, 444));
        EXPECT_EQ (access.effectsContent().getBounds(), Rect (0, 0, width - 30, 444));
    }

    // The panel-button row at the start size: eight buttons of (1158 - 48) / 9 = 123 and the
    // finalizer button taking the rest.
    auto mc = makeAt (1200, 800);
    MainComponentTestAccess access (*mc);
    const char* buttons[] = { "distortionSuiteButton", "stereoUtilityButton", "delayVerbButton", "atomizerButton",
                              "imagerButton", "timeProButton", "dictionaryButton", "smartEqButton" };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (access.child (buttons[i]).getBounds(), Rect (21 + 129 * i, 309, 123, 28)) << buttons[i];
    EXPECT_EQ (access.child ("finalizerButton").getBounds(), Rect (1053, 309, 126, 28));
}

TEST (MainWindowLayout, MacroKnobsTakeOneRowOnlyWhenAllSixFit)
{
    const auto twoRows = [] (int) -> std::array<Rect, 6>
    {
        return { Rect (922, 11, 65, 65), Rect (991, 11, 65, 65), Rect (1060, 11, 65, 65),
                 Rect (922, 83, 65, 65), Rect (991, 83, 65, 65), Rect (1060, 83, 65, 65) };
    };
    const std::array<Rect, 6> oneRow { Rect (922, 11, 90, 90), Rect (1018, 11, 90, 90), Rect (1114, 11, 90, 90),
                                       Rect (1210, 11, 90, 90), Rect (1306, 11, 90, 90), Rect (1402, 11, 90, 90) };

    struct Case { int width; std::array<Rect, 6> knobs; };
    const Case cases[] = { { 1199, twoRows (1199) }, { 1200, twoRows (1200) }, { 1506, twoRows (1506) },
                           { 1507, oneRow }, { 1920, oneRow } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.width);
        auto mc = makeAt (c.width, 800);
        MainComponentTestAccess access (*mc);

        for (size_t i = 0; i < 6; ++i)
        {
            const auto bounds = access.child (macroKnobs[i]).getBounds();
            EXPECT_EQ (bounds, c.knobs[i]) << macroKnobs[i];
            EXPECT_GT (bounds.getWidth(), 0) << macroKnobs[i];
        }

        // TAP has a place of its own that no other control covers.
        const auto tap = access.child ("tapButton").getBounds();
        EXPECT_EQ (tap, Rect (894, 75, 25, 40));
        for (auto* other : mc->getChildren())
        {
            if (other != &access.child ("tapButton") && other->isVisible())
            {
                EXPECT_FALSE (other->getBounds().intersects (tap)) << other->getBounds().toString();
            }
        }
    }
}

TEST (MainWindowLayout, ShownPanelsStackInTheContentAndTheirDisplaysOnTheRight)
{
    auto mc = makeAt (1200, 800);
    MainComponentTestAccess access (*mc);
    auto panels = access.panels();

    // Show the distortion suite, the imager, the Smart EQ and the finalizer panel.
    for (int index : { 0, 4, 7, 8 })
        *panels[(size_t) index].state = 0;
    mc->resized();

    EXPECT_EQ (panels[0].panel->getBounds(), Rect (2, 2, 1154, 161));
    EXPECT_EQ (panels[4].panel->getBounds(), Rect (2, 167, 1154, 231));
    EXPECT_EQ (panels[7].panel->getBounds(), Rect (2, 402, 1154, 491));
    EXPECT_EQ (panels[8].panel->getBounds(), Rect (2, 897, 1154, 491));
    EXPECT_EQ (access.effectsContent().getHeight(), 165 + 235 + 495 + 495);

    EXPECT_EQ (panels[0].hud->getBounds(), Rect (985, 2, 210, 100));
    EXPECT_EQ (panels[4].hud->getBounds(), Rect (985, 107, 210, 100));

    // Hiding the imager closes both gaps; hidden panels keep their old bounds.
    *panels[4].state = MainComponent::panelHidden;
    mc->resized();
    EXPECT_EQ (panels[7].panel->getBounds(), Rect (2, 167, 1154, 491));
    EXPECT_EQ (panels[4].panel->getBounds(), Rect (2, 167, 1154, 231));
    EXPECT_EQ (access.effectsContent().getHeight(), 165 + 495 + 495);

    // With everything hidden again the content is as tall as the viewport.
    for (auto& p : panels)
        *p.state = MainComponent::panelHidden;
    mc->resized();
    EXPECT_EQ (access.effectsContent().getHeight(), 444);
}

TEST (MainWindowPainting, ButtonStripIsDrawnOnWhiteAndVanishesWhenThereIsNoRoom)
{
    auto mc = makeAt (1200, 800);
    MainComponentTestAccess access (*mc);

    juce::Image image (juce::Image::ARGB, 1200, 800, true);
    {
        juce::Graphics g (image);
        mc->paint (g);
    }

    EXPECT_EQ (image.getPixelAt (5, 5), juce::Colours::white);
    EXPECT_EQ (image.getPixelAt (600, 200), juce::Colours::white);

    // Inside the strip the grey body gradient shows, darker toward the bottom.
    const auto upper = image.getPixelAt (600, 305 + 14);
    const auto lower = image.getPixelAt (600, 305 + 30);
    EXPECT_NE (upper, juce::Colours::white);
    EXPECT_GT (upper.getBrightness(), lower.getBrightness());
    EXPECT_GT (upper.getBrightness(), 0.6f);

    // The drop shadow falls below and to the right of the strip.
    EXPECT_NE (image.getPixelAt (1186, 325), juce::Colours::white);

    // Too small to lay anything out: no strip, nothing but white.
    mc->setSize (20, 20);
    EXPECT_TRUE (access.buttonRowArea().isEmpty());
    for (const auto& e : fixedBounds)
        EXPECT_TRUE (access.child (e.child).getBounds().isEmpty()) << e.child;

    auto snapshot = mc->createComponentSnapshot (mc->getLocalBounds());
    for (int y = 0; y < snapshot.getHeight(); ++y)
        for (int x = 0; x < snapshot.getWidth(); ++x)
            ASSERT_EQ (snapshot.getPixelAt (x, y), juce::Colours::white) << x << "," << y;
}
