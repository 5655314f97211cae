#include <gtest/gtest.h>

#include "controls/WaveformView.h"
#include "controls/WaveformTestFiles.h"

namespace
{
    // A 16 s file in a 408-pixel view: the waveform area is 400 wide from x = 4, so one second
    // is 25 pixels and time t sits at x = 4 + 25 t.
    struct LoadedView : public ::testing::Test
    {
        static void SetUpTestSuite()
        {
            file = new juce::File (waveformtest::sineWav ("view16.wav", 16.0, 8000.0));
        }

        static void TearDownTestSuite()
        {
            file->deleteFile();
            delete file;
            file = nullptr;
        }

        LoadedView()
        {
            view.setSize (408, 100);
            view.loadFile (*file);
            view.setPlayPosition (0.0, 16.0);
        }

        static float xAt (double t) { return 4.0f + 25.0f * (float) t; }

        juce::MouseEvent event (float x, juce::ModifierKeys mods = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier),
                                int clicks = 1)
        {
            const auto now = juce::Time::getCurrentTime();
            const juce::Point<float> pos (x, 40.0f);
            return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), pos, mods,
                                     juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f,
                                     &view, &view, now, pos, now, clicks, false);
        }

        void press (float x)   { view.mouseDown (event (x)); }
        void drag (float x)    { view.mouseDrag (event (x)); }
        void release (float x) { view.mouseUp (event (x)); }

        std::vector<double> sliceTimes() const
        {
            std::vector<double> times;

            for (const auto& s : view.getSlices())
                times.push_back (s.time);

            return times;
        }

        juce::Image render()
        {
            juce::Image image (juce::Image::RGB, view.getWidth(), view.getHeight(), true);
            juce::Graphics g (image);
            view.paintEntireComponent (g, false);
            return image;
        }

        static juce::File* file;
        WaveformView view;
    };

    juce::File* LoadedView::file = nullptr;
}

TEST (WaveformViewText, FormatTimeAndRulerStep)
{
    const struct { double seconds; const char* text; } times[] =
    {
        { 12.345, "12.35" }, { 65.2, "1:05.20" }, { 0.0, "0.00" }, { 120.0, "2:00.00" }, { 59.5, "59.50" },
    };

    for (const auto& c : times)
        EXPECT_EQ (WaveformView::formatTime (c.seconds), c.text) << c.seconds;

    const struct { double span; double step; } steps[] =
    {
        { 1.5, 0.1 }, { 2.0, 0.5 }, { 9.9, 0.5 }, { 20.0, 1.0 }, { 45.0, 5.0 }, { 100.0, 10.0 }, { 300.0, 30.0 },
    };

    for (const auto& c : steps)
        EXPECT_DOUBLE_EQ (WaveformView::rulerTickStep (c.span), c.step) << c.span;

    bool barsOnly = false;
    EXPECT_DOUBLE_EQ (WaveformView::beatGridStep (120.0f, 40.0, barsOnly), 2.0);
    EXPECT_TRUE (barsOnly);
    EXPECT_DOUBLE_EQ (WaveformView::beatGridStep (120.0f, 1.0, barsOnly), 0.125);
    EXPECT_FALSE (barsOnly);
}

TEST_F (LoadedView, LoadingResetsMarkersAndRangeAndAMissingFileLeavesItEmpty)
{
    EXPECT_TRUE (view.isFileLoaded());
    EXPECT_DOUBLE_EQ (view.getTotalLength(), 16.0);
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::loopInMarker).time, 0.0);
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::loopOutMarker).time, 16.0);
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::endMarker).time, 16.0);
    EXPECT_EQ (view.getMarker (WaveformView::loopOutMarker).name, "Loop Out");
    EXPECT_DOUBLE_EQ (view.getVisibleEnd(), 16.0);

    view.addSlice (3.0, {});
    view.loadFile (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("missing.wav"));
    EXPECT_FALSE (view.isFileLoaded());
    EXPECT_TRUE (view.getSlices().empty());

    // An empty view ignores presses.
    int seeks = 0;
    view.onSeek = [&] (double) { ++seeks; };
    press (100.0f);
    EXPECT_EQ (seeks, 0);
}

TEST_F (LoadedView, AutomaticSlicesAndSliceNumbering)
{
    int notifications = 0;
    view.onSlicesChanged = [&] { ++notifications; };

    view.handleViewMenuResult (WaveformView::uniform8Id, 0.0);
    EXPECT_EQ (sliceTimes(), (std::vector<double> { 2, 4, 6, 8, 10, 12, 14 }));
    EXPECT_EQ (view.getSlices().front().name, "1");
    EXPECT_EQ (view.getSlices().back().name, "7");
    EXPECT_EQ (notifications, 7) << "one notice per slice";

    view.handleViewMenuResult (WaveformView::transientId, 0.0);
    ASSERT_EQ (view.getSlices().size(), 8u);

    for (size_t i = 0; i < 8; ++i)
        EXPECT_NEAR (view.getSlices()[i].time, 16.0 / 9.0 * (double) (i + 1), 1e-9);

    view.handleViewMenuResult (WaveformView::uniform16Id, 0.0);
    EXPECT_EQ (view.getSlices().size(), 15u);

    // Ids keep counting across loads; the eleventh slice repeats the first one's hue.
    const auto lastId = view.getSlices().back().id;
    view.loadFile (*file);

    for (int i = 0; i < 11; ++i)
        view.addSlice (i * 1.0, {});

    EXPECT_GT (view.getSlices().front().id, lastId);
    EXPECT_NEAR (view.getSlices()[10].colour.getHue(), view.getSlices()[0].colour.getHue(), 1e-3);
    EXPECT_NE (view.getSlices()[1].colour, view.getSlices()[0].colour);

    view.handleViewMenuResult (WaveformView::clearAllSlicesId, 0.0);
    EXPECT_TRUE (view.getSlices().empty());

    // "Add Slice Here" right of the file's end adds one at the end.
    view.handleViewMenuResult (WaveformView::addSliceHereId, view.menuClickTime (1000));
    EXPECT_EQ (sliceTimes(), (std::vector<double> { 16.0 }));
}

TEST_F (LoadedView, ZoomStopsAtATenthOfASecondAndNeverShowsMoreThanTheFile)
{
    for (int i = 0; i < 20; ++i)
        view.zoomIn();

    EXPECT_NEAR (view.getVisibleEnd() - view.getVisibleStart(), 0.1, 1e-9);
    EXPECT_NEAR (view.getVisibleStart(), 7.95, 1e-9);

    for (int i = 0; i < 20; ++i)
        view.zoomOut();

    EXPECT_DOUBLE_EQ (view.getVisibleStart(), 0.0);
    EXPECT_DOUBLE_EQ (view.getVisibleEnd(), 16.0);

    // Near the start the left end stays at 0 and the span comes out shorter.
    view.handleViewMenuResult (WaveformView::zoomToFitId, 0.0);
    view.zoomIn();
    view.zoomIn();                                      // 6..10
    view.mouseWheelMove (event (10.0f, juce::ModifierKeys (juce::ModifierKeys::shiftModifier)),
                         juce::MouseWheelDetails { 0.0f, 10.0f, false, false, false });
    EXPECT_DOUBLE_EQ (view.getVisibleStart(), 0.0);
    EXPECT_DOUBLE_EQ (view.getVisibleEnd(), 2.0);

    view.mouseWheelMove (event (10.0f, {}), juce::MouseWheelDetails { 0.0f, -1.0f, false, false, false });
    EXPECT_DOUBLE_EQ (view.getVisibleStart(), 0.0);
    EXPECT_DOUBLE_EQ (view.getVisibleEnd(), 3.0);

    // With auto-scroll the play head passing the last tenth jumps the view, kept within the file.
    view.autoScroll = true;
    view.handleViewMenuResult (WaveformView::zoomToFitId, 0.0);
    view.zoomIn();                                      // 4..12
    view.setPlayPosition (11.0, 16.0);
    EXPECT_DOUBLE_EQ (view.getVisibleStart(), 4.0);
    view.setPlayPosition (11.5, 16.0);
    EXPECT_DOUBLE_EQ (view.getVisibleStart(), 8.0);
    EXPECT_DOUBLE_EQ (view.getVisibleEnd(), 16.0);
}

TEST_F (LoadedView, ClickSeeksAndDragKeepsSeeking)
{
    std::vector<double> seeks;
    view.onSeek = [&] (double t) { seeks.push_back (t); };

    press (xAt (6.0));
    drag (xAt (7.0));
    drag (2000.0f);
    release (2000.0f);
    drag (xAt (3.0));   // after release nothing seeks

    ASSERT_EQ (seeks.size(), 3u);
    EXPECT_NEAR (seeks[0], 6.0, 1e-9);
    EXPECT_NEAR (seeks[1], 7.0, 1e-9);
    EXPECT_DOUBLE_EQ (seeks[2], 16.0) << "clamped to the file";
}

TEST_F (LoadedView, LoopMarkersDragAndPushEachOtherWhileStartAndEndStay)
{
    std::vector<std::pair<int, double>> moves;
    view.onMarkerMoved = [&] (int id, double t) { moves.push_back ({ id, t }); };

    press (xAt (16.0));
    EXPECT_EQ (view.getSelectedMarker(), WaveformView::loopOutMarker) << "Loop Out comes before End";
    drag (xAt (10.0));
    release (xAt (10.0));
    EXPECT_EQ (moves.back(), std::make_pair (2, 10.0));

    press (xAt (0.0));
    EXPECT_EQ (view.getSelectedMarker(), WaveformView::startMarker) << "Start comes before Loop In";
    drag (xAt (5.0));
    release (xAt (5.0));
    press (xAt (16.0));
    EXPECT_EQ (view.getSelectedMarker(), WaveformView::endMarker);
    drag (xAt (5.0));
    release (xAt (5.0));
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::startMarker).time, 0.0);
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::endMarker).time, 16.0);
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::loopInMarker).time, 0.0);

    // Loop In dragged after Loop Out takes Loop Out along ...
    view.setMarkerTime (WaveformView::loopInMarker, 4.0);
    press (xAt (4.0));
    drag (xAt (12.0));
    release (xAt (12.0));
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::loopInMarker).time, 12.0);
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::loopOutMarker).time, 12.0);
    EXPECT_EQ (moves.back(), std::make_pair (1, 12.0));

    // ... and Loop Out dragged before Loop In takes Loop In along.
    view.setMarkerTime (WaveformView::loopInMarker, 8.0);
    view.setMarkerTime (WaveformView::loopOutMarker, 13.0);
    press (xAt (13.0));
    drag (xAt (3.0));
    release (xAt (3.0));
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::loopInMarker).time, 3.0);
    EXPECT_DOUBLE_EQ (view.getMarker (WaveformView::loopOutMarker).time, 3.0);
    EXPECT_EQ (moves.back(), std::make_pair (2, 3.0));
}

TEST_F (LoadedView, SlicesWinOverMarkersAndKeepTheirIdentityWhenDragged)
{
    view.addSlice (15.9, "near end");
    view.addSlice (4.0, "a");
    view.addSlice (6.0, "b");

    press (xAt (16.0));
    EXPECT_EQ (view.getSelectedSlice(), 2) << "within 8 px of both the slice and Loop Out";
    EXPECT_EQ (view.getSelectedMarker(), WaveformView::noMarker);
    release (xAt (16.0));

    press (xAt (4.0));
    drag (xAt (5.0));
    drag (xAt (8.0));                                       // passes "b"
    EXPECT_EQ (view.getSelectedSlice(), 1);
    drag (xAt (7.5));
    release (xAt (7.5));

    ASSERT_EQ (view.getSlices().size(), 3u);
    EXPECT_EQ (view.getSlices()[0].name, "b");
    EXPECT_EQ (view.getSlices()[1].name, "a");
    EXPECT_DOUBLE_EQ (view.getSlices()[1].time, 7.5);
    EXPECT_EQ (view.getSelectedSlice(), -1);
}

TEST_F (LoadedView, RegionSelectionReportsOnReleaseAndDoubleClickClears)
{
    std::vector<std::pair<double, double>> ranges;
    std::vector<double> seeks;
    view.onLoopRange = [&] (double a, double b) { ranges.push_back ({ a, b }); };
    view.onSeek = [&] (double t) { seeks.push_back (t); };
    view.regionSelectMode = true;

    press (xAt (8.0));
    drag (xAt (5.0));
    EXPECT_TRUE (view.selectionActive);
    release (xAt (5.0));

    ASSERT_EQ (ranges.size(), 1u);
    EXPECT_NEAR (ranges[0].first, 5.0, 1e-9);
    EXPECT_NEAR (ranges[0].second, 8.0, 1e-9);
    EXPECT_TRUE (seeks.empty()) << "a region press does not seek";

    // A selection of 0.01 s or less is not reported.
    press (xAt (8.0));
    drag (xAt (8.0) + 0.1f);
    release (xAt (8.0) + 0.1f);
    EXPECT_EQ (ranges.size(), 1u);

    view.regionSelectMode = false;
    press (xAt (3.0));
    release (xAt (3.0));
    view.mouseDoubleClick (event (xAt (3.0), juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 2));

    EXPECT_FALSE (view.selectionActive);
    EXPECT_EQ (ranges.back(), std::make_pair (0.0, 0.0));
    EXPECT_EQ (seeks.size(), 1u);
}

TEST_F (LoadedView, AnalysisMarksAreDedupedCappedAndAged)
{
    view.addAnalysisDot (1.000, 0.5f, 2, 0.8f);
    view.addAnalysisDot (1.015, 0.5f, 2, 0.8f);     // same type within 0.02 s: dropped
    view.addAnalysisDot (1.015, 2.0f, 0, 3.0f);     // other type: kept, clamped
    ASSERT_EQ (view.getAnalysisMarks().size(), 2u);
    EXPECT_FLOAT_EQ (view.getAnalysisMarks()[0].maxLife, 0.3f);
    EXPECT_FLOAT_EQ (view.getAnalysisMarks()[1].value, 1.0f);
    EXPECT_FLOAT_EQ (view.getAnalysisMarks()[1].strength, 1.0f);
    EXPECT_FLOAT_EQ (view.getAnalysisMarks()[1].maxLife, 0.4f) << "life from the strength as passed";

    view.addAnalysisTick (1.05, -2.0f, 2, 0.5f);     // ticks: other style, 0.1 s window per type
    view.addAnalysisTick (1.10, 0.0f, 3, 0.5f);
    view.addAnalysisTick (1.15, 0.0f, 3, 0.5f);
    ASSERT_EQ (view.getAnalysisMarks().size(), 3u) << "the tick of type 2 is within 0.1 s of the first dot";
    EXPECT_EQ (view.getAnalysisMarks()[2].style, 1);
    EXPECT_FLOAT_EQ (view.getAnalysisMarks()[2].maxLife, 0.6f);

    for (int i = 0; i < 40; ++i)
        view.addAnalysisDot (2.0 + i * 0.1, 0.0f, 5, 0.0f);

    ASSERT_EQ ((int) view.getAnalysisMarks().size(), WaveformView::maxAnalysisMarks);
    EXPECT_NEAR (view.getAnalysisMarks().front().time, 2.8, 1e-9) << "oldest dropped first";

    // Type 5 dots of strength 0 live 0.1 s, gone after four 33 ms ticks; the 0.4 s tick outlives them.
    view.addAnalysisTick (9.0, 0.0f, 3, 0.0f);
    for (int i = 0; i < 4; ++i)
        view.timerCallback();

    ASSERT_EQ (view.getAnalysisMarks().size(), 1u);
    EXPECT_EQ (view.getAnalysisMarks()[0].style, 1);
}

TEST_F (LoadedView, MenuTicksFollowModeAndSpectrogram)
{
    const auto tickedTexts = [this]
    {
        juce::StringArray ticked;
        const auto menu = view.createViewMenu();

        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            if (it.getItem().isTicked)
                ticked.add (it.getItem().text);

        return ticked;
    };

    EXPECT_EQ (tickedTexts(), juce::StringArray ({ "Blue Gradient" }));

    view.handleViewMenuResult (WaveformView::colourModeFirstId + 4, 0.0);
    view.handleViewMenuResult (WaveformView::toggleSpectrogramId, 0.0);
    EXPECT_EQ (view.colourMode, 4);
    EXPECT_EQ (tickedTexts(), juce::StringArray ({ "Matrix Green", "Toggle Spectrogram" }));
}

TEST_F (LoadedView, PlayHeadMarkerAndRulerArePaintedWhereTheyBelong)
{
    view.setPlayPosition (8.0, 16.0);

    press (xAt (16.0));                                      // Loop Out to 12 s
    drag (xAt (12.0));
    release (xAt (12.0));

    const auto image = render();
    const auto px = [&image] (float x, int y) { return image.getPixelAt ((int) x, y); };

    // Play head: a 2-pixel black line centred on x(8 s) = 204.
    EXPECT_EQ (px (xAt (8.0) - 1.0f, 50), juce::Colours::black);
    EXPECT_EQ (px (xAt (8.0), 50), juce::Colours::black);

    // Loop Out: a 2-pixel orange line at x(12 s) = 304.
    EXPECT_EQ (px (xAt (12.0) - 1.0f, 50), juce::Colour (0xffffa500));
    EXPECT_EQ (px (xAt (12.0), 50), juce::Colour (0xffffa500));

    // Ruler: ticks every second at x = 25.5 t across the full width, on the light ruler.
    const juce::Colour rulerFill (0xffeeeeee);
    EXPECT_EQ (px (57.0f, 77), rulerFill);
    EXPECT_LT (px (51.0f, 77).getBrightness(), 0.6f);
    EXPECT_LT (px (102.0f, 77).getBrightness(), 0.6f);

    // At double speed the ruler reads halved times and shows "2.00x" in cyan at its left.
    view.setPlaybackSpeed (2.0f);
    const auto fast = render();
    int cyan = 0;

    for (int y = 80; y < 96; ++y)
        for (int x = 5; x < 45; ++x)
            if (auto c = fast.getPixelAt (x, y); c.getBlue() > 150 && c.getGreen() > 150 && c.getRed() < 100)
                ++cyan;

    EXPECT_GT (cyan, 5);

    view.setPlaybackSpeed (1.0f);
    const auto normal = render();
    for (int y = 80; y < 96; ++y)
        for (int x = 5; x < 45; ++x)
            if (auto c = normal.getPixelAt (x, y); c.getBlue() > 150 && c.getGreen() > 150 && c.getRed() < 100)
                FAIL() << "no speed text at 1.0";
}

TEST_F (LoadedView, BeatGridDrawsBarsFullHeightAndBeatsShorter)
{
    view.bpm = 120.0f;
    view.showBeatGrid = true;
    const auto image = render();

    // 16 s visible: a line every beat (0.5 s), bars every 2 s. Near the area's bottom (y 69)
    // only bar lines reach; the sine's waveform stays well above it.
    const auto bar = image.getPixelAt (53, 69);
    EXPECT_GT (bar.getRed(), 240);
    EXPECT_LT (bar.getGreen(), 110);
    EXPECT_EQ (image.getPixelAt (66, 69), juce::Colours::white) << "a beat line stops short of the bottom";

    int tempoTextPixels = 0;

    for (int y = 6; y < 20; ++y)
        for (int x = 344; x < 399; ++x)
            if (image.getPixelAt (x, y).getBrightness() < 0.5f)
                ++tempoTextPixels;

    EXPECT_GT (tempoTextPixels, 10) << "\"120 BPM\" at the top right";
}

TEST (WaveformViewEmpty, ShowsOnlyTheHintAndOutline)
{
    WaveformView view;
    view.setSize (200, 80);
    EXPECT_EQ (view.getPortion (0), nullptr);
    EXPECT_EQ (view.getPortion (1), nullptr);

    view.portions.push_back ({ 1.0, 2.0, 1, 0x80ff0000 });
    EXPECT_EQ (view.getPortion (1), &view.portions[0]);
    EXPECT_EQ (view.getPortion (2), nullptr);

    juce::Image image (juce::Image::RGB, 200, 80, true);
    juce::Graphics g (image);
    view.paintEntireComponent (g, false);
    EXPECT_EQ (image.getPixelAt (0, 40), juce::Colours::black) << "outline";
    EXPECT_EQ (image.getPixelAt (100, 75), juce::Colours::white) << "no ruler without a file";
}
