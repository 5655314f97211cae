#include "controls/StereoSpectralAnalyzer.h"

#include <cmath>
#include <cstring>

namespace
{
    constexpr float floorDb = -80.0f;
    constexpr float initialDb = -100.0f;

    /** The waterfall's colour for a loudness fraction F in [0, 1]: blue through green and
        yellow to red, each channel truncated to a byte. */
    juce::Colour rowColour (float f)
    {
        float r, gr, b;

        if (f < 0.25f)
        {
            r = 20.0f;
            gr = 50.0f + 600.0f * f;
            b = 100.0f + 620.0f * f;
        }
        else if (f < 0.5f)
        {
            const auto g = 4.0f * (f - 0.25f);
            r = 20.0f + 80.0f * g;
            gr = 200.0f + 55.0f * g;
            b = 255.0f - 155.0f * g;
        }
        else if (f < 0.75f)
        {
            const auto g = 4.0f * (f - 0.5f);
            r = 100.0f + 155.0f * g;
            gr = 255.0f;
            b = 100.0f - 100.0f * g;
        }
        else
        {
            r = 255.0f;
            gr = 255.0f - 800.0f * (f - 0.75f);
            b = 0.0f;
        }

        const auto toByte = [] (float v) { return (juce::uint8) juce::jlimit (0, 255, (int) v); };
        return juce::Colour (toByte (r), toByte (gr), toByte (b));
    }

    float finiteOrZero (float v) noexcept
    {
        return std::isfinite (v) ? v : 0.0f;
    }
}

//==============================================================================
StereoSpectralAnalyzer::SpectrumRing::SpectrumRing (int cap, bool startFull, float initialLevel)
    : levels ((size_t) (cap * numBins), initialLevel),
      capacity (cap),
      newest (startFull ? cap - 1 : -1),
      count (startFull ? cap : 0)
{
}

void StereoSpectralAnalyzer::SpectrumRing::push (const float* spectrum) noexcept
{
    newest = (newest + 1) % capacity;
    std::memcpy (levels.data() + (size_t) newest * numBins, spectrum, sizeof (float) * numBins);
    count = juce::jmin (count + 1, capacity);
}

const float* StereoSpectralAnalyzer::SpectrumRing::get (int age) const noexcept
{
    const auto index = ((newest - age) % capacity + capacity) % capacity;
    return levels.data() + (size_t) index * numBins;
}

void StereoSpectralAnalyzer::SpectrumRing::moveAllInto (SpectrumRing& destination) noexcept
{
    for (int age = count - 1; age >= 0; --age)
        destination.push (get (age));

    clear();
}

//==============================================================================
StereoSpectralAnalyzer::StereoSpectralAnalyzer()
    : fftData ((size_t) (2 * fftSize), 0.0f),
      window ((size_t) fftSize),
      inputBuffer ((size_t) fftSize, 0.0f),
      spectrum ((size_t) numBins, floorDb),
      pending (historySize, false, floorDb),
      mailbox (historySize, false, floorDb),
      history (historySize, true, initialDb)
{
    for (int i = 0; i < fftSize; ++i)
        window[(size_t) i] = 0.5f * (1.0f - std::cos (2.0f * juce::MathConstants<float>::pi * (float) i / (float) (fftSize - 1)));

    setOpaque (true);
    startTimer (8);
}

StereoSpectralAnalyzer::~StereoSpectralAnalyzer()
{
    stopTimer();
}

void StereoSpectralAnalyzer::activate()
{
    show3D = true;
    repaint();
}

void StereoSpectralAnalyzer::setShow3D (bool shouldShow3D)
{
    show3D = shouldShow3D;
    repaint();
}

void StereoSpectralAnalyzer::setSampleRate (double newSampleRate) noexcept
{
    if (std::isfinite (newSampleRate) && newSampleRate > 0.0)
        sampleRate.store (newSampleRate, std::memory_order_relaxed);
}

void StereoSpectralAnalyzer::timerCallback()
{
    repaint();
}

//==============================================================================
void StereoSpectralAnalyzer::pushSamples (const float* left, const float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    // Spectra left over from a busy hand-off go out first, so they keep their order even
    // when no new analysis follows for a while.
    tryHandOver();

    if (left == nullptr || right == nullptr || numSamples <= 0)
        return;

    for (int i = 0; i < numSamples; ++i)
    {
        inputBuffer[(size_t) writePosition] = finiteOrZero ((finiteOrZero (left[i]) + finiteOrZero (right[i])) * 0.5f);

        if (++writePosition == fftSize)
        {
            analyse();
            writePosition = 0;
        }
    }
}

void StereoSpectralAnalyzer::analyse() noexcept
{
    for (int j = 0; j < fftSize; ++j)
        fftData[(size_t) j] = window[(size_t) j] * inputBuffer[(size_t) j];

    std::fill (fftData.begin() + fftSize, fftData.end(), 0.0f);

    // The FFT takes its scratch space from the stack at this size, so nothing is allocated here.
    fft.performFrequencyOnlyForwardTransform (fftData.data());

    float loudest = 0.0f;

    for (int j = 0; j < numBins; ++j)
        loudest = juce::jmax (loudest, fftData[(size_t) j]);

    for (int j = 0; j < numBins; ++j)
    {
        const auto ratio = loudest > 0.0f ? fftData[(size_t) j] / loudest : 0.0f;
        spectrum[(size_t) j] = ratio > 1.0e-4f ? juce::jlimit (floorDb, 0.0f, 20.0f * std::log10 (ratio))
                                               : floorDb;
    }

    pending.push (spectrum.data());
    analysesRun.fetch_add (1, std::memory_order_relaxed);

    tryHandOver();
}

void StereoSpectralAnalyzer::tryHandOver() noexcept
{
    if (pending.count == 0)
        return;

    const juce::SpinLock::ScopedTryLockType lock (mailboxLock);

    if (lock.isLocked())
        pending.moveAllInto (mailbox);
}

void StereoSpectralAnalyzer::collectSpectra()
{
    const juce::SpinLock::ScopedLockType lock (mailboxLock);
    mailbox.moveAllInto (history);
}

std::vector<float> StereoSpectralAnalyzer::getSpectrum (int age)
{
    collectSpectra();
    const auto* levels = history.get (juce::jlimit (0, historySize - 1, age));
    return { levels, levels + numBins };
}

//==============================================================================
float StereoSpectralAnalyzer::waterfallXForFrequency (float frequency, float plotX, float plotWidth) noexcept
{
    const auto rowWidth = 0.7f * plotWidth;
    return plotX + (plotWidth - rowWidth) * 0.3f + std::log10 (frequency / 30.0f) / std::log10 (600.0f) * rowWidth;
}

void StereoSpectralAnalyzer::paint (juce::Graphics& g)
{
    collectSpectra();

    const auto w = (float) getWidth(), h = (float) getHeight();

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff0a0a14), 0.0f, 0.0f, juce::Colour (0xff1a1a2e), 0.0f, h, false));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, 4.0f);

    g.setColour (juce::Colour (0xff3366aa));
    g.drawRoundedRectangle (1.0f, 1.0f, juce::jmax (w - 2.0f, 0.0f), juce::jmax (h - 2.0f, 0.0f), 4.0f, 1.5f);

    const juce::Rectangle<float> plot (8.0f, 8.0f, juce::jmax (w - 16.0f, 0.0f), juce::jmax (h - 16.0f, 0.0f));
    const auto rate = getSampleRate();

    if (show3D)
        drawWaterfall (g, plot, rate);
    else
        drawFlatCurve (g, plot, rate);

    g.setColour (juce::Colour (0x99aaddff));
    g.setFont (juce::Font ("Consolas", 9.0f, juce::Font::bold));
    g.drawText (show3D ? "3D SPECTRUM" : "SPECTRUM",
                juce::Rectangle<float> (4.0f, 2.0f, juce::jmax (w - 8.0f, 0.0f), juce::jmax (h - 4.0f, 0.0f)),
                juce::Justification::topLeft, false);
}

void StereoSpectralAnalyzer::drawWaterfall (juce::Graphics& g, juce::Rectangle<float> plot, double rate)
{
    const auto px = plot.getX(), py = plot.getY(), pw = plot.getWidth(), ph = plot.getHeight();
    constexpr int rows = historySize;
    constexpr int step = juce::jmax (numBins / 128, 1);

    const auto dy = ph / (float) (rows + 8);
    const auto sx = pw * 0.3f / (float) rows;
    const auto logSpan = std::log10 (600.0f);
    const auto binHz = (float) (rate / (2.0 * numBins));

    for (int k = rows - 1; k >= 0; --k)
    {
        const auto* levels = history.get (k);

        const auto t = 1.0f - (float) k / (float) rows * 0.7f;
        const auto rw = pw * t * 0.7f;
        const auto rh = ph * t * 0.6f;
        const auto x0 = px + (float) k * sx + (pw - rw) * 0.3f;
        const auto y0 = py + (float) k * dy + ph * 0.3f;
        const auto yb = y0 + rh;

        const auto xFor = [&] (float f) { return x0 + std::log10 (f / 30.0f) / logSpan * rw; };

        juce::Path outline;
        outline.startNewSubPath (x0, yb);

        for (int i = 1; i < numBins; i += step)
        {
            const auto f = (float) i * binHz;

            if (f >= 30.0f && f <= 18000.0f)
                outline.lineTo (xFor (f), yb - (levels[i] + 80.0f) / 80.0f * rh * 0.8f);
        }

        outline.lineTo (x0 + rw, yb);
        outline.closeSubPath();

        float sum = 0.0f;

        for (int i = 0; i < numBins; i += step)
            sum += levels[i];

        const auto mean = sum / (float) (numBins / step);
        const auto colour = rowColour (juce::jlimit (0.0f, 1.0f, (mean + 80.0f) / 80.0f)).withAlpha (t * 0.3f + 0.6f);

        g.setGradientFill (juce::ColourGradient (colour.brighter (0.3f), x0, y0, colour.darker (0.2f), x0, yb, false));
        g.fillPath (outline);

        if (k < 8)
        {
            for (int i = 1; i < numBins; i += 2 * step)
            {
                const auto f = (float) i * binHz;

                if (f < 30.0f || f > 18000.0f)
                    continue;

                const auto q = (levels[i] + 80.0f) / 80.0f;
                const auto x = xFor (f);
                g.setColour (rowColour (juce::jlimit (0.0f, 1.0f, q)).withAlpha ((juce::uint8) 0xb2));
                g.drawLine (x, yb, x, yb - q * rh * 0.8f, 1.5f);
            }
        }

        g.setColour (juce::Colour (0x44ffffff));
        g.strokePath (outline, juce::PathStrokeType (0.5f));
    }

    g.setColour (juce::Colour (0xaa88aacc));
    g.setFont (juce::Font ("Consolas", 8.0f, juce::Font::plain));

    const std::pair<float, const char*> labels[] = { { 100.0f, "100" }, { 1000.0f, "1k" }, { 10000.0f, "10k" } };

    for (const auto& [frequency, text] : labels)
    {
        const auto x = waterfallXForFrequency (frequency, px, pw);
        g.drawText (text, (int) (x - 10.0f), (int) (py + 0.3f * ph + 0.6f * ph) + 2, 20, 10,
                    juce::Justification::centred, false);
    }
}

void StereoSpectralAnalyzer::drawFlatCurve (juce::Graphics& g, juce::Rectangle<float> plot, double rate)
{
    const auto px = plot.getX(), py = plot.getY(), pw = plot.getWidth(), ph = plot.getHeight();
    const auto* levels = history.get (0);
    const auto binHz = (float) (rate / (2.0 * numBins));
    const auto xFor = [&] (float f) { return px + std::log10 (f / 20.0f) / 3.0f * pw; };

    g.setColour (juce::Colour (0x33ffffff));

    for (const auto f : { 100.0f, 1000.0f, 10000.0f })
        g.fillRect ((float) (int) xFor (f), py, 1.0f, ph);

    juce::Path curve;
    curve.startNewSubPath (px, py + ph);

    for (int i = 1; i < numBins; ++i)
    {
        const auto f = (float) i * binHz;

        if (f >= 20.0f && f <= 20000.0f)
            curve.lineTo (xFor (f), py + ph - (levels[i] + 80.0f) / 80.0f * ph);
    }

    curve.lineTo (px + pw, py + ph);
    curve.closeSubPath();

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xcc00ffff), px, py + ph, juce::Colour (0xccff3300), px, py, false));
    g.fillPath (curve);
    g.setColour (juce::Colour (0x99ffffff));
    g.strokePath (curve, juce::PathStrokeType (1.0f));
}
