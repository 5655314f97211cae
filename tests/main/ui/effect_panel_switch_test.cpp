#include <gtest/gtest.h>

#include "main/ui/EffectPanelSwitch.h"

#include "controls/HeadsUpDisplay.h"
#include "effects/distortion/DistortionSuite.h"

TEST (EffectPanelSwitch, PanelButtonShowsAndHidesPanelWithItsDisplay)
{
    juce::Component panel;
    GoldHeadsUpDisplay hud;
    int state = EffectPanelSwitch::hidden;

    hud.closedByUser = true;            // closed with its own button earlier
    EffectPanelSwitch::toggle (state, panel, &hud);
    EXPECT_EQ (state, 0);
    EXPECT_TRUE (panel.isVisible());
    EXPECT_TRUE (hud.isVisible());
    EXPECT_FALSE (hud.closedByUser);

    hud.setInfo ("TITLE", "KNOB", "12.0", "what it does");
    EffectPanelSwitch::toggle (state, panel, &hud);
    EXPECT_EQ (state, EffectPanelSwitch::hidden);
    EXPECT_FALSE (panel.isVisible());
    EXPECT_FALSE (hud.isVisible());
    EXPECT_TRUE (hud.title.isEmpty() && hud.knobName.isEmpty() && hud.valueText.isEmpty() && hud.description.isEmpty());

    // The Smart EQ has no display of its own.
    juce::Component eq;
    int eqState = EffectPanelSwitch::hidden;
    EffectPanelSwitch::toggle (eqState, eq, nullptr);
    EXPECT_TRUE (eq.isVisible());
}

TEST (EffectPanelSwitch, FinalizerShowsItsDisplayOnlyThroughThePanel)
{
    juce::Component panel, hud;
    int state = EffectPanelSwitch::hidden;

    EffectPanelSwitch::toggleFinalizer (state, panel, hud);
    EXPECT_TRUE (panel.isVisible());
    EXPECT_FALSE (hud.isVisible());

    hud.setVisible (true);
    EffectPanelSwitch::toggleFinalizer (state, panel, hud);
    EXPECT_EQ (state, EffectPanelSwitch::hidden);
    EXPECT_FALSE (panel.isVisible());
    EXPECT_FALSE (hud.isVisible());
}

TEST (EffectPanelSwitch, FinalizerDisplayFollowsThePanelWhenScrolled)
{
    // A window with a scrolling panel area, as the main window lays it out.
    juce::Component window, content, panel, hud;
    juce::Viewport viewport;
    window.setSize (1200, 800);
    window.addAndMakeVisible (viewport);
    viewport.setBounds (15, 341, 1170, 444);
    viewport.setViewedComponent (&content, false);
    content.setSize (1170, 1200);
    content.addAndMakeVisible (panel);
    panel.setBounds (2, 500, 1154, 491);
    window.addChildComponent (hud);
    hud.setSize (260, 280);

    for (int scroll : { 0, 200 })
    {
        SCOPED_TRACE (scroll);
        viewport.setViewPosition (0, scroll);

        EffectPanelSwitch::toggleFinalizerHud (hud, panel);
        ASSERT_TRUE (hud.isVisible());

        const auto panelInWindow = window.getLocalArea (&panel, panel.getLocalBounds());
        EXPECT_EQ (panelInWindow.getY(), 341 + 500 - scroll);
        EXPECT_EQ (hud.getRight(), panelInWindow.getRight() - 20);
        EXPECT_EQ (hud.getY(), panelInWindow.getY() + 20);
        EXPECT_EQ (hud.getWidth(), 260);

        // A second call hides it; a dragged position is not remembered.
        hud.setTopLeftPosition (5, 5);
        EffectPanelSwitch::toggleFinalizerHud (hud, panel);
        EXPECT_FALSE (hud.isVisible());
    }
}

TEST (EffectPanelSwitch, DistortionSuiteModeMenu)
{
    PurpleHeadsUpDisplay hud;
    DistortionSuite suite (&hud);
    int state = EffectPanelSwitch::hidden;

    auto itemFor = [] (const juce::PopupMenu& menu, int id)
    {
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            if (it.getItem().itemID == id)
                return it.getItem();
        return juce::PopupMenu::Item();
    };

    auto menu = EffectPanelSwitch::buildDistortionMenu (state);
    EXPECT_FALSE (itemFor (menu, 4).isEnabled);
    EXPECT_EQ (itemFor (menu, 4).text, "Close");
    for (int id = 1; id <= 3; ++id)
        EXPECT_FALSE (itemFor (menu, id).isTicked);

    // Bitcrush on a hidden suite shows it in mode 1 and ticks Bitcrush next time.
    EXPECT_TRUE (EffectPanelSwitch::applyDistortionMenuResult (2, state, suite, hud));
    EXPECT_EQ (state, 1);
    EXPECT_EQ (suite.getMode(), 1);
    EXPECT_TRUE (suite.isVisible() && hud.isVisible());

    menu = EffectPanelSwitch::buildDistortionMenu (state);
    EXPECT_TRUE (itemFor (menu, 2).isTicked);
    EXPECT_EQ (itemFor (menu, 2).text, "Bitcrush");
    EXPECT_TRUE (itemFor (menu, 4).isEnabled);

    // Dismissing changes nothing; Close hides both but leaves the display's texts.
    hud.setInfo ("BITCRUSH", "BITS", "8", "");
    EXPECT_FALSE (EffectPanelSwitch::applyDistortionMenuResult (0, state, suite, hud));
    EXPECT_EQ (state, 1);
    EXPECT_TRUE (EffectPanelSwitch::applyDistortionMenuResult (4, state, suite, hud));
    EXPECT_EQ (state, EffectPanelSwitch::hidden);
    EXPECT_FALSE (suite.isVisible() || hud.isVisible());
    EXPECT_EQ (hud.title, "BITCRUSH");

    EXPECT_TRUE (EffectPanelSwitch::applyDistortionMenuResult (3, state, suite, hud));
    EXPECT_EQ (suite.getMode(), 2);
}
