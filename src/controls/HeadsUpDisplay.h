#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <map>

/** One knob's entry in a panel's heads-up display table. */
struct KnobInfo
{
    juce::String name;          // shown as the display's knob name
    juce::String unit;          // appended to the formatted value
    juce::String description;   // help text under the value
};

/** A panel's table from each of its knobs to what its display shows for it. Indexing a knob
    that has no entry inserts one with three empty texts. */
using KnobInfoMap = std::map<juce::Slider*, KnobInfo>;

/** A small draggable card that shows the knob under the mouse: title, knob name, value and
    description, with a "-" button that closes it. The seven colour displays differ only in
    their palette (and the cyan one in its text layout), so they share this implementation.

    Owners push texts from their timers, on the message thread only. */
class ColourHeadsUpDisplay : public juce::Component
{
public:
    struct Palette
    {
        juce::Colour closeButton, closeText;
        juce::Colour bodyTop, bodyBottom;
        juce::Colour borderTop, borderBottom;
        juce::Colour topLine, bottomLine;
        juce::Colour title, knobName, value, description;
    };

    enum class Layout
    {
        fourLines,     // title, knob name, value, description: each on its own centred line
        statusLine     // title, then "name: value" left-aligned, then up to three lines of detail
    };

    ~ColourHeadsUpDisplay() override;

    /** Replaces all four texts and repaints, whether visible or not and even when unchanged. */
    void setInfo (const juce::String& newTitle, const juce::String& newKnobName,
                  const juce::String& newValueText, const juce::String& newDescription);

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    juce::MouseCursor getMouseCursor() override;

    const Palette& getPalette() const noexcept { return palette; }

    // Owners may assign these directly and then repaint. While the title is empty the card
    // draws no text at all.
    juce::String title, knobName, valueText, description;

    /** Set when the user closes the card with "-"; the owner's HUD button clears it again. */
    bool closedByUser = false;

    /** Called after "-" has hidden the card. */
    std::function<void()> onClose;

protected:
    ColourHeadsUpDisplay (const Palette& palette, Layout layout);

    juce::ComponentDragger dragger;
    juce::TextButton closeButton;

private:
    void closeFromButton();
    bool isOnCloseButton (const juce::MouseEvent& e);
    void paintFourLineTexts (juce::Graphics& g, int w, int h);
    void paintStatusTexts (juce::Graphics& g, int w, int h);

    const Palette palette;
    const Layout layout;
    bool dragStarted = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ColourHeadsUpDisplay)
};

/** Silver-grey display (Stereo Utility Max). */
class HeadsUpDisplay : public ColourHeadsUpDisplay
{
public:
    HeadsUpDisplay();
};

/** Distortion Suite. */
class PurpleHeadsUpDisplay : public ColourHeadsUpDisplay
{
public:
    PurpleHeadsUpDisplay();
};

/** DelayVerb. */
class GreenHeadsUpDisplay : public ColourHeadsUpDisplay
{
public:
    GreenHeadsUpDisplay();
};

/** Atomizer. */
class OrangeHeadsUpDisplay : public ColourHeadsUpDisplay
{
public:
    OrangeHeadsUpDisplay();
};

/** TimePro. */
class MagentaHeadsUpDisplay : public ColourHeadsUpDisplay
{
public:
    MagentaHeadsUpDisplay();
};

/** Dictionary reader. */
class GoldHeadsUpDisplay : public ColourHeadsUpDisplay
{
public:
    GoldHeadsUpDisplay();
};

/** The image-driven effect's display: a status line under the title and a detail text below. */
class CyanHeadsUpDisplay : public ColourHeadsUpDisplay
{
public:
    CyanHeadsUpDisplay();

    /** Replaces the status line (knobName) and repaints. */
    void setText (const juce::String& newStatus);

    /** Replace the title or the detail text (description) and repaint. */
    void setTitle (const juce::String& newTitle);
    void setDetailText (const juce::String& newDetail);
};
