#include "RecordingWindowRig.h"

#include "main/MainComponentTestAccess.h"
#include "support/MessagePump.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

// The panel itself: layout, painting, keys, zoom, the source rule, dragging and closing.

namespace
{
    using Rect = juce::Rectangle<int>;

    juce::KeyPress key (int code, juce::ModifierKeys mods = {}, juce::juce_wchar text = 0)
    {
        return juce::KeyPress (code, mods, text != 0 ? text : (juce::juce_wchar) code);
    }

    juce::MouseEvent mouseAt (juce::Component& target, juce::Point<float> position, juce::Point<float> downAt,
                              bool dragged)
    {
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position,
                                 juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f,
                                 0.0f, 0.0f, &target, &target, juce::Time::getCurrentTime(), downAt,
                                 juce::Time::getCurrentTime(), 1, dragged);
    }
}

TEST (RecordingWindow, LayoutAt900By500)
{
    RecordingWindowRig rig;
    auto& w = *rig.window;

    const std::pair<juce::Component*, Rect> expected[] = {
        { &w.titleBar, { 4, 4, 892, 28 } },           { &w.closeButton, { 870, 6, 24, 24 } },
        { &w.waveformDisplay, { 4, 36, 443, 225 } },  { &w.spectrumDisplay, { 453, 36, 443, 225 } },
        { &w.displayButton, { 12, 275, 70, 24 } },    { &w.recordButton, { 87, 275, 95, 24 } },
        { &w.playButton, { 187, 275, 55, 24 } },      { &w.exportButton, { 247, 275, 80, 24 } },
        { &w.monitorButton, { 332, 275, 70, 24 } },   { &w.zoomOutButton, { 788, 275, 28, 24 } },
        { &w.fitButton, { 818, 275, 38, 24 } },       { &w.zoomInButton, { 858, 275, 28, 24 } },
        { &w.zoomLabel, { 751, 279, 35, 16 } },       { &w.statusLabel, { 407, 277, 200, 20 } },
        { &w.sourceBox, { 57, 307, 160, 20 } },       { &w.settingsButton, { 222, 307, 70, 20 } },
        { &w.helpButton, { 297, 307, 22, 20 } },      { &w.channelBox, { 402, 307, 100, 20 } },
        { &w.inputGainSlider, { 87, 333, 200, 22 } }, { &w.inputLevelMeter, { 302, 331, 359, 50 } },
        { &w.smartGainKnob, { 671, 331, 42, 42 } },   { &w.stereoMaxHighKnob, { 815, 331, 42, 42 } },
        { &w.highLabel, { 815, 375, 42, 12 } },       { &w.infoLabel, { 12, 478, 876, 14 } },
    };

    for (const auto& [component, bounds] : expected)
        EXPECT_EQ (component->getBounds(), bounds) << component->getName() << " at " << bounds.toString();

    // The control panel starts at y 267: the window's background above it, the panel's fill below.
    const auto image = pixel_probe::render (w);
    EXPECT_TRUE (pixel_probe::nearRgb (image.getPixelAt (600, 266), juce::Colour (0xff1a1a2e), 2));
    EXPECT_TRUE (pixel_probe::nearRgb (image.getPixelAt (600, 269), juce::Colour (0xff2a3040), 2));
    EXPECT_TRUE (pixel_probe::nearRgb (image.getPixelAt (600, 303), juce::Colour (0xff4a5a6a), 2)) << "divider";
    EXPECT_TRUE (pixel_probe::nearRgb (image.getPixelAt (450, 0), juce::Colour (0xff4682b4), 2)) << "border";
    EXPECT_GT (pixel_probe::count (image, { 300, 4, 300, 28 },
                                   [] (juce::Colour c) { return c.getRed() > 240 && c.getGreen() > 240 && c.getBlue() > 240; }),
               20) << "the white title";
}

TEST (RecordingWindow, ZoomStepsAndArrowKeys)
{
    RecordingWindowRig rig;
    auto& w = *rig.window;

    w.zoomOut();
    EXPECT_FLOAT_EQ (w.waveformZoom, 1.0f);
    EXPECT_FLOAT_EQ (w.waveformScroll, 0.0f);

    for (int i = 0; i < 8; ++i)
        w.keyPressed (key ('='));
    EXPECT_NEAR (w.waveformZoom, 25.63f, 0.005f);
    w.keyPressed (key (juce::KeyPress::numberPadAdd));
    EXPECT_FLOAT_EQ (w.waveformZoom, 32.0f);

    w.keyPressed (key ('0'));
    EXPECT_FLOAT_EQ (w.waveformZoom, 1.0f);

    // At full view the arrows pass to the main window.
    EXPECT_FALSE (w.keyPressed (key (juce::KeyPress::leftKey)));
    EXPECT_FALSE (w.keyPressed (key (juce::KeyPress::rightKey)));

    w.waveformZoom = 2.0f;
    w.waveformScroll = 0.45f;
    EXPECT_TRUE (w.keyPressed (key (juce::KeyPress::rightKey)));
    EXPECT_FLOAT_EQ (w.waveformScroll, 0.5f);
    EXPECT_TRUE (w.keyPressed (key (juce::KeyPress::leftKey)));
    EXPECT_FLOAT_EQ (w.waveformScroll, 0.375f);

    // Zooming out keeps the scroll inside what can be shown.
    w.waveformScroll = 0.5f;
    w.keyPressed (key ('-'));
    EXPECT_FLOAT_EQ (w.waveformScroll, 1.0f - 1.0f / w.waveformZoom);
}

TEST (RecordingWindow, KeysActOnlyWithoutModifiers)
{
    struct Case
    {
        const char* name;
        juce::KeyPress press;
        bool consumed, countdownStarts;
    };

    const auto shift = juce::ModifierKeys (juce::ModifierKeys::shiftModifier);
    const auto ctrl = juce::ModifierKeys (juce::ModifierKeys::ctrlModifier);
    const Case cases[] = {
        { "Shift+R", key ('R', shift, 'R'), false, false },
        { "Ctrl+P", key ('P', ctrl, 'p'), false, false },
        { "Ctrl+R", key ('R', ctrl, 'r'), false, false },
        { "R", key ('R', {}, 'R'), true, true },
        { "r", key ('r'), true, true },
        { "space", key (juce::KeyPress::spaceKey, {}, ' '), true, true },
        { "x", key ('x'), false, false },
    };

    for (const auto& c : cases)
    {
        RecordingWindowRig rig;
        EXPECT_EQ (rig.window->keyPressed (c.press), c.consumed) << c.name;
        EXPECT_EQ (rig.window->countdownActive.load(), c.countdownStarts) << c.name;
    }

    RecordingWindowRig rig;
    auto& w = *rig.window;
    EXPECT_TRUE (w.keyPressed (key ('m')));
    EXPECT_TRUE (w.monitorEnabled);
    EXPECT_TRUE (w.monitorButton.getToggleState());

    EXPECT_TRUE (w.keyPressed (key (juce::KeyPress::upKey)));
    EXPECT_DOUBLE_EQ (w.smartGainKnob.getValue(), 5.0);
    w.keyPressed (key (juce::KeyPress::downKey));
    w.keyPressed (key (juce::KeyPress::downKey));
    EXPECT_DOUBLE_EQ (w.smartGainKnob.getValue(), 0.0);
}

TEST (RecordingWindow, SourceKeysAndTheFirstMessageLoopPass)
{
    RecordingWindowRig rig;
    auto& w = *rig.window;
    w.settingsButton.setVisible (true);   // as after a pass through another source

    ASSERT_TRUE (test_support::runPendingMessages());
    EXPECT_FALSE (w.settingsButton.isVisible());
    EXPECT_FALSE (w.helpButton.isVisible());
    EXPECT_TRUE (w.isAppAudioSource.load());

    EXPECT_TRUE (w.keyPressed (key ('2')));
    EXPECT_FALSE (w.isAppAudioSource.load());
    EXPECT_FALSE (w.isExInFxSource.load());
    EXPECT_TRUE (w.settingsButton.isVisible());
    EXPECT_TRUE (w.helpButton.isVisible());
    EXPECT_EQ (rig.status(), "INPUT: Test Input (2 ch) READY") << "the device status replaces the source text";

    w.keyPressed (key ('3'));
    EXPECT_TRUE (w.isExInFxSource.load());
    w.toggleRecording();
    w.toggleRecording();   // cancelled: idle again
    w.beginRecording();
    EXPECT_EQ (rig.status(), "RECORDING: External Input");
    w.finishRecording();
    EXPECT_EQ (rig.status(), "READY: External Input");

    EXPECT_TRUE (w.keyPressed (key ('1')));
    EXPECT_TRUE (w.isAppAudioSource.load());
    EXPECT_FALSE (w.isExInFxSource.load());
    EXPECT_EQ (rig.status(), "Recording app's audio output");
    EXPECT_FALSE (w.settingsButton.isVisible());
    EXPECT_FALSE (w.helpButton.isVisible());
}

TEST (RecordingWindow, CloseButtonEscapeAndCloseKeepTheRecording)
{
    RecordingWindowRig rig;
    auto& w = *rig.window;
    int closes = 0;
    w.onClose = [&] { ++closes; };

    // A release after a drag does not close.
    w.closeButton.mouseUp (mouseAt (w.closeButton, { 12, 12 }, { 2, 2 }, true));
    EXPECT_TRUE (w.isVisible());

    w.beginRecording();
    w.takeMono.assign (10, 0.0f);
    w.togglePlayback();
    w.closeButton.mouseUp (mouseAt (w.closeButton, { 12, 12 }, { 12, 12 }, false));
    EXPECT_FALSE (w.isVisible());
    EXPECT_EQ (closes, 1);
    EXPECT_FALSE (w.isPlayingTake.load()) << "closing stops playback only";
    EXPECT_TRUE (w.isRecording.load());

    w.setVisible (true);
    EXPECT_TRUE (w.keyPressed (key (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (w.isVisible());
    EXPECT_EQ (closes, 2);
    EXPECT_TRUE (w.isRecording.load());
}

TEST (RecordingWindow, TitleBarDragMovesThePanelUntilTheNextMainLayout)
{
    auto mc = std::make_unique<MainComponent>();
    mc->setSize (1200, 800);
    MainComponentTestAccess access (*mc);
    auto& w = dynamic_cast<RecordingWindow&> (access.child ("recordingWindow"));
    w.setVisible (true);
    ASSERT_EQ (w.getBounds(), Rect (280, 40, 900, 500));

    w.titleBar.mouseDown (mouseAt (w.titleBar, { 100, 10 }, { 100, 10 }, false));
    w.titleBar.mouseDrag (mouseAt (w.titleBar, { -300, 410 }, { 100, 10 }, true));
    EXPECT_EQ (w.getBounds(), Rect (-120, 440, 900, 500)) << "free to leave the main window's area";

    mc->setSize (1201, 800);
    EXPECT_EQ (w.getBounds(), Rect (281, 40, 900, 500));
}

TEST (RecordingWindow, LookAndFeelHooksReachSixButtonsAndFourKnobsAndClearOnlyTheButtons)
{
    juce::LookAndFeel_V4 buttonLook, knobLook;   // outlive the panel
    RecordingWindowRig rig;
    auto& w = *rig.window;

    w.setButtonLookAndFeel (&buttonLook);
    w.setKnobLookAndFeel (&knobLook);

    juce::Button* const styled[] = { &w.displayButton, &w.recordButton, &w.exportButton,
                                     &w.monitorButton, &w.settingsButton, &w.helpButton };
    juce::Slider* const knobs[] = { &w.smartGainKnob, &w.stereoMaxLowKnob, &w.stereoMaxMidKnob, &w.stereoMaxHighKnob };

    for (auto* b : styled)
        EXPECT_EQ (&b->getLookAndFeel(), &buttonLook) << b->getButtonText();
    EXPECT_NE (&w.playButton.getLookAndFeel(), &buttonLook) << "PLAY keeps the default look";
    for (auto* k : knobs)
        EXPECT_EQ (&k->getLookAndFeel(), &knobLook);

    w.clearLookAndFeels();
    for (auto* b : styled)
        EXPECT_NE (&b->getLookAndFeel(), &buttonLook) << b->getButtonText();
    for (auto* k : knobs)
        EXPECT_EQ (&k->getLookAndFeel(), &knobLook);

    w.setKnobLookAndFeel (nullptr);
}
