#include "effects/timepro/HeightAndWeight.h"

#include <initializer_list>

namespace
{
    using P = HeightAndWeightParameters;

    /** Which toggle a mode shows beside its knobs. */
    enum class Extra { none, freeze, tape, trigger };

    struct ModeInfo
    {
        const char* button;
        juce::uint32 colour;
        const char* description;
        const char* hudName;
        std::initializer_list<int> knobs;   // in their order on screen, left to right
        Extra extra;
    };

    const ModeInfo& modeInfo (int mode)
    {
        static const ModeInfo modes[HeightAndWeight::numModes] = {
            { "MICRO-PITCH", 0xff5588aa, "Micro-Pitch: Stereo widening via detuning", "MICRO-PITCH",
              { P::microDetune, P::microDelay, P::microWidth, P::microChar, P::microMix }, Extra::none },
            { "GRANULAR", 0xff5588aa, "Granular: Texture and pitch manipulation", "GRANULAR",
              { P::grainSize, P::grainDensity, P::grainPitch, P::grainMotion, P::grainMix }, Extra::freeze },
            { "HALF-TIME", 0xff5588aa, "Half-Time: Time stretch and slow-down", "HALF-TIME",
              { P::halfTime, P::halfSmooth, P::halfTrans, P::halfChar, P::halfMix }, Extra::tape },
            { "REPEAT", 0xff5588aa, "Repeat: Momentary stutter/loop juggle", "REPEAT",
              { P::repeatLength, P::repeatRate, P::repeatFade, P::repeatDecay, P::repeatMix }, Extra::trigger },
            { "GATE", 0xff5588aa, "Gate: Rhythmic chopping", "GATE",
              { P::gatePattern, P::gateRate, P::gateAttack, P::gateRelease, P::gateMix }, Extra::none },
            { "REVERSE", 0xff5588aa, "Reverse: Backward juggling", "REVERSE",
              { P::reverseLength, P::reverseFade, P::reverseSpeed, P::reverseRepeats, P::reverseMix }, Extra::trigger },
            { "STRETCH", 0xff5588aa, "Stretch: Time manipulation", "STRETCH",
              { P::stretchFactor, P::stretchGrain, P::stretchOverlap, P::stretchSmooth, P::stretchMix }, Extra::trigger },
            { "TAPE", 0xff6688aa, "Tape Stop: Classic tape slowdown effect", "",
              { P::halfTime, P::halfSmooth, P::halfMix }, Extra::trigger },
            { "VINYL", 0xff6688aa, "Vinyl Brake: Record stop with exponential decay", "",
              { P::halfTime, P::halfSmooth, P::halfMix }, Extra::trigger },
            { "SLICER", 0xff6688aa, "Slicer: Beat-synced slice rearrangement", "",
              { P::repeatLength, P::repeatRate, P::repeatMix }, Extra::trigger },
            { "STUTTER", 0xff6688aa, "Stutter Ramp: Accelerating/decelerating stutter", "",
              { P::repeatLength, P::repeatRate, P::repeatDecay, P::repeatMix }, Extra::trigger },
            { "SPIN", 0xff6688aa, "Backspin: DJ-style reverse scratch", "",
              { P::halfTime, P::halfSmooth, P::halfMix }, Extra::trigger },
        };
        return modes[mode];
    }

    constexpr juce::uint32 currentModeColour = 0xff87ceeb;
    constexpr int knobSize = 42, firstKnobX = 15, knobPitch = 50;

    void colourButton (juce::TextButton& b, juce::uint32 off, juce::uint32 on, juce::uint32 textOff, juce::uint32 textOn)
    {
        b.setColour (juce::TextButton::buttonColourId, juce::Colour (off));
        b.setColour (juce::TextButton::buttonOnColourId, juce::Colour (on));
        b.setColour (juce::TextButton::textColourOffId, juce::Colour (textOff));
        b.setColour (juce::TextButton::textColourOnId, juce::Colour (textOn));
    }

    /** A row button in its cell, one pixel in from either side. */
    void placeInCell (juce::Component& c, juce::Rectangle<int> cell)
    {
        c.setBounds (cell.getX() + 1, cell.getY(), juce::jmax (0, cell.getWidth() - 2), cell.getHeight());
    }
}

juce::String HeightAndWeight::hudModeName (int mode)
{
    return juce::isPositiveAndBelow (mode, numModes) ? juce::String (modeInfo (mode).hudName) : juce::String();
}

HeightAndWeight::HeightAndWeight (MagentaHeadsUpDisplay* hudToFeed)
    : ProcessorPanel (33), hud (hudToFeed)
{
    setLookAndFeel (&silverLookAndFeel);
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

    setUpButtons();

    const auto& table = knobTable();
    for (size_t i = 0; i < knobs.size(); ++i)
    {
        panelknobs::setUp (*this, knobs[i], table[i].spec, panelknobs::wideRangeInterval (table[i].spec), knobInfo);
        knobs[i].linkMirror (&parameters.knobs[i]);
    }

    for (auto index : { P::microMix, P::grainMix, P::halfMix, P::repeatMix, P::gateMix, P::reverseMix, P::stretchMix, P::globalMix })
        knobs[(size_t) index].setLookAndFeel (&neonGreenLookAndFeel);

    hideSectionControls();
}

HeightAndWeight::~HeightAndWeight()
{
    for (auto& knob : knobs)
    {
        knob.linkMirror (nullptr);
        knob.setLookAndFeel (nullptr);
    }
    setLookAndFeel (nullptr);
}

void HeightAndWeight::setUpButtons()
{
    panelknobs::setUpHeaderButtons (*this, bypassButton, hudButton, syncButton, bypassed, tempoSyncEnabled, hud);
    colourButton (bypassButton, 0xff333333, 0xffff4444, 0xffffffff, 0xffffffff);
    colourButton (syncButton, 0xff87ceeb, 0xff6ec6e6, 0xff000000, 0xffffff00);
    hudButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xffc0c0c0));
    hudButton.setColour (juce::TextButton::textColourOffId, juce::Colours::black);

    colourButton (triggerButton, 0xff404040, 0xff00aa00, 0xffd3d3d3, 0xffffffff);
    colourButton (latchButton, 0xff404040, 0xffaa8800, 0xffd3d3d3, 0xffffffff);
    colourButton (tapeButton, 0xff404040, 0xff804080, 0xffd3d3d3, 0xffffffff);
    colourButton (freezeButton, 0xff404040, 0xff4080c0, 0xffd3d3d3, 0xffffffff);

    // The trigger's state is the processor's: the button only shows it.
    triggerButton.setClickingTogglesState (true);
    triggerButton.onClick = [this]
    {
        triggerButton.setToggleState (parameters.toggleTrigger(), juce::dontSendNotification);
    };
    latchButton.setClickingTogglesState (true);
    latchButton.onClick = [this] { latched = latchButton.getToggleState(); };
    tapeButton.setClickingTogglesState (true);
    tapeButton.onClick = [this] { tapeMode = tapeButton.getToggleState(); };
    freezeButton.setClickingTogglesState (true);
    freezeButton.onClick = [this] { frozen = freezeButton.getToggleState(); };

    for (auto* b : { &triggerButton, &latchButton, &tapeButton, &freezeButton })
        addChildComponent (*b);
}

void HeightAndWeight::process (float* left, float* right, int numSamples) noexcept
{
    processStereoPointers (processor, left, right, numSamples);
}

//==============================================================================
void HeightAndWeight::hideSectionControls()
{
    for (size_t i = 0; i + 1 < knobs.size(); ++i)
        knobs[i].setVisible (false);

    for (auto* b : { &tapeButton, &freezeButton, &triggerButton, &latchButton })
        b->setVisible (false);
}

void HeightAndWeight::setMode (int newMode)
{
    parameters.mode.store (newMode, std::memory_order_relaxed);
    hideSectionControls();

    for (int i = 0; i < numModes; ++i)
        modeButtons[(size_t) i].setColour (juce::TextButton::buttonColourId,
                                           juce::Colour (i == newMode ? currentModeColour : modeInfo (i).colour));

    if (juce::isPositiveAndBelow (newMode, numModes))
    {
        const auto& info = modeInfo (newMode);
        for (auto index : info.knobs)
            knobs[(size_t) index].setVisible (true);

        freezeButton.setVisible (info.extra == Extra::freeze);
        tapeButton.setVisible (info.extra == Extra::tape);
        triggerButton.setVisible (info.extra == Extra::trigger);
        latchButton.setVisible (info.extra == Extra::trigger);
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

    // Turning the trigger off restarts nothing, so it needs no request.
    triggered = false;
    latched = false;
    triggerButton.setToggleState (false, juce::dontSendNotification);
    latchButton.setToggleState (false, juce::dontSendNotification);
}

std::array<HeightAndWeight::Knob*, HeightAndWeight::numKnobs - 1> HeightAndWeight::getAllKnobs() noexcept
{
    return panelknobs::firstKnobs<numKnobs - 1> (knobs);
}

//==============================================================================
void HeightAndWeight::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe8e8e8), 0.0f, 0.0f,
                                             juce::Colour (0xffb8b8b8), 0.0f, h, false));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, 6.0f);

    g.setColour (juce::Colour (0xccffffff));
    g.drawRoundedRectangle (1.0f, 1.0f, juce::jmax (0.0f, w - 2.0f), juce::jmax (0.0f, h - 2.0f), 6.0f, 1.0f);
    g.setColour (juce::Colour (0xff808080));
    g.drawRoundedRectangle (2.0f, 2.0f, juce::jmax (0.0f, w - 4.0f), juce::jmax (0.0f, h - 4.0f), 5.0f, 1.0f);

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font ("Times New Roman", 12.0f, juce::Font::bold | juce::Font::italic));
    g.drawText ("TIMEPRO", juce::Rectangle<int> (10, 5, 150, 16), juce::Justification::centredLeft, true);
}

void HeightAndWeight::resized()
{
    auto area = getLocalBounds().reduced (5);
    const int contentWidth = area.getWidth();

    hoverLabel.setBounds (area.removeFromTop (18));
    area.removeFromTop (3);

    auto row = area.removeFromTop (20);
    for (int i = 0; i < 3; ++i)
        placeInCell (modeButtons[(size_t) i], row.removeFromLeft (contentWidth / 4));
    placeInCell (syncButton, row.removeFromLeft (36));
    placeInCell (hudButton, row.removeFromLeft (30));
    placeInCell (bypassButton, row);
    area.removeFromTop (2);

    row = area.removeFromTop (20);
    for (int i = 3; i < 7; ++i)
        placeInCell (modeButtons[(size_t) i], row.removeFromLeft (contentWidth / 4));
    area.removeFromTop (2);

    row = area.removeFromTop (18);
    for (int i = 7; i < numModes; ++i)
        placeInCell (modeButtons[(size_t) i], row.removeFromLeft (contentWidth / 5));

    area.removeFromTop (3);
    const int y = area.getY() + 5;

    const int mode = getMode();
    if (juce::isPositiveAndBelow (mode, numModes))
    {
        // The mode's knobs fill slots 50 pixels apart; its toggle takes the slot after the last.
        const auto& info = modeInfo (mode);
        int x = firstKnobX;
        for (auto index : info.knobs)
        {
            auto& knob = knobs[(size_t) index];
            if (knob.isVisible())
                knob.setBounds (x, y, knobSize, knobSize);
            x += knobPitch;
        }

        if (info.extra == Extra::freeze)
            freezeButton.setBounds (x, y + 10, 50, 22);
        else if (info.extra == Extra::tape)
            tapeButton.setBounds (x, y + 10, 50, 22);
        else if (info.extra == Extra::trigger)
        {
            triggerButton.setBounds (x, y + 5, 55, 20);
            latchButton.setBounds (x, y + 27, 55, 20);
        }
    }

    mixKnob.setBounds (contentWidth - 99, y, knobSize, knobSize);
    outputKnob.setBounds (contentWidth - 47, y, knobSize, knobSize);
}

//==============================================================================
void HeightAndWeight::timerCallback()
{
    repaint();
    updateHud();
    updateHoverLabel();
}

HeightAndWeight::Knob* HeightAndWeight::hoveredKnob()
{
    for (auto* knob : getAllKnobs())
        if (panelknobs::countsAsHovered (*knob, isHovered))
            return knob;
    return nullptr;
}

void HeightAndWeight::updateHud()
{
    if (hud == nullptr)
        return;

    const auto modeName = hudModeName (getMode());
    auto* knob = hoveredKnob();
    if (knob == nullptr)
    {
        hud->setInfo ("TIMEPRO", modeName, {}, "Hover a knob for details");
        return;
    }

    const auto info = knobInfo.find (knob);
    if (info == knobInfo.end())
        return;

    hud->setInfo ("TIMEPRO", modeName + " - " + info->second.name,
                  juce::String (knob->getValue(), 1) + " " + info->second.unit, info->second.description);
}

void HeightAndWeight::updateHoverLabel()
{
    auto* knob = hoveredKnob();
    if (knob == nullptr)
        return;

    const auto info = knobInfo.find (knob);
    if (info == knobInfo.end())
        return;

    hoverLabel.setText (info->second.name + ": " + juce::String (knob->getValue(), 1) + " " + info->second.unit,
                        juce::dontSendNotification);
}
