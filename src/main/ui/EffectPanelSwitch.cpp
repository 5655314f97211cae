#include "main/ui/EffectPanelSwitch.h"

#include "controls/HeadsUpDisplay.h"
#include "effects/distortion/DistortionSuite.h"

namespace EffectPanelSwitch
{
    void toggle (int& state, juce::Component& panel, ColourHeadsUpDisplay* hud)
    {
        if (state < 0)
        {
            state = 0;
            panel.setVisible (true);

            if (hud != nullptr)
            {
                hud->closedByUser = false;
                hud->setVisible (true);
            }
        }
        else
        {
            state = hidden;
            panel.setVisible (false);

            if (hud != nullptr)
            {
                hud->setVisible (false);
                hud->setInfo ({}, {}, {}, {});
            }
        }
    }

    void toggleFinalizer (int& state, juce::Component& panel, juce::Component& hud)
    {
        if (state < 0)
        {
            state = 0;
            panel.setVisible (true);
        }
        else
        {
            state = hidden;
            panel.setVisible (false);
            hud.setVisible (false);
        }
    }

    void toggleFinalizerHud (juce::Component& hud, juce::Component& panel)
    {
        if (hud.isVisible())
        {
            hud.setVisible (false);
            return;
        }

        // The panel lives inside the scrolling content, the display in the window: the panel's
        // bounds must be converted, or the display lands off by the scroll distance.
        auto* owner = hud.getParentComponent();
        const auto r = owner != nullptr ? owner->getLocalArea (&panel, panel.getLocalBounds())
                                        : panel.getBoundsInParent();

        hud.setTopLeftPosition (r.getRight() - hud.getWidth() - 20, r.getY() + 20);
        hud.setVisible (true);
    }

    juce::PopupMenu buildDistortionMenu (int state)
    {
        juce::PopupMenu menu;
        menu.addItem (1, "Distorter", true, state == 0);
        menu.addItem (2, "Bitcrush", true, state == 1);
        menu.addItem (3, "Kompressor", true, state == 2);
        menu.addSeparator();
        menu.addItem (4, "Close", state >= 0, false);
        return menu;
    }

    bool applyDistortionMenuResult (int itemId, int& state, DistortionSuite& suite, ColourHeadsUpDisplay& hud)
    {
        if (itemId == 4)
        {
            state = hidden;
            suite.setVisible (false);
            hud.setVisible (false);
            return true;
        }

        if (itemId >= 1 && itemId <= 3)
        {
            state = itemId - 1;
            suite.setMode (state);
            suite.setVisible (true);
            hud.closedByUser = false;
            hud.setVisible (true);
            return true;
        }

        return false;
    }
}
