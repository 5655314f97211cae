#include "controls/WaveformView.h"

#include "platform/AudioFileGuard.h"

#include <algorithm>
#include <cmath>

namespace
{
    constexpr int margin = 4;
    constexpr int rulerHeight = 25;
    constexpr float hitTolerance = 8.0f;
}

WaveformView::WaveformView()
    : thumbnail (512, formatManager, thumbnailCache)
{
    formatManager.registerBasicFormats();
    thumbnail.addChangeListener (this);

    const struct { int id; const char* name; juce::uint32 colour; } initialMarkers[] =
    {
        { startMarker,   "Start",    0xff008000 },
        { loopInMarker,  "Loop In",  0xffffff00 },
        { loopOutMarker, "Loop Out", 0xffffa500 },
        { endMarker,     "End",      0xffff0000 },
    };

    for (const auto& m : initialMarkers)
        markers[m.id] = Marker { 0.0, m.id, m.name, juce::Colour (m.colour), m.id };

    startTimer (33);
}

WaveformView::~WaveformView()
{
    // The worker reads the file and posts to this view; it must be gone before anything else.
    spectrogramWorker.stop();
    thumbnail.removeChangeListener (this);
    stopTimer();
}

//==============================================================================
void WaveformView::loadFile (const juce::File& file)
{
    loadFile (file, nullptr);
}

void WaveformView::loadFile (const juce::File& file, SharedDecodedAudio decoded)
{
    // A build still running for the previous file must not deliver into this one.
    spectrogramWorker.stop();
    ++spectrogramRequest;
    spectrogramBuilding = false;

    thumbnail.clear();
    slices.clear();
    fileLoaded = false;
    spectrogramReady = false;
    filePath = file.getFullPathName();

    // The copy holds the file's first two channels; a file with more is drawn from the file.
    const bool fromMemory = decoded != nullptr && decoded->getLength() > 0
                         && decoded->getNumChannels() == decoded->fileChannels;
    decodedAudio = fromMemory ? std::move (decoded) : nullptr;

    if (filePath.isNotEmpty() && file.existsAsFile())
    {
        if (decodedAudio != nullptr)
            thumbnail.reset (decodedAudio->getNumChannels(), decodedAudio->sampleRate, decodedAudio->getLength());
        else if (auto reader = platform::AudioFileGuard::openReader (formatManager, file))
            // The thumbnail cache knows a file by its name and modification time.
            thumbnail.setReader (reader.release(), juce::FileInputSource (file).hashCode());

        fileLoaded = true;
        totalLength = thumbnail.getTotalLength();

        markers[startMarker].time = 0.0;
        markers[loopInMarker].time = 0.0;
        markers[loopOutMarker].time = totalLength;
        markers[endMarker].time = totalLength;

        visibleStart = 0.0;
        visibleEnd = totalLength;

        generateSpectrogram();
    }

    repaint();
}

void WaveformView::setPlayPosition (double positionSeconds, double totalLengthSeconds)
{
    playPosition = positionSeconds;
    totalLength = totalLengthSeconds;

    if (visibleEnd == 0.0)
        visibleEnd = totalLengthSeconds;

    if (autoScroll && fileLoaded)
    {
        const auto span = visibleEnd - visibleStart;
        const auto scrollMargin = 0.1 * span;

        if (positionSeconds > visibleEnd - scrollMargin)
        {
            visibleStart = positionSeconds - scrollMargin;
            visibleEnd = visibleStart + span;

            if (visibleEnd > totalLengthSeconds)
            {
                visibleEnd = totalLengthSeconds;
                visibleStart = totalLengthSeconds - span;
            }
        }
    }

    repaint();
}

void WaveformView::setPlaybackSpeed (float speed)
{
    playbackSpeed = speed < 0.1f ? 0.1f : juce::jmin (speed, 4.0f);
    repaint();
}

LoopPortion* WaveformView::getPortion (int number)
{
    if (number <= 0 || number > (int) portions.size())
        return nullptr;

    return &portions[(size_t) number - 1];
}

void WaveformView::setSeekCallback (std::function<void (double)> callback)
{
    onSeek = std::move (callback);
}

void WaveformView::setMarkerTime (int markerId, double seconds)
{
    markers[markerId].time = seconds;
    repaint();
}

//==============================================================================
void WaveformView::zoomIn()
{
    if (! fileLoaded)
        return;

    const auto end = getVisibleEnd();
    const auto centre = (visibleStart + end) / 2.0;
    const auto half = juce::jmax ((end - visibleStart) / 2.0, 0.1) / 2.0;
    visibleStart = juce::jmax (centre - half, 0.0);
    visibleEnd = juce::jmin (centre + half, totalLength);
    repaint();
}

void WaveformView::zoomOut()
{
    if (! fileLoaded)
        return;

    const auto end = getVisibleEnd();
    const auto centre = (visibleStart + end) / 2.0;
    const auto half = juce::jmin (2.0 * (end - visibleStart), totalLength) / 2.0;
    visibleStart = juce::jmax (centre - half, 0.0);
    visibleEnd = juce::jmin (centre + half, totalLength);
    repaint();
}

void WaveformView::zoomToFit()
{
    visibleStart = 0.0;
    visibleEnd = totalLength;
    repaint();
}

//==============================================================================
juce::String WaveformView::formatTime (double seconds)
{
    const auto minutes = (int) (seconds / 60.0);
    const auto rest = std::fmod (seconds, 60.0);

    if (minutes < 1)
        return juce::String::formatted ("%.2f", rest);

    return juce::String::formatted ("%d:%05.2f", minutes, rest);
}

double WaveformView::rulerTickStep (double shownSpan)
{
    if (shownSpan < 2.0)    return 0.1;
    if (shownSpan < 10.0)   return 0.5;
    if (shownSpan < 30.0)   return 1.0;
    if (shownSpan < 60.0)   return 5.0;
    if (shownSpan < 300.0)  return 10.0;
    return 30.0;
}

double WaveformView::beatGridStep (float tempo, double visibleSpan, bool& barsOnly)
{
    const auto beat = 60.0 / (double) tempo;
    barsOnly = false;

    if (visibleSpan < 2.0)  return beat / 4.0;
    if (visibleSpan < 8.0)  return beat / 2.0;
    if (visibleSpan < 30.0) return beat;

    barsOnly = true;
    return beat * 4.0;
}

//==============================================================================
juce::Rectangle<int> WaveformView::getWaveformArea() const
{
    const auto inner = juce::jmax (getHeight() - 2 * margin, 0);
    return { margin, margin, juce::jmax (getWidth() - 2 * margin, 0), inner - juce::jmin (inner, rulerHeight) };
}

juce::Rectangle<int> WaveformView::getRulerArea() const
{
    const auto h = juce::jmin (getHeight(), rulerHeight);
    return { 0, getHeight() - h, getWidth(), h };
}

double WaveformView::getVisibleEnd() const noexcept
{
    return visibleEnd > 0.0 ? visibleEnd : totalLength;
}

float WaveformView::timeToX (double seconds) const
{
    const auto s = visibleStart;
    const auto e = getVisibleEnd();

    if (! (s < e))
        return (float) margin;

    return (float) (margin + (seconds - s) / (e - s) * getWaveformArea().getWidth());
}

double WaveformView::xToTime (float x) const
{
    const auto w = getWaveformArea().getWidth();

    if (w <= 0)
        return visibleStart;

    return visibleStart + ((double) x - margin) / w * (getVisibleEnd() - visibleStart);
}

double WaveformView::clampedTimeAt (float x) const
{
    return juce::jlimit (0.0, juce::jmax (totalLength, 0.0), xToTime (x));
}

//==============================================================================
void WaveformView::mouseDown (const juce::MouseEvent& event)
{
    if (! (fileLoaded && totalLength > 0.0))
        return;

    if (event.mods.isRightButtonDown())
    {
        showViewMenu (event.x);
        return;
    }

    selectedMarker = noMarker;
    selectedSlice = -1;

    const auto x = event.position.x;

    for (size_t i = 0; i < slices.size(); ++i)
    {
        if (std::abs (timeToX (slices[i].time) - x) < hitTolerance)
        {
            selectedSlice = (int) i;
            draggingItem = true;
            return;
        }
    }

    for (const auto& [id, marker] : markers)
    {
        if (id > endMarker)
            break;

        if (std::abs (timeToX (marker.time) - x) < hitTolerance)
        {
            selectedMarker = id;
            draggingItem = true;
            return;
        }
    }

    const auto t = clampedTimeAt (x);

    if (regionSelectMode)
    {
        selectionAnchor = selectionStart = selectionEnd = t;
        selecting = true;
        selectionActive = false;
        return;
    }

    if (onSeek)
        onSeek (t);

    seeking = true;
}

void WaveformView::mouseDrag (const juce::MouseEvent& event)
{
    if (! (fileLoaded && totalLength > 0.0))
        return;

    const auto t = clampedTimeAt (event.position.x);

    if (draggingItem)
    {
        if (selectedSlice >= 0 && selectedSlice < (int) slices.size())
        {
            slices[(size_t) selectedSlice].time = t;
            sortSlicesKeeping (selectedSlice);
        }
        else if (selectedMarker == loopInMarker)
        {
            auto& in = markers[loopInMarker];
            auto& out = markers[loopOutMarker];
            in.time = t;

            if (in.time > out.time)
                out.time = in.time;

            if (onMarkerMoved)
                onMarkerMoved (loopInMarker, in.time);
        }
        else if (selectedMarker == loopOutMarker)
        {
            auto& in = markers[loopInMarker];
            auto& out = markers[loopOutMarker];
            out.time = t;

            if (in.time > out.time)
                in.time = out.time;

            if (onMarkerMoved)
                onMarkerMoved (loopOutMarker, out.time);
        }

        repaint();
        return;
    }

    if (selecting)
    {
        selectionStart = juce::jmin (selectionAnchor, t);
        selectionEnd = juce::jmax (selectionAnchor, t);
        selectionActive = selectionEnd - selectionStart > 0.01;
        repaint();
        return;
    }

    if (seeking && onSeek)
        onSeek (t);
}

void WaveformView::mouseUp (const juce::MouseEvent&)
{
    if (selecting && selectionActive && onLoopRange)
        onLoopRange (selectionStart, selectionEnd);

    seeking = false;
    draggingItem = false;
    selecting = false;
    selectedSlice = -1;
}

void WaveformView::mouseDoubleClick (const juce::MouseEvent&)
{
    selectionActive = false;
    selectionStart = selectionEnd = 0.0;
    repaint();

    if (onLoopRange)
        onLoopRange (0.0, 0.0);
}

void WaveformView::mouseWheelMove (const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel)
{
    if (! fileLoaded)
        return;

    if (event.mods.isShiftDown())
    {
        const auto end = getVisibleEnd();
        const auto d = (end - visibleStart) * (double) wheel.deltaY * 0.2;
        visibleStart = juce::jmax (visibleStart - d, 0.0);
        visibleEnd = juce::jmin (end - d, totalLength);
    }
    else if (wheel.deltaY > 0.0f)
    {
        zoomIn();
    }
    else if (wheel.deltaY < 0.0f)
    {
        zoomOut();
    }

    repaint();
}

//==============================================================================
void WaveformView::changeListenerCallback (juce::ChangeBroadcaster*)
{
    repaint();
}

void WaveformView::timerCallback()
{
    for (auto& mark : analysisMarks)
        mark.life -= 1.0f / 30.0f;

    analysisMarks.erase (std::remove_if (analysisMarks.begin(), analysisMarks.end(),
                                         [] (const EventMarker& m) { return m.life <= 0.0f; }),
                         analysisMarks.end());
    repaint();
}
