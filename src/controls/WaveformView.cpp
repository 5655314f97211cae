#include "controls/WaveformView.h"

WaveformView::WaveformView()
    : thumbnail (512, formatManager, thumbnailCache)
{
    formatManager.registerBasicFormats();
    thumbnail.addChangeListener (this);
    startTimer (33);
}

WaveformView::~WaveformView()
{
    spectrogramWorker.stop();
    thumbnail.removeChangeListener (this);
    stopTimer();
}

void WaveformView::loadFile (const juce::File&) {}
void WaveformView::setPlayPosition (double p, double l) { playPosition = p; totalLength = l; repaint(); }
void WaveformView::setPlaybackSpeed (float s) { playbackSpeed = s < 0.1f ? 0.1f : juce::jmin (s, 4.0f); repaint(); }
LoopPortion* WaveformView::getPortion (int n) { return n <= 0 || n > (int) portions.size() ? nullptr : &portions[(size_t) n - 1]; }
void WaveformView::setSeekCallback (std::function<void (double)> cb) { onSeek = std::move (cb); }
void WaveformView::zoomIn() {}
void WaveformView::zoomOut() {}
void WaveformView::zoomToFit() {}
void WaveformView::addSlice (double, const juce::String&) {}
void WaveformView::autoSlice (int, int) {}
void WaveformView::clearAllSlices() {}
void WaveformView::addAnalysisDot (double, float, int, float) {}
void WaveformView::addAnalysisTick (double, float, int, float) {}
void WaveformView::generateSpectrogram() {}
void WaveformView::showViewMenu (int) {}
juce::PopupMenu WaveformView::createViewMenu() const { return {}; }
double WaveformView::menuClickTime (int) const { return 0.0; }
void WaveformView::handleViewMenuResult (int, double) {}
juce::String WaveformView::formatTime (double) { return {}; }
double WaveformView::rulerTickStep (double) { return 1.0; }
double WaveformView::beatGridStep (float, double, bool& barsOnly) { barsOnly = false; return 1.0; }
juce::Rectangle<int> WaveformView::getWaveformArea() const { return {}; }
juce::Rectangle<int> WaveformView::getRulerArea() const { return {}; }
double WaveformView::getVisibleEnd() const noexcept { return visibleEnd > 0.0 ? visibleEnd : totalLength; }
float WaveformView::timeToX (double) const { return 4.0f; }
double WaveformView::xToTime (float) const { return 0.0; }
void WaveformView::mouseDown (const juce::MouseEvent&) {}
void WaveformView::mouseDrag (const juce::MouseEvent&) {}
void WaveformView::mouseUp (const juce::MouseEvent&) {}
void WaveformView::mouseDoubleClick (const juce::MouseEvent&) {}
void WaveformView::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) {}
void WaveformView::paint (juce::Graphics&) {}
void WaveformView::changeListenerCallback (juce::ChangeBroadcaster*) { repaint(); }
void WaveformView::timerCallback() { repaint(); }
double WaveformView::clampedTimeAt (float) const { return 0.0; }
void WaveformView::sortSlicesKeeping (int&) {}
void WaveformView::spectrogramFinished (spectrogram::Result, int) {}
void WaveformView::paintSpectrogram (juce::Graphics&, juce::Rectangle<int>, double, double) {}
void WaveformView::paintWaveform (juce::Graphics&, juce::Rectangle<int>, double, double) {}
void WaveformView::paintPortionsAndSelection (juce::Graphics&, juce::Rectangle<int>, double, double) {}
void WaveformView::paintMarkers (juce::Graphics&, juce::Rectangle<int>, double, double) {}
void WaveformView::paintSlices (juce::Graphics&, juce::Rectangle<int>, double, double) {}
void WaveformView::paintBeatGrid (juce::Graphics&, juce::Rectangle<int>, double, double) {}
void WaveformView::paintAnalysisMarks (juce::Graphics&, juce::Rectangle<int>, double, double) {}
void WaveformView::paintNoteMarkersAndPlayHead (juce::Graphics&, juce::Rectangle<int>, double, double) {}
void WaveformView::paintRuler (juce::Graphics&, double, double) {}
