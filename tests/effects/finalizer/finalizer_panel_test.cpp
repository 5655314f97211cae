#include <gtest/gtest.h>

#include "FinalizerFixture.h"
#include "effects/finalizer/FinalizerPanel.h"
#include "support/AudioFixtures.h"
#include "support/PixelProbe.h"

#include <map>
#include <type_traits>

// The compact finalizer panel over a prepared finalizer: where its controls sit, what each one
// writes, and what its 33 ms timer shows.

namespace
{
    // The shared controls the panel relies on, with the shapes it calls them by.
    static_assert (std::is_same_v<decltype (&WaveformView::addAnalysisDot), void (WaveformView::*) (double, float, int, float)>);
    static_assert (std::is_same_v<decltype (&WaveformView::addAnalysisTick), void (WaveformView::*) (double, float, int, float)>);
    static_assert (std::is_same_v<decltype (&WaveformView::setPlayPosition), void (WaveformView::*) (double, double)>);
    static_assert (std::is_invocable_v<decltype (static_cast<void (WaveformView::*) (const juce::File&)> (&WaveformView::loadFile)),
                                       WaveformView&, const juce::File&>);
    static_assert (std::is_base_of_v<juce::LookAndFeel_V4, SilverKnobLookAndFeel>);

    struct PanelRig
    {
        FinalizerRig rig;
        TavroFinalizer& fin = rig.fin;
        FinalizerPanel panel { &fin };

        PanelRig() { panel.setSize (1100, 491); }

        /** Runs blocks of a constant stereo value through the finalizer so its meters hold it. */
        void feed (float left, float right, int blocks = 20)
        {
            rig.makeNeutral();
            fin.dcFilterButton.setToggleStateAndMirror (false, juce::dontSendNotification);
            for (int i = 0; i < blocks; ++i)
                rig.run (512, [=] (int) { return std::pair<float, float> { left, right }; });
        }
    };

    bool hasMark (const WaveformView& view, int type, int style)
    {
        for (const auto& m : view.getAnalysisMarks())
            if (m.type == type && m.style == style)
                return true;
        return false;
    }
}

TEST (FinalizerPanel, WorkedLayoutAt1100By491)
{
    PanelRig r;
    auto& p = r.panel;

    struct Case { juce::Component* component; juce::Rectangle<int> bounds; };
    const Case cases[] = {
        { &p.titleLabel, { 4, 4, 100, 28 } },          { &p.statusLabel, { 114, 4, 982, 28 } },
        { &p.subKnob, { 7, 39, 40, 50 } },             { &p.tiltKnob, { 217, 39, 40, 50 } },
        { &p.waveformView, { 4, 92, 1092, 150 } },
        { &p.widthScope, { 10, 248, 233, 233 } },      { &p.messagePanel, { 255, 248, 240, 233 } },
        { &p.bandWidthKnobs[0], { 596, 248, 42, 42 } }, { &p.aboveKnob, { 896, 248, 42, 42 } },
        { &p.belowKnob, { 946, 248, 42, 42 } },        { &p.widthLabel, { 550, 248, 42, 42 } },
        { &p.bandDriveKnobs[0], { 646, 302, 42, 42 } }, { &p.bandDriveKnobs[5], { 896, 302, 42, 42 } },
        { &p.distLabel, { 600, 302, 42, 42 } },
        { &p.bandModeBoxes[0], { 650, 350, 34, 20 } }, { &p.bandModeBoxes[5], { 900, 350, 34, 20 } },
        { &p.densityKnob, { 696, 382, 42, 42 } },      { &p.motionKnob, { 846, 382, 42, 42 } },
        { &p.atomizeLabel, { 642, 382, 50, 42 } },
        { &p.leftMixKnob, { 746, 436, 42, 42 } },      { &p.rightMixKnob, { 796, 436, 42, 42 } },
        { &p.hudButton, { 1016, 421, 72, 26 } },       { &p.bypassButton, { 1016, 453, 72, 26 } },
        { &p.widthKnob, { 57, 431, 42, 42 } },         { &p.asymKnob, { 105, 431, 42, 42 } },
        { &p.rotateKnob, { 153, 431, 42, 42 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (c.component->getBounds(), c.bounds) << c.component->getName() << " " << c.component->getBounds().toString();

    // The image knobs lie over the scope and above it.
    EXPECT_GT (p.getIndexOfChildComponent (&p.rotateKnob), p.getIndexOfChildComponent (&p.widthScope));
}

TEST (FinalizerPanel, KnobsWriteTheFinalizerThroughItsParameters)
{
    PanelRig r;
    auto& p = r.panel;
    auto& fin = r.fin;

    // Start: the sound's own defaults, band widths included.
    for (size_t k = 0; k < 6; ++k)
    {
        EXPECT_EQ (p.bandWidthKnobs[k].getValue(), 1.0);
        EXPECT_EQ (p.bandWidthKnobs[k].getDoubleClickReturnValue(), 1.0);
        EXPECT_EQ (p.bandDriveKnobs[k].getDoubleClickReturnValue(), 1.0);
        EXPECT_EQ (p.bandModeBoxes[k].getSelectedId(), 2);
    }
    EXPECT_FLOAT_EQ (fin.densityAmount.load(), 0.3f);
    EXPECT_FLOAT_EQ (fin.articAmount.load(), 0.25f);
    EXPECT_FLOAT_EQ (fin.residueAmount.load(), 0.2f);
    EXPECT_EQ (p.messagePanel.text, "Analyzing...");

    struct Case { juce::Slider* knob; double value; std::atomic<float>* parameter; float expected; };
    const Case cases[] = {
        { &p.tameKnob, -6.0, &fin.tameDb, -6.0f },       { &p.subKnob, 4.5, &fin.subDb, 4.5f },
        { &p.tiltKnob, -2.0, &fin.tiltDb, -2.0f },       { &p.motionKnob, 20.0, &fin.motionAmount, 0.2f },
        { &p.densityKnob, 55.0, &fin.densityAmount, 0.55f }, { &p.belowKnob, 100.0, &fin.belowAmount, 1.0f },
        { &p.leftMixKnob, 0.25, &fin.leftMix, 0.25f },   { &p.widthKnob, 2.5, &fin.width, 2.5f },
        { &p.asymKnob, -30.0, &fin.asymmetryDeg, -30.0f }, { &p.rotateKnob, 12.0, &fin.rotateDeg, 12.0f },
        { &p.bandDriveKnobs[4], 0.7, &fin.bandDrive[4], 0.7f }, { &p.bandWidthKnobs[2], 1.5, &fin.bandWidth[2], 1.5f },
    };
    for (const auto& c : cases)
    {
        c.knob->setValue (c.value, juce::sendNotificationSync);
        EXPECT_FLOAT_EQ (c.parameter->load(), c.expected) << c.knob->getName();
    }

    // Moving other knobs left the untouched band widths where the sound starts them.
    for (size_t k : { 0u, 1u, 3u, 4u, 5u })
        EXPECT_EQ (fin.bandWidth[k].load(), 1.0f) << k;

    // The tone gains reach the equaliser at once: the next block runs the new sections.
    r.rig.run (64, [] (int) { return std::pair<float, float> { 0.0f, 0.0f }; });
    const auto expected = dsp::peaking<double> (FinalizerRig::rate, 7000.0, std::pow (10.0, -6.0 / 40.0), 0.7);
    const auto& tame = fin.audioState().eqBands[3].coefficients;
    EXPECT_EQ (tame.b0, expected.b0);
    EXPECT_EQ (tame.a2, expected.a2);

    // The scope follows the image knobs.
    EXPECT_EQ (p.widthScope.targetValues[FinalizerPanel::StereoWidthScope::width], 2.5f);
    EXPECT_EQ (p.widthScope.targetValues[FinalizerPanel::StereoWidthScope::asymmetry], -30.0f);
    EXPECT_EQ (p.widthScope.targetValues[FinalizerPanel::StereoWidthScope::rotation], 12.0f);

    // A mode change writes the item id and takes the scope's levels from the meters.
    r.feed (0.5f, 0.1f);
    p.bandModeBoxes[1].setSelectedId (3, juce::sendNotificationSync);
    EXPECT_EQ (fin.bandMode[1].load(), 3);
    const auto meters = fin.readMeters();
    EXPECT_GT (meters.midRms, 0.0f);
    EXPECT_EQ (p.widthScope.targetValues[0], juce::jlimit (0.0f, 1.0f, meters.midRms));
    EXPECT_EQ (p.widthScope.targetValues[1], juce::jlimit (0.0f, 1.5f, meters.sideRms));

    p.bypassButton.setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (fin.bypassed.load());
}

TEST (FinalizerPanel, WithoutAFinalizerOnlyTheScopeMoves)
{
    FinalizerPanel panel (nullptr);
    panel.setSize (1100, 491);
    panel.widthKnob.setValue (2.0, juce::sendNotificationSync);
    panel.tameKnob.setValue (-3.0, juce::sendNotificationSync);
    panel.bandModeBoxes[0].setSelectedId (1, juce::sendNotificationSync);
    panel.timerCallback();
    EXPECT_EQ (panel.widthScope.targetValues[2], 2.0f);
    EXPECT_NEAR (panel.widthScope.displayValues[2], 1.15f, 1.0e-6f);
    EXPECT_EQ (panel.messagePanel.text, "Analyzing...");
}

TEST (FinalizerPanel, TimerShowsPlayHeadMarkersAndTextOnlyWhenChanged)
{
    PanelRig r;
    auto& p = r.panel;
    auto& fin = r.fin;

    fin.loadWavePlayerFile (juce::File(), SharedDecodedAudio (audiofixtures::decoded (2, 96000, 48000.0, audiofixtures::sine (440.0, 48000.0))));
    fin.playPosition = 24000.0;

    // Silence: no markers, the waiting text, painted once.
    p.timerCallback();
    EXPECT_DOUBLE_EQ (p.waveformView.getPlayPosition(), 0.5);
    EXPECT_DOUBLE_EQ (p.waveformView.getTotalLength(), 2.0);
    EXPECT_EQ (p.messagePanel.text, "Waiting for audio...");
    EXPECT_EQ (p.messagePanel.textChanges, 1);
    EXPECT_TRUE (p.waveformView.getAnalysisMarks().empty());
    p.timerCallback();
    EXPECT_EQ (p.messagePanel.textChanges, 1);

    // A full-scale positive constant clips, carries DC and has no crest to speak of.
    r.feed (1.0f, 1.0f);
    const auto f = fin.readMeters().features;
    ASSERT_TRUE (f.clipping && f.dcOffset);
    p.timerCallback();
    EXPECT_TRUE (hasMark (p.waveformView, 2, 0));
    EXPECT_TRUE (hasMark (p.waveformView, 5, 1));
    EXPECT_EQ (hasMark (p.waveformView, 4, 0), f.overCompressed && f.crestDb < 5.0f);
    EXPECT_EQ (p.messagePanel.text, TavroFinalizer::describeSignalCharacter (f));
    EXPECT_EQ (p.messagePanel.textChanges, 2);

    const auto marks = p.waveformView.getAnalysisMarks().size();
    p.timerCallback();   // same place, same kinds: the view keeps one of each
    EXPECT_EQ (p.waveformView.getAnalysisMarks().size(), marks);
    EXPECT_EQ (p.messagePanel.textChanges, 2);
}

TEST (FinalizerPanel, ScopeColoursBadgesAndPixels)
{
    using Scope = FinalizerPanel::StereoWidthScope;
    const juce::Colour fillStart (0x9026c6ff), outline (0xff6ee0ff);

    struct Case { float width; juce::Colour start, line; };
    const Case cases[] = {
        { 2.1f, fillStart.interpolatedWith (juce::Colour (0xff00ffff), 0.35f), outline.interpolatedWith (juce::Colour (0xff00ffff), 0.4f) },
        { 0.4f, fillStart.interpolatedWith (juce::Colour (0xffff8800), 0.35f), outline.interpolatedWith (juce::Colour (0xffffaa00), 0.4f) },
        { 1.0f, fillStart, outline },
    };
    for (const auto& c : cases)
    {
        const auto colours = Scope::coloursFor ({ 0.5f, 0.5f, c.width, 0.0f, 0.0f });
        EXPECT_EQ (colours.fillStart, c.start) << c.width;
        EXPECT_EQ (colours.outline, c.line) << c.width;
        EXPECT_EQ (colours.fillEnd, juce::Colour (0x5033ffaa));
    }

    const auto silent = Scope::badgesFor ({ 0.0f, 0.0f, 1.0f, 0.0f, 0.0f });
    EXPECT_EQ (silent[3].label + silent[3].value, "S:0.0");
    EXPECT_TRUE (silent[3].highlighted);
    EXPECT_FALSE (silent[0].highlighted);
    EXPECT_EQ (silent[0].value, "1.00");
    const auto turned = Scope::badgesFor ({ 0.5f, 0.3f, 1.0f, -30.7f, 10.0f });
    EXPECT_EQ (turned[1].value, "-30" + juce::String::fromUTF8 ("\xc2\xb0"));
    EXPECT_TRUE (turned[1].highlighted && turned[2].highlighted);
    EXPECT_EQ (turned[3].value, "0.6");
    EXPECT_FALSE (turned[3].highlighted);

    // Rendered: the narrow image's outline is pulled toward orange (red above blue), the wide
    // one's toward cyan; measured clear of the corner badges. The background stays the scope's own.
    const juce::Rectangle<int> inside (30, 30, 173, 173);
    const auto orange = [] (juce::Colour c) { return c.getRed() > c.getBlue() + 10 && c.getRed() > 120; };
    const auto cyan = [] (juce::Colour c) { return c.getBlue() > 150 && c.getRed() < 100; };
    std::map<float, std::pair<int, int>> found;
    for (float width : { 2.1f, 0.4f })
    {
        Scope scope;
        scope.setSize (233, 233);
        scope.displayValues = { 0.5f, 0.5f, width, 0.0f, 0.0f };
        const auto image = pixel_probe::render (scope);
        found[width] = { pixel_probe::count (image, inside, orange), pixel_probe::count (image, inside, cyan) };
        EXPECT_TRUE (pixel_probe::nearRgb (image.getPixelAt (30, 200), juce::Colour (0xff0a0e14), 2));
    }
    EXPECT_EQ (found[2.1f].first, 0);
    EXPECT_GT (found[0.4f].first, 20);
    EXPECT_GT (found[2.1f].second, found[0.4f].second + 100);
}

TEST (FinalizerPanel, MetallicSwitchesDarkenWhenOn)
{
    PanelRig r;
    auto& button = r.panel.bypassButton;
    const auto off = pixel_probe::render (button);
    button.setToggleState (true, juce::dontSendNotification);
    const auto on = pixel_probe::render (button);
    EXPECT_GT (off.getPixelAt (8, 8).getBrightness(), on.getPixelAt (8, 8).getBrightness() + 0.3f);
    EXPECT_GT (pixel_probe::count (on, [] (juce::Colour c) { return pixel_probe::nearRgb (c, juce::Colour (0xffff6644), 40); }), 0);
}
