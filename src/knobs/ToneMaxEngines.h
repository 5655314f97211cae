#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** What the ToneMax knob does to the two generative engines: the menu items that switch them
    and the rules that turn the ToneMax value and the three engine knobs into their settings.
    The rest of the ToneMax menu (coupling state, overdrive, presets, reset) is added to the
    same menu by its owner. */
namespace tonemaxengines
{
    enum ItemIds
    {
        korruptItemId = 10,
        mashItemId = 11
    };

    juce::String korruptItemText (bool korruptActive);
    juce::String mashItemText (bool mashEnabled);

    /** Appends the "COUPLED ENGINES" section with the two switches. */
    void addEngineItems (juce::PopupMenu& menu, bool korruptActive, bool mashEnabled);

    /** The Korrupt engine's level 0..10 for the ToneMax value (0..100) and the displayed values
        (0..100) of the Mash, Korrupt and Pandora knobs. */
    int korruptLevel (float toneMax, float mash, float korrupt, float pandora) noexcept;

    /** The Mash engine's amount 0..1 for the same four values. */
    float mashAmount (float toneMax, float mash, float korrupt, float pandora) noexcept;
}
