// Slices, analysis marks, the spectrogram's hand-over from its worker, and the view menu.
#include "controls/WaveformView.h"

#include <algorithm>
#include <cmath>

//==============================================================================
void WaveformView::addSlice (double time, const juce::String& name)
{
    time = time < 0.0 ? 0.0 : juce::jmin (time, totalLength);

    const auto n = (int) slices.size();
    const auto hue = std::fmod ((float) n * 0.1f, 1.0f);

    Slice slice;
    slice.time = time;
    slice.kind = 4;
    slice.name = name.isEmpty() ? juce::String (n + 1) : name;
    slice.colour = juce::Colour::fromHSV (hue, 0.7f, 0.9f, 1.0f);
    slice.id = nextSliceId++;
    slices.push_back (slice);

    int unused = -1;
    sortSlicesKeeping (unused);

    if (onSlicesChanged)
        onSlicesChanged();

    repaint();
}

void WaveformView::autoSlice (int mode, int count)
{
    slices.clear();

    if (! (fileLoaded && totalLength > 0.0))
        return;

    if (mode == 1 || mode == 2)
    {
        for (int i = 1; i <= count; ++i)
            addSlice (totalLength / (count + 1) * i, {});
    }
    else if (mode == 3)
    {
        for (int i = 1; i <= count - 1; ++i)
            addSlice (i * totalLength / count, {});
    }
}

void WaveformView::clearAllSlices()
{
    slices.clear();

    if (onSlicesChanged)
        onSlicesChanged();

    repaint();
}

void WaveformView::sortSlicesKeeping (int& selectedIndex)
{
    const auto selectedId = (selectedIndex >= 0 && selectedIndex < (int) slices.size())
                                ? slices[(size_t) selectedIndex].id : -1;

    std::stable_sort (slices.begin(), slices.end(),
                      [] (const Slice& a, const Slice& b) { return a.time < b.time; });

    // The dragged slice keeps following the mouse when it passes a neighbour.
    if (selectedId >= 0)
    {
        for (size_t i = 0; i < slices.size(); ++i)
            if (slices[i].id == selectedId)
                selectedIndex = (int) i;
    }
}

//==============================================================================
void WaveformView::addAnalysisDot (double time, float value, int type, float strength)
{
    for (const auto& mark : analysisMarks)
        if (mark.type == type && std::abs (mark.time - time) < 0.02)
            return;

    float lifetime = 0.0f;

    if (type == 2)                      lifetime = 0.3f;
    else if (type == 3 || type == 4)    lifetime = 0.25f;
    else                                lifetime = strength * 0.1f + 0.1f;

    EventMarker mark;
    mark.time = time;
    mark.value = juce::jlimit (-1.0f, 1.0f, value);
    mark.style = 0;
    mark.type = type;
    mark.strength = juce::jlimit (0.0f, 1.0f, strength);
    mark.life = mark.maxLife = lifetime;
    analysisMarks.push_back (mark);

    while ((int) analysisMarks.size() > maxAnalysisMarks)
        analysisMarks.erase (analysisMarks.begin());
}

void WaveformView::addAnalysisTick (double time, float value, int type, float strength)
{
    for (const auto& mark : analysisMarks)
        if (mark.type == type && std::abs (mark.time - time) < 0.1)
            return;

    EventMarker mark;
    mark.time = time;
    mark.value = value;
    mark.style = 1;
    mark.type = type;
    mark.strength = strength;
    mark.life = mark.maxLife = strength * 0.4f + 0.4f;
    analysisMarks.push_back (mark);

    while ((int) analysisMarks.size() > maxAnalysisMarks)
        analysisMarks.erase (analysisMarks.begin());
}

//==============================================================================
void WaveformView::generateSpectrogram()
{
    const juce::File file (filePath);

    if (filePath.isEmpty() || ! file.existsAsFile())
        return;

    spectrogramReady = false;

    // Reading and transforming a whole file takes seconds for long files, so it runs on the
    // view's own thread; the result comes back as a message, through a pointer that knows
    // whether the view still exists when the message arrives.
    const auto request = ++spectrogramRequest;
    spectrogramBuilding = true;
    juce::Component::SafePointer<WaveformView> safeThis (this);

    auto onFinished = [safeThis] (spectrogram::Result result, int requestNumber)
    {
        juce::MessageManager::callAsync ([safeThis, result, requestNumber]() mutable
        {
            if (auto* view = safeThis.getComponent())
                view->spectrogramFinished (std::move (result), requestNumber);
        });
    };

    if (decodedAudio == nullptr)
    {
        spectrogramWorker.start (file, request, std::move (onFinished));
        return;
    }

    // The overview is filled by the same run, first, unless an earlier run already did.
    const bool overviewDone = thumbnail.isFullyLoaded();
    spectrogramWorker.start (decodedAudio, overviewDone ? nullptr : &thumbnail, request, std::move (onFinished));
}

void WaveformView::spectrogramFinished (spectrogram::Result result, int requestNumber)
{
    if (requestNumber != spectrogramRequest)
        return;

    spectrogramBuilding = false;

    if (result.sampleRate > 0.0)
        fileSampleRate = result.sampleRate;

    if (! result.image.isValid())
        return;

    spectrogramImage = result.image;
    spectrogramReady = true;
    repaint();
}

//==============================================================================
double WaveformView::menuClickTime (int x) const
{
    const auto s = visibleStart;
    const auto e = getVisibleEnd();
    const auto w = getWidth();

    if (w <= 8)
        return s;

    return s + (double) (x - 4) / (w - 8) * (e - s);
}

juce::PopupMenu WaveformView::createViewMenu() const
{
    juce::PopupMenu menu;
    menu.addSectionHeader ("Slices");
    menu.addItem (addSliceHereId, "Add Slice Here");
    menu.addItem (clearAllSlicesId, "Clear All Slices");
    menu.addSeparator();
    menu.addSectionHeader ("Auto-Slice");
    menu.addItem (uniform8Id, "Uniform (8 slices)");
    menu.addItem (uniform16Id, "Uniform (16 slices)");
    menu.addItem (transientId, "Transient Detection");
    menu.addSeparator();
    menu.addSectionHeader ("Color Mode");

    const char* const modeNames[] = { "Classic Gray", "Blue Gradient", "Level-Based",
                                      "Dark Mode", "Matrix Green", "Blood Red" };

    for (int mode = 0; mode < 6; ++mode)
        menu.addItem (colourModeFirstId + mode, modeNames[mode], true, colourMode == mode);

    menu.addSeparator();
    menu.addItem (toggleSpectrogramId, "Toggle Spectrogram", true, showSpectrogram);
    menu.addSeparator();
    menu.addSectionHeader ("Zoom");
    menu.addItem (zoomToFitId, "Zoom to Fit");
    menu.addItem (zoomInId, "Zoom In");
    menu.addItem (zoomOutId, "Zoom Out");
    return menu;
}

void WaveformView::showViewMenu (int x)
{
    const auto clickTime = menuClickTime (x);
    juce::Component::SafePointer<WaveformView> safeThis (this);

    createViewMenu().showMenuAsync (juce::PopupMenu::Options(),
                                    [safeThis, clickTime] (int result)
                                    {
                                        if (auto* view = safeThis.getComponent())
                                            view->handleViewMenuResult (result, clickTime);
                                    });
}

void WaveformView::handleViewMenuResult (int menuId, double clickTime)
{
    switch (menuId)
    {
        case addSliceHereId:    addSlice (clickTime, {}); break;
        case clearAllSlicesId:  clearAllSlices(); break;
        case uniform8Id:        autoSlice (3, 8); break;
        case uniform16Id:       autoSlice (3, 16); break;
        case transientId:       autoSlice (1, 8); break;

        case toggleSpectrogramId:
            showSpectrogram = ! showSpectrogram;

            // A build already under way for this file is not started over.
            if (showSpectrogram && fileLoaded && ! spectrogramReady && ! spectrogramBuilding
                 && juce::File (filePath).existsAsFile())
                generateSpectrogram();

            repaint();
            break;

        case zoomToFitId:   zoomToFit(); break;
        case zoomInId:      zoomIn(); break;
        case zoomOutId:     zoomOut(); break;

        default:
            if (menuId >= colourModeFirstId && menuId <= colourModeLastId)
            {
                colourMode = menuId - colourModeFirstId;
                repaint();
            }
            break;
    }
}
