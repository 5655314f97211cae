#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The interface names its fonts by their Windows family names. JUCE 7 on Linux matches
// families exactly and silently falls back to a regular sans for unknown ones (losing serif,
// bold and italic), so every named family is resolved once to an installed one.
namespace platform
{
    /** The installed family that draws for the given family name; unknown names come back unchanged. */
    juce::String resolveFontFamily (const juce::String& family);

    /** The application's default look-and-feel: maps font families as they are requested.
        Install it before the first text is measured (the typeface cache keys on the name). */
    class TavroLookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        juce::Typeface::Ptr getTypefaceForFont (const juce::Font& font) override;
    };

    /** Installs one shared TavroLookAndFeel as the default; safe to call more than once. */
    void installDefaultLookAndFeel();

    /** Removes it again (before the message manager goes away). */
    void removeDefaultLookAndFeel();
}
