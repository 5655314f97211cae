// Drawing of the waveform view, back to front.
#include "controls/WaveformView.h"

#include <cmath>

namespace
{
    juce::Colour backgroundFor (int mode)
    {
        switch (mode)
        {
            case 2:  return juce::Colour (0xff8b0000);
            case 3:  return juce::Colour (0xff1a1a2e);
            case 4:  return juce::Colour (0xff000000);
            case 5:  return juce::Colour (0xff0a0a0a);
            default: return juce::Colour (0xffffffff);
        }
    }

    void setWaveformFill (juce::Graphics& g, int mode, juce::Rectangle<int> area)
    {
        const auto top = (float) area.getY();
        const auto bottom = (float) (area.getHeight() + 4);

        switch (mode)
        {
            case 0: g.setColour (juce::Colour (0xff555555)); break;
            case 2: g.setColour (juce::Colour (0xffffffff)); break;
            case 3: g.setColour (juce::Colour (0xff00aaff)); break;
            case 5: g.setColour (juce::Colour (0xffcc0000)); break;

            case 4:
                g.setGradientFill (juce::ColourGradient::vertical (juce::Colour (0xff00ff00), top,
                                                                   juce::Colour (0xff00aa00), bottom));
                break;

            default:
                g.setGradientFill (juce::ColourGradient::vertical (juce::Colour (0xff0066cc), top,
                                                                   juce::Colour (0xff003366), bottom));
                break;
        }
    }

    void verticalLine (juce::Graphics& g, float x, float top, float bottom, float thickness)
    {
        g.drawLine (x, top, x, bottom, thickness);
    }

    juce::Colour spectrogramFloor() { return juce::Colour (0xff000022); }
}

void WaveformView::paint (juce::Graphics& g)
{
    g.fillAll (backgroundFor (colourMode));

    const auto area = getWaveformArea();
    const auto s = visibleStart;
    const auto e = getVisibleEnd();

    if (fileLoaded && thumbnail.getTotalLength() > 0.0)
    {
        if (showSpectrogram)
            paintSpectrogram (g, area, s, e);

        paintWaveform (g, area, s, e);
        paintPortionsAndSelection (g, area, s, e);
        paintMarkers (g, area, s, e);
        paintSlices (g, area, s, e);

        if (showBeatGrid && bpm > 0.0f)
            paintBeatGrid (g, area, s, e);

        paintAnalysisMarks (g, area, s, e);
        paintNoteMarkersAndPlayHead (g, area, s, e);
        paintRuler (g, s, e);
    }
    else
    {
        g.setColour (juce::Colour (isDarkMode() ? 0xff808080 : 0xff555555));
        g.setFont (juce::Font (16.0f));
        g.drawText ("Load a WAV file to see waveform", area, juce::Justification::centred);
    }

    g.setColour (isDarkMode() ? juce::Colour (0xff3a3a5a) : juce::Colours::black);
    g.drawRect (getLocalBounds(), 1);
}

void WaveformView::paintSpectrogram (juce::Graphics& g, juce::Rectangle<int> area, double s, double e)
{
    if (! (spectrogramReady && spectrogramImage.isValid()))
    {
        g.setColour (spectrogramFloor());
        g.fillRect (area);
        g.setColour (juce::Colour (0xff808080));
        g.setFont (juce::Font (12.0f));
        g.drawText ("Generating spectrogram...", area, juce::Justification::centred);
        return;
    }

    const auto total = totalLength > 0.0 ? totalLength : 1.0;
    const auto n = spectrogramImage.getWidth();
    const auto first = juce::jlimit (0, n - 1, (int) (s / total * n));
    const auto span = (int) ((e - s) / total * n);
    const auto columns = span > 0 ? juce::jmin (n - first, span) : 1;

    if (g.clipRegionIntersects (area))
        g.drawImage (spectrogramImage, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                     first, 0, columns, spectrogramImage.getHeight());

    const auto nyquist = fileSampleRate > 0.0 ? fileSampleRate / 2.0 : 22050.0;

    for (int i = 0; i <= 5; ++i)
    {
        const auto f = (1.0 - i / 5.0) * nyquist;
        const auto y = area.getY() + (int) (area.getHeight() * i / 5.0);
        const auto text = f >= 1000.0 ? juce::String (f / 1000.0, 1) + "k" : juce::String ((int) f);

        g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xb2));
        g.fillRect (area.getX() + 1, y - 7, 34, 14);
        g.setColour (juce::Colours::black);
        g.setFont (juce::Font (10.0f, juce::Font::bold));
        g.drawText (text, area.getX() + 2, y - 6, 35, 12, juce::Justification::centredLeft);
        g.drawLine ((float) area.getX(), (float) y, (float) area.getX() + 3.0f, (float) y, 1.5f);
    }
}

void WaveformView::paintWaveform (juce::Graphics& g, juce::Rectangle<int> area, double s, double e)
{
    setWaveformFill (g, colourMode, area);
    thumbnail.drawChannels (g, area, s, e, 1.0f);
}

void WaveformView::paintPortionsAndSelection (juce::Graphics& g, juce::Rectangle<int> area, double s, double e)
{
    const auto top = (float) area.getY();
    const auto bottom = (float) area.getBottom();

    for (const auto& portion : portions)
    {
        if (portion.endSeconds < s || portion.startSeconds > e)
            continue;

        const auto x1 = timeToX (juce::jmax (portion.startSeconds, s));
        const auto x2 = timeToX (juce::jmin (portion.endSeconds, e));
        const auto colour = juce::Colour (portion.colour);
        const auto opaque = colour.withAlpha (1.0f);

        g.setColour (colour);
        g.fillRect (juce::Rectangle<float> (x1, top, x2 - x1, bottom - top));

        g.setColour (opaque.brighter (0.3f));
        verticalLine (g, x1, top, bottom, 2.0f);
        verticalLine (g, x2, top, bottom, 2.0f);

        const auto mid = (x1 + x2) / 2.0f - 10.0f;
        g.setColour (opaque.darker (0.5f));
        g.fillRoundedRectangle (mid - 4.0f, 8.0f, 28.0f, 16.0f, 3.0f);
        g.setColour (juce::Colours::white);
        g.setFont (juce::Font (11.0f, juce::Font::bold));
        g.drawText ("P" + juce::String (portion.number), (int) mid - 2, 8, 26, 16, juce::Justification::centred);
    }

    if (! selectionActive || selectionEnd < s || selectionStart > e)
        return;

    const auto x1 = timeToX (juce::jmax (selectionStart, s));
    const auto x2 = timeToX (juce::jmin (selectionEnd, e));

    g.setColour (juce::Colour (0x55ffffff));
    g.fillRect (juce::Rectangle<float> (x1, top, x2 - x1, bottom - top));
    g.setColour (juce::Colours::white);
    verticalLine (g, x1, top, bottom, 2.0f);
    verticalLine (g, x2, top, bottom, 2.0f);

    const auto mid = (x1 + x2) / 2.0f - 25.0f;
    g.setColour (juce::Colour (0xdd333333));
    g.fillRoundedRectangle (mid - 2.0f, 6.0f, 54.0f, 14.0f, 3.0f);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (10.0f));
    g.drawText ("NEW " + juce::String (selectionEnd - selectionStart, 2) + "s", (int) mid, 6, 50, 14,
                juce::Justification::centred);
}

void WaveformView::paintMarkers (juce::Graphics& g, juce::Rectangle<int> area, double s, double e)
{
    g.setFont (juce::Font (10.0f));

    for (const auto& [id, marker] : markers)
    {
        juce::ignoreUnused (id);

        if (marker.time < s || marker.time > e)
            continue;

        const auto x = timeToX (marker.time);
        g.setColour (marker.colour);
        verticalLine (g, x, 4.0f, (float) area.getHeight() + 4.0f, 2.0f);
        g.drawText (marker.name, (int) x - 20, 4, 40, 14, juce::Justification::centred);
    }
}

void WaveformView::paintSlices (juce::Graphics& g, juce::Rectangle<int> area, double s, double e)
{
    g.setFont (juce::Font (9.0f));

    for (const auto& slice : slices)
    {
        if (slice.time < s || slice.time > e)
            continue;

        const auto x = timeToX (slice.time);
        g.setColour (slice.colour.withAlpha ((juce::uint8) 0xcc));
        verticalLine (g, x, 4.0f, (float) area.getHeight() + 4.0f, 1.5f);
        g.setColour (slice.colour);
        g.drawText (slice.name, (int) x + 2, 6, 20, 12, juce::Justification::centredLeft);
    }
}

void WaveformView::paintBeatGrid (juce::Graphics& g, juce::Rectangle<int> area, double s, double e)
{
    const auto span = e - s;
    bool barsOnly = false;
    const auto step = beatGridStep (bpm, span, barsOnly);

    // Grid positions are counted in whole steps, so a bar or beat is recognised exactly and
    // does not drift into the wrong class through rounding of the seconds.
    const int stepsPerBeat = barsOnly ? 0 : juce::roundToInt (60.0 / (double) bpm / step);
    const int stepsPerBar = barsOnly ? 1 : stepsPerBeat * 4;

    const auto top = (float) area.getY();
    const auto h = (float) area.getHeight();
    const auto firstStep = (juce::int64) std::ceil (s / step);
    constexpr juce::int64 maxLines = 4096;

    for (juce::int64 k = firstStep; k * step <= e && k - firstStep < maxLines; ++k)
    {
        const auto t = (double) k * step;
        const auto x = timeToX (t);
        const bool isBar = k % stepsPerBar == 0;
        const bool isBeat = ! isBar && stepsPerBeat > 0 && k % stepsPerBeat == 0;

        if (isBar)
        {
            g.setColour (juce::Colour (0xccff3333));
            verticalLine (g, x, top, top + h, 2.0f);

            if (span < 30.0)
            {
                g.setColour (juce::Colour (0xddff3333));
                g.setFont (juce::Font (9.0f, juce::Font::bold));
                g.drawText (juce::String (k / stepsPerBar + 1), (int) x + 2, area.getY(), 20, 12,
                            juce::Justification::centredLeft);
            }
        }
        else if (isBeat)
        {
            g.setColour (juce::Colour (0x99ff8800));
            verticalLine (g, x, top + h * 0.125f, top + h * 0.875f, 1.5f);
        }
        else
        {
            g.setColour (juce::Colour (0x55ffcc00));
            verticalLine (g, x, top + h * 0.25f, top + h * 0.75f, 1.0f);
        }
    }

    g.setColour (juce::Colour (colourMode == 2 || colourMode == 3 ? 0xaaffffff : 0xaa000000));
    g.setFont (juce::Font ("Times New Roman", 10.0f, juce::Font::bold));
    g.drawText (juce::String ((int) bpm) + " BPM", area.getRight() - 60, area.getY() + 2, 55, 14,
                juce::Justification::centredRight);
}

void WaveformView::paintAnalysisMarks (juce::Graphics& g, juce::Rectangle<int> area, double s, double e)
{
    const auto cy = (float) (area.getY() + area.getHeight() / 2);
    const auto amplitude = 0.45f * (float) area.getHeight();

    for (const auto& mark : analysisMarks)
    {
        if (mark.time < s || mark.time > e)
            continue;

        juce::Colour colour (0xffcccccc);

        if (mark.type == 0 || mark.type == 4 || mark.type == 5)
            colour = juce::Colour (0xffffaa33);
        else if (mark.type == 2 || mark.type == 3)
            colour = juce::Colour (0xffff4444);

        const auto a = mark.maxLife > 0.0f ? mark.life / mark.maxLife * 0.55f : 0.0f;
        const auto r = mark.strength + 2.0f;
        const auto x = timeToX (mark.time);
        const auto y = cy - mark.value * amplitude;

        if (mark.style == 0)
        {
            g.setColour (colour.withAlpha (a));
            g.fillEllipse (x - r, y - r, 2.0f * r, 2.0f * r);

            if (mark.strength > 0.7f && mark.type == 2)
            {
                g.setColour (colour.withAlpha (a * 0.3f));
                g.fillEllipse (x - 2.0f * r, y - 2.0f * r, 4.0f * r, 4.0f * r);
            }
        }
        else if (mark.style == 1)
        {
            const auto y2 = mark.value >= 0.0f ? y - 5.0f : y + 5.0f;
            g.setColour (colour.withAlpha (a * 0.6f));
            g.drawLine (x, y, x, y2, 1.0f);
            g.setColour (colour.withAlpha (a));
            g.fillEllipse (x - r, y2 - r, 2.0f * r, 2.0f * r);
        }
        else if (mark.style == 2)
        {
            const auto groupFade = 1.0f - (float) mark.groupIndex / (float) juce::jmax (1, mark.groupCount) * 0.5f;
            g.setColour (colour.withAlpha (groupFade * a));
            g.fillEllipse (x - r, y - r, 2.0f * r, 2.0f * r);
        }
    }
}

void WaveformView::paintNoteMarkersAndPlayHead (juce::Graphics& g, juce::Rectangle<int> area, double s, double e)
{
    const auto top = (float) area.getY();
    const auto h = (float) area.getHeight();

    if (showNoteMarkers)
    {
        for (const auto& note : noteMarkers)
        {
            if (! note.active || note.time < s || note.time > e)
                continue;

            const auto x = timeToX (note.time);
            g.setColour (note.colour.withAlpha ((juce::uint8) 0x66));
            g.fillRect (juce::Rectangle<float> (x - 2.0f, top, 5.0f, h));
            g.setColour (note.colour);
            verticalLine (g, x, top, top + h, 2.0f);

            juce::Path triangle;
            triangle.addTriangle (x - 5.0f, top, x + 5.0f, top, x, top + 7.0f);
            g.fillPath (triangle);
        }
    }

    if (playPosition < s || playPosition > e)
        return;

    const auto x = timeToX (playPosition);
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x33));
    g.fillRect (juce::Rectangle<float> (x - 2.0f, top, 4.0f, h));
    g.setColour (juce::Colours::black);
    verticalLine (g, x, top, top + h, 2.0f);

    juce::Path triangle;
    triangle.addTriangle (x - 6.0f, top, x + 6.0f, top, x, top + 8.0f);
    g.fillPath (triangle);
}

void WaveformView::paintRuler (juce::Graphics& g, double s, double e)
{
    const auto ruler = getRulerArea();
    const auto dark = isDarkMode();
    const auto textColour = dark ? juce::Colour (0xffd3d3d3) : juce::Colours::black;

    g.setColour (dark ? juce::Colour (0xff2a2a3a) : juce::Colour (0xffeeeeee));
    g.fillRect (ruler);
    g.setColour (textColour);
    g.setFont (juce::Font (10.0f));

    const auto v = playbackSpeed > 0.0f ? (double) playbackSpeed : 1.0;
    const auto shownStart = s / v;
    const auto shownEnd = e / v;
    const auto shownLength = totalLength / v;

    if (e > s)
    {
        const auto step = rulerTickStep (shownEnd - shownStart);
        const auto firstTick = (juce::int64) std::ceil (shownStart / step);

        for (auto k = firstTick; (double) k * step <= shownEnd; ++k)
        {
            const auto t = (double) k * step;
            const auto x = (float) (ruler.getX() + (v * t - s) / (e - s) * ruler.getWidth());
            g.drawLine (x, (float) ruler.getY(), x, (float) ruler.getY() + 5.0f, 1.0f);
            g.drawText (formatTime (t), (int) x - 25, ruler.getY() + 6, 50, 14, juce::Justification::centred);
        }
    }

    g.setFont (juce::Font (11.0f));
    g.drawText (formatTime (playPosition / v) + " / " + formatTime (shownLength),
                ruler.withTrimmedLeft (ruler.getWidth() - juce::jmin (ruler.getWidth(), 100)),
                juce::Justification::centredRight);

    if (std::abs (v - 1.0) > 0.01)
    {
        g.setColour (juce::Colour (v < 1.0 ? 0xffffa500 : 0xff00ffff));
        g.drawText (juce::String (v, 2) + "x", ruler.getX() + 5, ruler.getY() + 6, 40, 14,
                    juce::Justification::centredLeft);
        g.setColour (textColour);
    }
}
