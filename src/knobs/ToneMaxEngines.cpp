#include "knobs/ToneMaxEngines.h"

#include <algorithm>
#include <cmath>

namespace tonemaxengines
{
    juce::String korruptItemText (bool korruptActive)
    {
        return korruptActive ? "[X] KORRUPT: Active" : "[ ] KORRUPT: Inactive";
    }

    juce::String mashItemText (bool mashEnabled)
    {
        return mashEnabled ? "[X] MASH: Active" : "[ ] MASH: Inactive";
    }

    void addEngineItems (juce::PopupMenu& menu, bool korruptActive, bool mashEnabled)
    {
        menu.addSeparator();
        menu.addSectionHeader ("COUPLED ENGINES");
        menu.addItem (korruptItemId, korruptItemText (korruptActive));
        menu.addItem (mashItemId, mashItemText (mashEnabled));
    }

    namespace
    {
        // The ToneMax value weighs the other engines' knobs in on a square law, so the low half
        // of its travel barely couples them.
        float couplingWeight (float toneMax) noexcept
        {
            const float t = toneMax / 100.0f;
            return t * t;
        }

        float clamp01 (float x) noexcept
        {
            // NaN from a knob must not reach the level cast.
            return std::isfinite (x) ? std::clamp (x, 0.0f, 1.0f) : 0.0f;
        }
    }

    int korruptLevel (float toneMax, float mash, float korrupt, float pandora) noexcept
    {
        const float f = couplingWeight (toneMax);
        const float x = clamp01 (0.3f * f * mash / 100.0f + korrupt / 100.0f + 0.2f * f * pandora / 100.0f);
        return (int) std::round (10.0f * x);
    }

    float mashAmount (float toneMax, float mash, float korrupt, float pandora) noexcept
    {
        const float f = couplingWeight (toneMax);
        return clamp01 (mash / 100.0f + 0.3f * f * korrupt / 100.0f + 0.15f * f * pandora / 100.0f);
    }
}
