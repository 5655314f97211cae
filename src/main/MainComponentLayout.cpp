#include "main/MainComponent.h"

namespace
{
    // Header strip and the row under it.
    constexpr int margin = 15;
    constexpr int headerHeight = 55;
    constexpr int rowGap = 5;
    constexpr int rowHeight = 40;

    // Macro knobs.
    constexpr int macroTop = 11;
    constexpr int macroSecondRowTop = 83;
    constexpr int smallKnob = 65;
    constexpr int smallKnobGap = 4;
    constexpr int largeKnob = 90;
    constexpr int largeKnobGap = 6;
    constexpr int numMacroKnobsShown = 6;

    // Panel area.
    constexpr int hudWidth = 210, hudHeight = 100, hudRightInset = 215, hudStep = 105;

    /** The single row needs every knob at full size; below that width two rows of smaller
        knobs keep all six reachable. The row starts where the header leaves off. */
    bool singleMacroRowFits (int headerRight, int rowStart)
    {
        return headerRight - rowStart >= numMacroKnobsShown * largeKnob + (numMacroKnobsShown - 1) * largeKnobGap;
    }
}

void MainComponent::resized()
{
    auto area = getLocalBounds().reduced (margin);

    layoutHeader (area);

    recordingWindow.setBounds (getWidth() - 920, 40, 900, 500);

    area.removeFromTop (rowGap);
    layoutSecondRow (area);

    fileLabel.setBounds (area.removeFromTop (25));
    area.removeFromTop (10);
    waveformView.setBounds (area.removeFromTop (150));
    area.removeFromTop (5);
    buttonRowArea = area.removeFromTop (36);
    layoutPanelButtons();

    layoutPanels (area);
}

void MainComponent::layoutHeader (juce::Rectangle<int>& area)
{
    auto header = area.removeFromTop (headerHeight);

    loadButton.setBounds (header.removeFromLeft (100));
    header.removeFromLeft (8);
    playButton.setBounds (header.removeFromLeft (80));
    header.removeFromLeft (8);
    stopButton.setBounds (header.removeFromLeft (80));
    header.removeFromLeft (8);
    loopButton.setBounds (header.removeFromLeft (80).withHeight (juce::jmin (40, header.getHeight())));
    header.removeFromLeft (10);
    volumeKnob.setBounds (header.removeFromLeft (55).withHeight (juce::jmin (55, header.getHeight())));
    header.removeFromLeft (8);
    captureButton.setBounds (header.removeFromLeft (100));
    header.removeFromLeft (5);
    orderButton.setBounds (header.removeFromLeft (55));
    keysButton.setBounds (header.removeFromLeft (50));
    header.removeFromLeft (10);
    midiButton.setBounds (header.removeFromLeft (55));
    midiActivityLabel.setBounds (header.removeFromLeft (12).reduced (2, 8));
    syncButton.setBounds (header.removeFromLeft (50));
    header.removeFromLeft (5);
    revButton.setBounds (header.removeFromLeft (45));
    header.removeFromLeft (5);
    playRevButton.setBounds (header.removeFromLeft (70));
    header.removeFromLeft (8);

    layoutMacroKnobs (header);
}

void MainComponent::layoutMacroKnobs (juce::Rectangle<int> header)
{
    if (singleMacroRowFits (header.getRight(), header.getX()))
    {
        auto row = header.withY (macroTop).withHeight (largeKnob);
        for (auto* knob : { static_cast<juce::Component*> (&toneMaxKnob), static_cast<juce::Component*> (&masterProKnob),
                            static_cast<juce::Component*> (&metaControlKnob), static_cast<juce::Component*> (&spatialMaxKnob),
                            static_cast<juce::Component*> (&textureProKnob), static_cast<juce::Component*> (&mathControlKnob) })
        {
            knob->setBounds (row.removeFromLeft (largeKnob));
            row.removeFromLeft (largeKnobGap);
        }
        return;
    }

    // Two rows of three columns. Only the top knob of a column gives way when the header runs
    // out of width; the knob below it keeps its size.
    auto columns = header;
    const std::pair<juce::Component*, juce::Component*> pairs[] = {
        { &toneMaxKnob, &spatialMaxKnob }, { &masterProKnob, &textureProKnob }, { &metaControlKnob, &mathControlKnob }
    };

    for (const auto& [top, bottom] : pairs)
    {
        const auto x = columns.getX();
        const auto topWidth = juce::jmin (smallKnob, columns.getWidth());
        top->setBounds (x, macroTop, topWidth, smallKnob);
        bottom->setBounds (x, macroSecondRowTop, smallKnob, smallKnob);
        columns.removeFromLeft (smallKnob);
        columns.removeFromLeft (smallKnobGap);
    }
}

void MainComponent::layoutSecondRow (juce::Rectangle<int>& area)
{
    auto row = area.removeFromTop (rowHeight);
    const auto knobTop = row.getY() - 8;

    bpmDetectButton.setBounds (row.removeFromLeft (120));
    row.removeFromLeft (10);
    bpmEditor.setBounds (row.removeFromLeft (80).reduced (0, 4));
    row.removeFromLeft (5);
    bpmLabel.setBounds (row.removeFromLeft (40).reduced (2, 4));
    row.removeFromLeft (20);
    presetButton.setBounds (row.removeFromLeft (150));
    row.removeFromLeft (5);
    revertButton.setBounds (row.removeFromLeft (65));
    row.removeFromLeft (5);
    pitchKnob.setBounds (row.removeFromLeft (55).withY (knobTop).withHeight (55));
    row.removeFromLeft (5);
    panKnob.setBounds (row.removeFromLeft (55).withY (knobTop).withHeight (55));
    row.removeFromLeft (5);
    meterButton.setBounds (row.removeFromLeft (55));
    row.removeFromLeft (5);
    freezeButton.setBounds (row.removeFromLeft (55));
    row.removeFromLeft (5);
    learnButton.setBounds (row.removeFromLeft (50));
    row.removeFromLeft (3);
    recButton.setBounds (row.removeFromLeft (35));
    row.removeFromLeft (3);
    autoButton.setBounds (row.removeFromLeft (45));

    // TAP sits in the free slot after AUTO, left of the macro-knob column.
    row.removeFromLeft (3);
    tapButton.setBounds (row.removeFromLeft (25));
}

void MainComponent::layoutPanelButtons()
{
    auto inner = buttonRowArea.reduced (6, 4);
    const auto buttonWidth = (inner.getWidth() - 48) / 9;

    auto buttons = getPanelButtons();
    for (size_t i = 0; i + 1 < buttons.size(); ++i)
    {
        buttons[i]->setBounds (inner.removeFromLeft (buttonWidth));
        inner.removeFromLeft (6);
    }

    buttons.back()->setBounds (inner);
}

void MainComponent::layoutPanels (juce::Rectangle<int> area)
{
    const std::pair<juce::Component*, int> huds[] = {
        { &distortionHud, distortionPanelState }, { &stereoUtilityHud, stereoUtilityPanelState },
        { &delayVerbHud, delayVerbPanelState }, { &atomizerHud, atomizerPanelState },
        { &imagerHud, imagerPanelState }, { &timeProHud, timeProPanelState },
        { &dictionaryHud, dictionaryPanelState }
    };

    int hudY = 2;
    for (const auto& [hud, state] : huds)
    {
        if (state < 0)
            continue;

        hud->setBounds (getWidth() - hudRightInset, hudY, hudWidth, hudHeight);
        hudY += hudStep;
    }

    effectsViewport.setBounds (area);

    struct PanelSlot
    {
        juce::Component* panel;
        int state;
        int height;
    };

    const PanelSlot panels[] = {
        { &distortionSuite, distortionPanelState, 161 }, { &stereoUtilityMax, stereoUtilityPanelState, 161 },
        { &delayVerb, delayVerbPanelState, 161 }, { &atomizer, atomizerPanelState, 161 },
        { &imager, imagerPanelState, 231 }, { &timePro, timeProPanelState, 161 },
        { &dictionaryReader, dictionaryPanelState, 161 }, { &smartEq, smartEqPanelState, 491 },
        { &finalizerPanel, finalizerPanelState, 491 }
    };

    const auto panelWidth = juce::jmax (0, area.getWidth() - 16);
    int contentHeight = 0;
    for (const auto& slot : panels)
    {
        if (slot.state < 0)
            continue;

        slot.panel->setBounds (2, contentHeight + 2, panelWidth, slot.height);
        contentHeight += slot.height + 4;
    }

    effectsContent.setSize (area.getWidth(), juce::jmax (contentHeight, effectsViewport.getHeight()));
}

//==============================================================================
void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);

    if (buttonRowArea.getWidth() <= 0 || buttonRowArea.getHeight() <= 0)
        return;

    const auto r = buttonRowArea.toFloat();

    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x59));
    g.fillRoundedRectangle (r.translated (2.0f, 3.0f), 4.0f);
    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x33));
    g.fillRoundedRectangle (r.translated (1.0f, 2.0f), 4.0f);

    juce::ColourGradient body (juce::Colour (0xfff8f8fa), 0.0f, r.getY(), juce::Colour (0xff909098), 0.0f, r.getBottom(), false);
    body.addColour (0.1, juce::Colour (0xfff0f0f5));
    body.addColour (0.3, juce::Colour (0xffd8d8e0));
    body.addColour (0.5, juce::Colour (0xffc0c0c8));
    body.addColour (0.7, juce::Colour (0xffb0b0b8));
    body.addColour (0.9, juce::Colour (0xff989898));
    g.setGradientFill (body);
    g.fillRoundedRectangle (r, 4.0f);

    juce::ColourGradient gloss (juce::Colours::white.withAlpha ((juce::uint8) 0xb2), 0.0f, r.getY(),
                                juce::Colours::white.withAlpha ((juce::uint8) 0x00), 0.0f, r.getY() + 12.0f, false);
    g.setGradientFill (gloss);
    g.fillRoundedRectangle (r.getX() + 2.0f, r.getY() + 1.0f, r.getWidth() - 4.0f, 10.0f, 3.0f);

    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x26));
    g.fillRect (r.getX() + 4.0f, r.getY() + 0.35f * r.getHeight(), r.getWidth() - 8.0f, 2.0f);

    g.setColour (juce::Colour (0x44000000));
    g.drawLine (r.getX() + 4.0f, r.getBottom() - 2.0f, r.getRight() - 4.0f, r.getBottom() - 2.0f, 1.0f);

    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) 0x99));
    g.drawLine (r.getX() + 4.0f, r.getY() + 1.0f, r.getRight() - 4.0f, r.getY() + 1.0f, 1.0f);

    g.setColour (juce::Colour (0xff606068));
    g.drawRoundedRectangle (r, 4.0f, 1.0f);

    g.setColour (juce::Colour (0x22ffffff));
    g.drawRoundedRectangle (r.getX() + 1.0f, r.getY() + 1.0f, juce::jmax (0.0f, r.getWidth() - 2.0f),
                            juce::jmax (0.0f, r.getHeight() - 2.0f), 3.0f, 0.5f);

    g.setColour (juce::Colour (0xff505058));
    g.setFont (juce::Font ("Segoe UI Symbol", 12.0f, juce::Font::plain));
    g.drawText (juce::String::fromUTF8 ("*\xe0\xa9\x88\xe2\x9c\xa9\xe2\x80\xa7\xe2\x82\x8a\xcb\x9a\xe0\xbd\xba"
                                        "\xe2\x98\x86\xe0\xbd\xbb*\xe0\xa9\x88\xe2\x9c\xa9\xe2\x80\xa7\xe2\x82\x8a\xcb\x9a"),
                juce::Rectangle<float> (r.getX() + 8.0f, r.getY(), juce::jmax (0.0f, r.getWidth() - 16.0f), r.getHeight()),
                juce::Justification::centredRight, true);
}
