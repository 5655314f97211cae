#include "effects/timepro/HeightAndWeight.h"

#include <initializer_list>

namespace
{
    struct ModeInfo
    {
        const char* button;
        juce::uint32 colour;
        const char* description;
        std::initializer_list<int> knobs;
        bool freeze, tape, trigger;
    };

    const ModeInfo& modeInfo (int mode)
    {
        static const ModeInfo modes[HeightAndWeight::numModes] = {
            { "MICRO-PITCH", 0xff5588aa, "Micro-Pitch: Stereo widening via detuning", { 0, 1, 2, 3, 4 }, false, false, false },
            { "GRANULAR", 0xff5588aa, "Granular: Texture and pitch manipulation", { 5, 6, 7, 8, 9 }, true, false, false },
            { "HALF-TIME", 0xff5588aa, "Half-Time: Time stretch and slow-down", { 10, 11, 12, 13, 14 }, false, true, false },
            { "REPEAT", 0xff5588aa, "Repeat: Momentary stutter/loop juggle", { 15, 16, 17, 18, 19 }, false, false, true },
            { "GATE", 0xff5588aa, "Gate: Rhythmic chopping", { 20, 21, 22, 23, 24 }, false, false, false },
            { "REVERSE", 0xff5588aa, "Reverse: Backward juggling", { 25, 26, 27, 28, 29 }, false, false, true },
            { "STRETCH", 0xff5588aa, "Stretch: Time manipulation", { 30, 31, 32, 33, 34 }, false, false, true },
            { "TAPE", 0xff6688aa, "Tape Stop: Classic tape slowdown effect", { 10, 11, 14 }, false, false, true },
            { "VINYL", 0xff6688aa, "Vinyl Brake: Record stop with exponential decay", { 10, 11, 14 }, false, false, true },
            { "SLICER", 0xff6688aa, "Slicer: Beat-synced slice rearrangement", { 15, 16, 19 }, false, false, true },
            { "STUTTER", 0xff6688aa, "Stutter Ramp: Accelerating/decelerating stutter", { 15, 16, 18, 19 }, false, false, true },
            { "SPIN", 0xff6688aa, "Backspin: DJ-style reverse scratch", { 10, 11, 14 }, false, false, true },
        };
        return modes[mode];
    }

    constexpr juce::uint32 currentModeColour = 0xff87ceeb;
}

const std::array<HeightAndWeight::KnobRow, HeightAndWeight::numKnobs>& HeightAndWeight::knobTable() noexcept
{
    static const std::array<KnobRow, numKnobs> table {{
        { { "DETUNE", -20, 20, 8, "ct", "Pitch deviation in cents" }, 5 },
        { { "DELAY", 0, 30, 15, "ms", "Haas-style delay" }, 10 },
        { { "WIDTH", 0, 150, 100, "%", "Stereo spread" }, 100 },
        { { "CHAR", 0, 100, 30, "%", "Drift + warmth" }, 30 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "SIZE", 5, 120, 40, "ms", "Grain size" }, 50 },
        { { "DENSITY", 1, 80, 20, "g/s", "Grains per second" }, 20 },
        { { "PITCH", -24, 24, 0, "st", "Pitch shift semitones" }, 0 },
        { { "MOTION", 0, 100, 30, "%", "Position + scan + jitter" }, 30 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "TIME", 0.5, 4, 2, "x", "Time stretch factor" }, 2 },
        { { "SMOOTH", 0, 100, 50, "%", "Window smoothing" }, 50 },
        { { "TRANS", 0, 100, 70, "%", "Transient preserve" }, 50 },
        { { "CHAR", 0, 100, 20, "%", "Lo-fi / wow / flutter" }, 30 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "LENGTH", 1, 16, 4, "", "Loop length (musical division)" }, 4 },
        { { "RATE", 1, 32, 8, "", "Repeat subdivisions" }, 8 },
        { { "FADE", 0, 100, 20, "%", "Crossfade amount" }, 20 },
        { { "DECAY", 0, 100, 0, "%", "Volume decay per repeat" }, 0 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "PTRN", 0, 15, 0, "", "Gate pattern (0-15 binary)" }, 0 },
        { { "RATE", 1, 32, 8, "", "Gate rate (subdivisions)" }, 8 },
        { { "ATK", 0, 50, 2, "ms", "Attack time" }, 2 },
        { { "REL", 0, 100, 10, "ms", "Release time" }, 10 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "LENGTH", 1, 16, 4, "", "Reverse segment length" }, 4 },
        { { "FADE", 0, 100, 15, "%", "Boundary crossfade" }, 15 },
        { { "SPEED", 25, 200, 100, "%", "Playback speed" }, 100 },
        { { "RPT", 1, 8, 1, "", "Max iterations" }, 1 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "FACTOR", 0.25, 4, 1, "x", "Time stretch factor" }, 1 },
        { { "GRAIN", 10, 100, 40, "ms", "Grain size" }, 40 },
        { { "OLAP", 10, 90, 50, "%", "Grain overlap" }, 50 },
        { { "SMOOTH", 0, 100, 50, "%", "Window envelope" }, 50 },
        { { "MIX", 0, 100, 0, "%", "Dry/wet blend" }, 0 },
        { { "OUT", -24, 12, 0, "dB", "Output level" }, 0 },
        { { "MIX", 0, 100, 0, "%", "Global dry/wet blend" }, 0 },
    }};
    return table;
}

HeightAndWeight::HeightAndWeight (MagentaHeadsUpDisplay* hudToFeed)
    : ProcessorPanel (33), hud (hudToFeed)
{
    panelknobs::setUpHoverLabel (*this, hoverLabel, "Select effect type...");

    for (int i = 0; i < numModes; ++i)
    {
        auto& button = modeButtons[(size_t) i];
        button.setButtonText (modeInfo (i).button);
        button.setColour (juce::TextButton::buttonColourId, juce::Colour (modeInfo (i).colour));
        button.setColour (juce::TextButton::textColourOffId, juce::Colours::black);
        button.onClick = [this, i] { setMode (i); };
        addAndMakeVisible (button);
    }

    mixKnob.linkMirror (&processor.parameters.mix);

    panelknobs::setUpHeaderButtons (*this, bypassButton, hudButton, syncButton, bypassed, tempoSyncEnabled, hud);

    tapeButton.setClickingTogglesState (true);
    tapeButton.onClick = [this] { tapeMode = tapeButton.getToggleState(); };
    freezeButton.setClickingTogglesState (true);
    freezeButton.onClick = [this] { frozen = freezeButton.getToggleState(); };
    triggerButton.setClickingTogglesState (true);
    triggerButton.onClick = [this] { triggered = triggerButton.getToggleState(); };
    latchButton.setClickingTogglesState (true);
    latchButton.onClick = [this] { latched = latchButton.getToggleState(); };
    for (auto* b : { &triggerButton, &latchButton, &tapeButton, &freezeButton })
        addChildComponent (*b);

    const auto& table = knobTable();
    for (size_t i = 0; i < knobs.size(); ++i)
        panelknobs::setUp (*this, knobs[i], table[i].spec, panelknobs::wideRangeInterval (table[i].spec), knobInfo);

    hideSectionControls();
}

void HeightAndWeight::process (float* left, float* right, int numSamples) noexcept
{
    processStereoPointers (processor, left, right, numSamples);
}

void HeightAndWeight::hideSectionControls()
{
    for (size_t i = 0; i + 1 < knobs.size(); ++i)
        knobs[i].setVisible (false);

    for (auto* b : { &tapeButton, &freezeButton, &triggerButton, &latchButton })
        b->setVisible (false);
}

void HeightAndWeight::setMode (int newMode)
{
    mode = newMode;
    hideSectionControls();

    for (int i = 0; i < numModes; ++i)
        modeButtons[(size_t) i].setColour (juce::TextButton::buttonColourId,
                                           juce::Colour (i == newMode ? currentModeColour : modeInfo (i).colour));

    if (juce::isPositiveAndBelow (newMode, numModes))
    {
        const auto& info = modeInfo (newMode);
        for (auto index : info.knobs)
            knobs[(size_t) index].setVisible (true);

        freezeButton.setVisible (info.freeze);
        tapeButton.setVisible (info.tape);
        triggerButton.setVisible (info.trigger);
        latchButton.setVisible (info.trigger);
        hoverLabel.setText (info.description, juce::dontSendNotification);
    }

    outputKnob.setVisible (true);
    resized();
    repaint();
}

void HeightAndWeight::resetToNeutral()
{
    const auto& table = knobTable();
    for (size_t i = 0; i < knobs.size(); ++i)
        knobs[i].setValue (table[i].neutral, juce::sendNotificationAsync);

    triggered = false;
    latched = false;
    triggerButton.setToggleState (false, juce::dontSendNotification);
    latchButton.setToggleState (false, juce::dontSendNotification);
}

std::array<HeightAndWeight::Knob*, HeightAndWeight::numKnobs - 1> HeightAndWeight::getAllKnobs() noexcept
{
    return panelknobs::firstKnobs<numKnobs - 1> (knobs);
}

void HeightAndWeight::paint (juce::Graphics& g)
{
    panelknobs::paintPanel (g, getLocalBounds(), "TIMEPRO", juce::Colour (0xffcc44cc), bypassed);
}

void HeightAndWeight::resized()
{
    auto area = panelknobs::layoutHeader (getLocalBounds().reduced (4), hoverLabel, 320, 80,
                                          bypassButton, hudButton, syncButton);

    auto modeRow = area.removeFromTop (22);
    const auto modeWidth = modeRow.getWidth() / numModes;
    for (auto& button : modeButtons)
        button.setBounds (modeRow.removeFromLeft (modeWidth).reduced (1, 0));

    auto toggles = area.removeFromRight (70);
    for (auto* b : { &triggerButton, &latchButton, &tapeButton, &freezeButton })
        if (b->isVisible())
            b->setBounds (toggles.removeFromTop (22).reduced (0, 1));

    panelknobs::layoutKnobRow (area, knobs);
}

void HeightAndWeight::timerCallback() {}
