#pragma once

#include "controls/WaveformSpectrogram.h"

#include <juce_audio_utils/juce_audio_utils.h>

#include <functional>
#include <map>
#include <vector>

/** One numbered stretch of the file for the loop-portion sequencer. */
struct LoopPortion
{
    double startSeconds = 0.0;
    double endSeconds = 0.0;
    int number = 1;                 // 1-based, shown as "P" + number
    juce::uint32 colour = 0;        // ARGB, alpha included
};

/** The waveform of the loaded file with its ruler, play head, loop markers, loop portions,
    sampler note markers, beat grid, slices, fading analysis marks and spectrogram. A click
    seeks, the loop markers and slices drag, the wheel zooms (with Shift it scrolls) and the
    right button opens the view's menu. Message thread only; the spectrogram is built on the
    view's own worker thread. */
class WaveformView : public juce::Component,
                     public juce::ChangeListener,
                     public juce::Timer
{
public:
    struct Marker
    {
        double time = 0.0;
        int type = 4;
        juce::String name;
        juce::Colour colour;
        int index = 4;
    };

    struct NoteMarker
    {
        double time = 0.0;
        int note = 60;
        juce::Colour colour;
        bool active = false;
    };

    struct Slice
    {
        double time = 0.0;
        int kind = 4;
        juce::String name;
        juce::Colour colour;
        int id = 0;
    };

    struct EventMarker
    {
        double time = 0.0;
        float value = 0.0f;
        int style = 0;          // 0 dot, 1 tick, 2 dot faded within its group
        int type = 0;
        float strength = 0.0f;
        float life = 0.0f;
        float maxLife = 0.0f;
        int groupIndex = 0;
        int groupCount = 1;
    };

    enum MarkerId { startMarker = 0, loopInMarker = 1, loopOutMarker = 2, endMarker = 3, noMarker = 4 };

    enum MenuIds
    {
        addSliceHereId = 1, clearAllSlicesId = 2,
        uniform8Id = 10, uniform16Id = 11, transientId = 12,
        colourModeFirstId = 20, colourModeLastId = 25,
        toggleSpectrogramId = 30,
        zoomToFitId = 40, zoomInId = 41, zoomOutId = 42
    };

    static constexpr int maxAnalysisMarks = 32;

    WaveformView();
    ~WaveformView() override;

    //==============================================================================
    // Owner callbacks (empty until set; every call is skipped while empty)

    /** A finished region selection, or (0, 0) after a double-click. */
    std::function<void (double start, double end)> onLoopRange;
    /** A click or drag seeks to this time. */
    std::function<void (double seconds)> onSeek;
    /** Loop In (1) or Loop Out (2) was dragged to this time. */
    std::function<void (int markerId, double seconds)> onMarkerMoved;
    /** A slice was added, or all slices were cleared. */
    std::function<void()> onSlicesChanged;

    //==============================================================================
    /** Points the view at a file: resets thumbnail, slices, markers and the visible range,
        and starts building the spectrogram in the background. A path that is not a file
        leaves the view empty. */
    void loadFile (const juce::File& file);

    /** As loadFile, for a file the owner has already decoded: the overview and the spectrogram
        are built from that copy on the view's worker thread instead of reading the file again.
        The view keeps a reference to it until the next load. */
    void loadFile (const juce::File& file, SharedDecodedAudio decoded);

    /** Moves the play head; also stores the file length the owner knows. */
    void setPlayPosition (double positionSeconds, double totalLengthSeconds);

    /** The ruler shows playback time at this speed (clamped to 0.1..4). */
    void setPlaybackSpeed (float speed);

    /** The portion with this 1-based number, or null. */
    LoopPortion* getPortion (int number);

    void setSeekCallback (std::function<void (double)> callback);

    void zoomIn();
    void zoomOut();
    void zoomToFit();

    /** Places a marker (the mouse moves only Loop In and Loop Out). */
    void setMarkerTime (int markerId, double seconds);

    //==============================================================================
    // Slices, analysis marks, spectrogram and menu

    void addSlice (double time, const juce::String& name);
    /** Modes 1 and 2: count slices dividing the file into count + 1 parts; mode 3: count parts. */
    void autoSlice (int mode, int count);
    void clearAllSlices();

    void addAnalysisDot (double time, float value, int type, float strength);
    void addAnalysisTick (double time, float value, int type, float strength);

    /** Starts (or restarts) building the spectrogram of the current file in the background. */
    void generateSpectrogram();

    void showViewMenu (int x);
    /** The menu as showViewMenu would show it now. */
    juce::PopupMenu createViewMenu() const;
    /** The time a right-press at x refers to (not clamped). */
    double menuClickTime (int x) const;
    void handleViewMenuResult (int menuId, double clickTime);

    //==============================================================================
    /** "12.35" below a minute, "1:05.20" from one minute on. */
    static juce::String formatTime (double seconds);

    /** The ruler's tick step for a shown span in seconds. */
    static double rulerTickStep (double shownSpan);

    /** The beat grid's step for a visible span, and whether it draws bars only. */
    static double beatGridStep (float bpm, double visibleSpan, bool& barsOnly);

    //==============================================================================
    // Geometry (view pixels)

    juce::Rectangle<int> getWaveformArea() const;
    juce::Rectangle<int> getRulerArea() const;
    /** Visible range; its end is the file length while visibleEnd is 0. */
    double getVisibleStart() const noexcept { return visibleStart; }
    double getVisibleEnd() const noexcept;
    float timeToX (double seconds) const;
    double xToTime (float x) const;

    //==============================================================================
    // State the owners and tests read

    bool isFileLoaded() const noexcept                      { return fileLoaded; }
    double getTotalLength() const noexcept                  { return totalLength; }
    double getPlayPosition() const noexcept                 { return playPosition; }
    float getPlaybackSpeed() const noexcept                 { return playbackSpeed; }
    const juce::String& getFilePath() const noexcept        { return filePath; }
    const Marker& getMarker (int id)                        { return markers[id]; }
    const std::vector<Slice>& getSlices() const noexcept    { return slices; }
    const std::vector<EventMarker>& getAnalysisMarks() const noexcept { return analysisMarks; }
    bool isSpectrogramReady() const noexcept                { return spectrogramReady; }
    const juce::Image& getSpectrogramImage() const noexcept { return spectrogramImage; }
    double getFileSampleRate() const noexcept               { return fileSampleRate; }
    int getSelectedMarker() const noexcept                  { return selectedMarker; }
    int getSelectedSlice() const noexcept                   { return selectedSlice; }
    juce::AudioThumbnail& getThumbnail() noexcept           { return thumbnail; }

    //==============================================================================
    // Fields the owners write directly (and repaint the view themselves)

    std::vector<NoteMarker> noteMarkers;
    bool showNoteMarkers = false;
    std::vector<LoopPortion> portions;
    float bpm = 0.0f;
    bool showBeatGrid = false;
    double beatGridSampleRate = 44100.0;
    bool regionSelectMode = false;
    bool autoScroll = false;
    bool selectionActive = false;
    double selectionStart = 0.0;
    double selectionEnd = 0.0;
    int colourMode = 1;             // 0..5, see the view menu
    bool showSpectrogram = false;

    //==============================================================================
    void mouseDown (const juce::MouseEvent& event) override;
    void mouseDrag (const juce::MouseEvent& event) override;
    void mouseUp (const juce::MouseEvent& event) override;
    void mouseDoubleClick (const juce::MouseEvent& event) override;
    void mouseWheelMove (const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    /** Ages the analysis marks by one 33 ms tick, then repaints. */
    void timerCallback() override;

private:
    bool isDarkMode() const noexcept { return colourMode >= 2; }
    double clampedTimeAt (float x) const;
    void sortSlicesKeeping (int& selectedIndex);
    void spectrogramFinished (spectrogram::Result result, int requestNumber);

    void paintSpectrogram (juce::Graphics& g, juce::Rectangle<int> area, double s, double e);
    void paintWaveform (juce::Graphics& g, juce::Rectangle<int> area, double s, double e);
    void paintPortionsAndSelection (juce::Graphics& g, juce::Rectangle<int> area, double s, double e);
    void paintMarkers (juce::Graphics& g, juce::Rectangle<int> area, double s, double e);
    void paintSlices (juce::Graphics& g, juce::Rectangle<int> area, double s, double e);
    void paintBeatGrid (juce::Graphics& g, juce::Rectangle<int> area, double s, double e);
    void paintAnalysisMarks (juce::Graphics& g, juce::Rectangle<int> area, double s, double e);
    void paintNoteMarkersAndPlayHead (juce::Graphics& g, juce::Rectangle<int> area, double s, double e);
    void paintRuler (juce::Graphics& g, double s, double e);

    juce::AudioFormatManager formatManager;
    juce::AudioThumbnailCache thumbnailCache { 32 };
    juce::AudioThumbnail thumbnail;

    double playPosition = 0.0;
    double totalLength = 0.0;
    double visibleStart = 0.0;
    double visibleEnd = 0.0;
    bool fileLoaded = false;
    juce::String filePath;
    double fileSampleRate = 44100.0;
    SharedDecodedAudio decodedAudio;        // null when the view reads the file itself
    juce::Image spectrogramImage;
    bool spectrogramReady = false;
    std::map<int, Marker> markers;
    std::vector<Slice> slices;
    int nextSliceId = 100;
    bool seeking = false, draggingItem = false, selecting = false;
    int selectedMarker = noMarker;
    int selectedSlice = -1;
    double selectionAnchor = 0.0;
    float playbackSpeed = 1.0f;
    std::vector<EventMarker> analysisMarks;

    int spectrogramRequest = 0;
    bool spectrogramBuilding = false;
    WaveformSpectrogramWorker spectrogramWorker;    // last: joined before the rest goes away

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WaveformView)
};
