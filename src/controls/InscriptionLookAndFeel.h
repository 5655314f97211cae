#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The main window's button and menu theme: glassy sky-blue buttons with engraved upper-case
    serif lettering, a yellow frame on the capture and keyboard buttons, glowing text on
    switched-on orange-to-yellow buttons, starred toggles and sky-blue popup menus. */
class InscriptionLookAndFeel : public juce::LookAndFeel_V4
{
public:
    InscriptionLookAndFeel();

    void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    juce::Font getTextButtonFont (juce::TextButton& button, int buttonHeight) override;
    void drawButtonText (juce::Graphics& g, juce::TextButton& button,
                         bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    void drawToggleButton (juce::Graphics& g, juce::ToggleButton& button,
                           bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    void drawPopupMenuBackground (juce::Graphics& g, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area,
                            bool isSeparator, bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                            const juce::String& text, const juce::String& shortcutKeyText,
                            const juce::Drawable* icon, const juce::Colour* textColour) override;
    juce::Font getPopupMenuFont() override;

    /** Whether a button gets the yellow marker frame: capture and "...." always, KEYS while on. */
    static bool isMarked (const juce::Button& button);

private:
    juce::Font buttonFont;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InscriptionLookAndFeel)
};

/** Dark rounded scroll bars with a light gradient thumb, for the effects viewport. */
class InscriptionScrollbarLookAndFeel : public juce::LookAndFeel_V4
{
public:
    InscriptionScrollbarLookAndFeel();

    void drawScrollbar (juce::Graphics& g, juce::ScrollBar& scrollbar, int x, int y, int width, int height,
                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                        bool isMouseOver, bool isMouseDown) override;
    int getMinimumScrollbarThumbSize (juce::ScrollBar& scrollbar) override;
    int getDefaultScrollbarWidth() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InscriptionScrollbarLookAndFeel)
};
