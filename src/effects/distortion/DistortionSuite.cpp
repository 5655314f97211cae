#include "effects/distortion/DistortionSuite.h"

#include "effects/core/PanelKnobTable.h"

namespace
{
    struct KnobText
    {
        const char* suffix;
        const char* description;
    };

    // Same order as the two knob arrays (and the processor's parameters): IN to WIDE, then
    // THRS to SHPE. Captions, ranges and defaults are the processor's.
    constexpr std::array<KnobText, DistortionSuiteParameters::count> knobTexts {{
        { "dB",  "Input gain staging" },
        { "x",   "Distortion intensity" },
        { "%",   "Dry/wet blend" },
        { "dB",  "Output level" },
        { "",    "Even/odd harmonic balance" },
        { "",    "DC offset for asymmetry" },
        { "",    "Sharpness/nonlinearity" },
        { "",    "Soft/hard clip blend" },
        { "",    "Even harmonic content" },
        { "",    "Odd harmonic content" },
        { "Hz",  "Pre-emphasis highpass" },
        { "",    "Presence/air boost" },
        { "bit", "Bit depth reduction" },
        { "Hz",  "Sample rate reduction" },
        { "",    "Sample timing jitter" },
        { "",    "Dither noise amount" },
        { "Hz",  "Post lowpass filter" },
        { "",    "Filter resonance" },
        { "",    "Random drift amount" },
        { "",    "Stereo spread" },
        { "dB",  "Compression threshold" },
        { ":1",  "Compression ratio" },
        { "ms",  "Attack time" },
        { "ms",  "Release time" },
        { "dB",  "Makeup gain" },
        { "",    "Tube-style saturation" },
        { "Hz",  "Sidechain highpass" },
        { "Hz",  "Sidechain lowpass" },
        { "",    "Stereo linking" },
        { "dB",  "Brick wall limiter" },
        { "",    "Release curve shape" },
    }};
}

DistortionSuite::DistortionSuite (PurpleHeadsUpDisplay* hudToFeed)
    : hud (hudToFeed)
{
    setLookAndFeel (&silverLookAndFeel);

    setUpKnobs();
    mixKnob.setLookAndFeel (&neonGreenLookAndFeel);

    bypassButton.setClickingTogglesState (true);
    bypassButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff1a1a22));
    bypassButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff442222));
    bypassButton.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    bypassButton.setColour (juce::TextButton::textColourOnId, juce::Colour (0xffff6644));
    bypassButton.onClick = [this]
    {
        processor.parameters.bypassed.store (bypassButton.getToggleState(), std::memory_order_relaxed);
        repaint();
    };
    addAndMakeVisible (bypassButton);

    hudButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xffc0c0c0));
    hudButton.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
    hudButton.onClick = [this] { toggleHud(); };
    addAndMakeVisible (hudButton);

    hoverLabel.setText ("Hover over a knob to see its value", juce::dontSendNotification);
    hoverLabel.setColour (juce::Label::backgroundColourId, juce::Colour (0xffaaddff));
    hoverLabel.setColour (juce::Label::textColourId, juce::Colours::black);
    hoverLabel.setFont (juce::Font ("Times New Roman", 12.0f, juce::Font::italic));
    hoverLabel.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (hoverLabel);

    startTimer (33);
}

DistortionSuite::~DistortionSuite()
{
    stopTimer();
    mixKnob.setLookAndFeel (nullptr);
    setLookAndFeel (nullptr);
}

void DistortionSuite::setUpKnobs()
{
    auto knobs = std::array<Knob*, 31> {};
    for (size_t i = 0; i < mainKnobs.size(); ++i)
        knobs[i] = &mainKnobs[i];
    for (size_t i = 0; i < kompressorKnobs.size(); ++i)
        knobs[mainKnobs.size() + i] = &kompressorKnobs[i];

    for (size_t i = 0; i < knobs.size(); ++i)
    {
        auto& knob = *knobs[i];
        const auto& row = DistortionSuiteProcessor::parameterInfo()[i];
        const auto& text = knobTexts[i];
        const auto defaultValue = row.defaultValue;

        knob.setRange (row.minimum, row.maximum);
        knob.setValue (defaultValue, juce::sendNotificationAsync);
        knob.setValueSilently (defaultValue);   // the audio side must not wait for the async pass
        knob.setTextValueSuffix (text.suffix);
        knob.setName (row.name);
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        knob.setColour (juce::Slider::rotarySliderFillColourId, juce::Colour (0xff88ccff));
        knob.setColour (juce::Slider::rotarySliderOutlineColourId, juce::Colour (0xff444455));
        knob.setColour (juce::Slider::thumbColourId, juce::Colour (0xff88ccff));
        knob.setPopupDisplayEnabled (false, false, nullptr);
        knob.setDoubleClickReturnValue (true, defaultValue);
        addAndMakeVisible (knob);

        knobInfo[&knob] = { row.name, text.suffix, text.description };
        knob.linkMirror (&processor.parameters.values[i]);
    }
}

std::array<DistortionSuite::Knob*, 31> DistortionSuite::getAllKnobs() noexcept
{
    return { &driveKnob, &mixKnob, &outKnob, &inKnob, &symKnob, &edgeKnob, &offsKnob, &kneeKnob,
             &evenKnob, &oddKnob, &hpfKnob, &presKnob, &bitsKnob, &rateKnob, &jitrKnob, &dthrKnob,
             &filtKnob, &resKnob, &drftKnob, &wideKnob, &thrsKnob, &ratKnob, &atkKnob, &relKnob,
             &mkupKnob, &satKnob, &schpKnob, &sclpKnob, &linkKnob, &limKnob, &shpeKnob };
}

DistortionSuite::Knob* DistortionSuite::findKnob (const juce::String& caption) noexcept
{
    for (auto* knob : getAllKnobs())
        if (knob->getName() == caption)
            return knob;

    return nullptr;
}

void DistortionSuite::setBypassed (bool shouldBeBypassed)
{
    processor.parameters.bypassed.store (shouldBeBypassed, std::memory_order_relaxed);
    bypassButton.setToggleState (shouldBeBypassed, juce::dontSendNotification);
    repaint();
}

void DistortionSuite::setMode (int newMode)
{
    processor.setMode (newMode);

    for (auto* knob : { &inKnob, &driveKnob, &mixKnob, &outKnob })
        knob->setVisible (true);

    // mainKnobs[4..11] are the Distorter group, [12..19] the Bitcrush group.
    for (size_t i = 4; i < mainKnobs.size(); ++i)
        mainKnobs[i].setVisible (newMode == distorterMode ? i < 12
                                 : newMode == bitcrushMode ? i >= 12
                                                           : false);

    for (auto& knob : kompressorKnobs)
        knob.setVisible (newMode != distorterMode && newMode != bitcrushMode);

    resized();
    repaint();
}

void DistortionSuite::toggleHud()
{
    panelknobs::toggleHud (hud);
}

//==============================================================================
void DistortionSuite::paint (juce::Graphics& g)
{
    const auto max0 = [] (float v) { return juce::jmax (0.0f, v); };

    const auto W = (float) getWidth();
    const auto H = (float) getHeight();
    const auto T = juce::jmin (H, 20.0f);
    const auto B = H - T;

    // Header strip with its scan lines.
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffaaddff), 4.0f, 2.0f,
                                             juce::Colour (0xff88bbee), 4.0f, 2.0f + max0 (T - 4.0f), false));
    g.fillRoundedRectangle (4.0f, 2.0f, max0 (W - 8.0f), max0 (T - 4.0f), 3.0f);
    g.setColour (juce::Colour (0xff4477aa));
    g.drawRoundedRectangle (4.0f, 2.0f, max0 (W - 8.0f), max0 (T - 4.0f), 3.0f, 1.0f);

    g.setColour (juce::Colour (0x08000000));
    for (int y = 2; y < (int) max0 (T - 4.0f) + 2; y += 2)
        g.drawLine (4.0f, (float) y, max0 (W - 8.0f) + 4.0f, (float) y, 0.5f);

    // Drop shadow, body, gloss and groove.
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x66));
    g.fillRoundedRectangle (2.0f, T + 3.0f, W, B, 6.0f);
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x40));
    g.fillRoundedRectangle (1.0f, T + 2.0f, W, B, 6.0f);

    juce::ColourGradient body (juce::Colour (0xfff8f8ff), 0.0f, T, juce::Colour (0xff909098), 0.0f, H, false);
    body.addColour (0.1, juce::Colour (0xfff0f0f8));
    body.addColour (0.3, juce::Colour (0xffd8d8e8));
    body.addColour (0.5, juce::Colour (0xffc8c8d8));
    body.addColour (0.7, juce::Colour (0xffb0b0c0));
    body.addColour (0.9, juce::Colour (0xff989898));
    g.setGradientFill (body);
    g.fillRoundedRectangle (0.0f, T, W, B, 6.0f);

    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha ((juce::uint8) 0xb2), 0.0f, T,
                                             juce::Colours::white.withAlpha ((juce::uint8) 0), 0.0f, T + 20.0f, false));
    g.fillRoundedRectangle (2.0f, T + 1.0f, max0 (W - 4.0f), 15.0f, 5.0f);

    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x33));
    g.fillRect (6.0f, T + 0.35f * B, max0 (W - 12.0f), 2.0f);

    g.setColour (juce::Colour (0x55000000));
    g.drawLine (6.0f, H - 2.0f, W - 6.0f, H - 2.0f, 1.0f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0xb2));
    g.drawLine (6.0f, T + 1.0f, W - 6.0f, T + 1.0f, 1.0f);

    g.setColour (juce::Colour (0xff6688aa));
    g.drawRoundedRectangle (0.0f, T, W, B, 6.0f, 1.5f);
    g.setColour (juce::Colour (0x33ffffff));
    g.drawRoundedRectangle (1.5f, T + 1.5f, max0 (W - 3.0f), max0 (B - 3.0f), 5.0f, 0.5f);

    // Mode name in the strip left of the knobs.
    const auto nameStrip = juce::jmin (W, 70.0f);
    const auto currentMode = getMode();
    const char* modeName = currentMode == distorterMode  ? "Distorter"
                         : currentMode == bitcrushMode   ? "Bitcrush"
                         : currentMode == kompressorMode ? "Kompressor"
                                                         : nullptr;
    if (modeName != nullptr)
    {
        const auto colour = juce::Colour (currentMode == distorterMode ? 0xff00ff88u
                                          : currentMode == bitcrushMode ? 0xff00ffaau
                                                                        : 0xff88ff44u);
        const auto boxW = max0 (nameStrip - 8.0f);
        const auto boxH = max0 (B - 16.0f);

        g.setFont (juce::Font ("Times New Roman", 11.0f, juce::Font::italic));
        g.setColour (colour.withAlpha ((juce::uint8) 0x66));
        g.drawText (modeName, juce::Rectangle<float> (5.0f, T + 9.0f, boxW, boxH), juce::Justification::centred, true);
        g.setColour (colour);
        g.drawText (modeName, juce::Rectangle<float> (4.0f, T + 8.0f, boxW, boxH), juce::Justification::centred, true);
    }

    if (isBypassed())
    {
        g.setColour (juce::Colour (0x88ff0000));
        g.fillRoundedRectangle (nameStrip + 4.0f, T + 4.0f, max0 (W - nameStrip - 8.0f), max0 (B - 8.0f), 4.0f);
        g.setColour (juce::Colours::white);
        g.setFont (juce::Font ("Times New Roman", 14.0f, juce::Font::bold | juce::Font::italic));
        g.drawText ("BYPASSED", juce::Rectangle<float> (nameStrip, T, max0 (W - nameStrip), B),
                    juce::Justification::centred, true);
    }
}

void DistortionSuite::resized()
{
    const auto max0 = [] (int v) { return juce::jmax (0, v); };

    const int width = getWidth();
    const int height = getHeight();

    const int headerH = juce::jmin (height, 20);
    hoverLabel.setBounds (4, 2, max0 (width - 8), max0 (headerH - 4));

    const int y0 = headerH + 2;
    const int h = max0 (height - headerH - 4);
    const int w = max0 (width - 8);

    const int nameStrip = juce::jmin (w, 55);
    const int c = juce::jmin (w - nameStrip, 130);
    const int rowW = w - nameStrip - c;
    const int rowX = 4 + nameStrip;
    const int xc = rowX + rowW;

    const int mixW = juce::jmin (c, 65);
    mixKnob.setBounds (xc + (mixW - 60) / 2, y0 + (h - 60) / 2, 60, 60);

    const int r = c - mixW;
    const int hudW = juce::jmin (r, 32);
    hudButton.setBounds (xc + mixW + 2, y0 + (h - 20) / 2, max0 (hudW - 4), max0 (h - 2 * ((h - 20) / 2)));
    bypassButton.setBounds (xc + mixW + 2 + hudW, y0 + (h - 24) / 2, max0 (r - hudW - 4), max0 (h - 2 * ((h - 24) / 2)));

    const int currentMode = getMode();
    const int perRow = (currentMode == distorterMode || currentMode == bitcrushMode) ? 6 : 7;
    const int k = juce::jmax (juce::jmin (rowW / perRow, h / 2), 35);

    const juce::Rectangle<int> rows[] = { { rowX, y0, rowW, h / 2 }, { rowX, y0 + h / 2, rowW, h - h / 2 } };

    juce::Array<Knob*> order { &inKnob, &driveKnob, &outKnob };
    if (currentMode == distorterMode)
        order.addArray ({ &symKnob, &offsKnob, &edgeKnob, &kneeKnob, &evenKnob, &oddKnob, &hpfKnob, &presKnob });
    else if (currentMode == bitcrushMode)
        order.addArray ({ &bitsKnob, &rateKnob, &jitrKnob, &dthrKnob, &filtKnob, &resKnob, &drftKnob, &wideKnob });
    else
        order.addArray ({ &thrsKnob, &ratKnob, &atkKnob, &relKnob, &mkupKnob, &satKnob, &schpKnob, &sclpKnob,
                          &linkKnob, &limKnob, &shpeKnob });

    int placed = 0;
    int left = rows[0].getX();
    for (auto* knob : order)
    {
        if (! knob->isVisible())
            continue;

        const int row = juce::jmin (placed / perRow, 1);
        if (placed % perRow == 0)
            left = rows[row].getX();

        const auto& area = rows[row];
        const int d = juce::jmin (k, area.getRight() - left);
        const int rowHeight = area.getHeight();
        knob->setBounds (left + 1, area.getY() + 1, d >= 3 ? d - 2 : 0, rowHeight >= 3 ? rowHeight - 2 : 0);
        left += d;
        ++placed;
    }
}

//==============================================================================
bool DistortionSuite::isKnobUnderMouse (const Knob& knob) const
{
    return knob.isMouseOverOrDragging (false);
}

juce::String DistortionSuite::hoverText (const juce::Slider& knob)
{
    return knob.getName() + ": " + juce::String (knob.getValue(), 2) + " / "
         + juce::String (juce::roundToInt (knob.getMaximum()));
}

juce::String DistortionSuite::hudValueText (const juce::Slider& knob)
{
    return juce::String (knob.getValue(), 1);
}

juce::String DistortionSuite::hudTitle (int modeToShow)
{
    switch (modeToShow)
    {
        case distorterMode:  return "DISTORTER";
        case bitcrushMode:   return "BITCRUSH";
        case kompressorMode: return "KOMPRESSOR";
        default:             return "DISTORTION SUITE";
    }
}

DistortionSuite::Knob* DistortionSuite::visibleKnobUnderMouse()
{
    for (auto* knob : getAllKnobs())
        if (knob->isVisible() && isKnobUnderMouse (*knob))
            return knob;

    return nullptr;
}

void DistortionSuite::updateHud()
{
    if (hud == nullptr)
        return;

    if (auto* knob = visibleKnobUnderMouse())
    {
        const auto found = knobInfo.find (knob);
        const auto description = found != knobInfo.end() ? found->second.description : juce::String();
        hud->setInfo (hudTitle (getMode()), knob->getName(), hudValueText (*knob), description);
    }
}

void DistortionSuite::updateHoverLabel()
{
    if (auto* knob = visibleKnobUnderMouse())
        hoverLabel.setText (hoverText (*knob), juce::dontSendNotification);
}

void DistortionSuite::timerCallback()
{
    repaint();
    updateHud();
    updateHoverLabel();
}
