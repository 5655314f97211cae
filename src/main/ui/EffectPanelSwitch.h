#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class ColourHeadsUpDisplay;
class DistortionSuite;

/** Showing and hiding the effect panels and their heads-up displays. A panel's state is an
    int: -1 while hidden, 0 or more while shown (the Distortion Suite's mode). The caller lays
    the window out again afterwards. Message thread only. */
namespace EffectPanelSwitch
{
    inline constexpr int hidden = -1;

    /** A panel button: shows a hidden panel with its display (even one the user closed), or
        hides a shown one together with its display, whose texts are emptied. hud may be null. */
    void toggle (int& state, juce::Component& panel, ColourHeadsUpDisplay* hud);

    /** FINALIZER: shows the panel without its display; hiding hides both. */
    void toggleFinalizer (int& state, juce::Component& panel, juce::Component& hud);

    /** The finalizer panel's HUD button: hides a visible display, or shows it 20 pixels inside
        the top-right corner of the panel as it currently appears in the display's parent, so
        the place stays right however far the panels have been scrolled. */
    void toggleFinalizerHud (juce::Component& hud, juce::Component& panel);

    juce::PopupMenu buildDistortionMenu (int state);

    /** Returns true when something changed and the window needs laying out again. */
    bool applyDistortionMenuResult (int itemId, int& state, DistortionSuite& suite, ColourHeadsUpDisplay& hud);
}
