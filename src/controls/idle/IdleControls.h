#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Small controls and panels kept ready for effect pages that do not exist yet: nothing in the
// application creates them. Message thread only.

/** An on/off switch: a rounded track in the accent colour when on and grey when off, a
    little lighter while the mouse is over it, with a white knob at the end it points to. */
class ToggleSwitch : public juce::Button
{
public:
    static constexpr juce::uint32 onColour  = 0xff00a8ff;
    static constexpr juce::uint32 offColour = 0xff404040;
    static constexpr float knobProportion = 0.8f;

    ToggleSwitch();

    /** The track colour for a state, as drawn. */
    static juce::Colour trackColourFor (bool on, bool mouseOver) noexcept;

    void paintButton (juce::Graphics& g, bool mouseOver, bool isDown) override;
};

/** A pill-shaped toggle button in its own colour: solid when on, faint when off, with a white
    caption and a rim that turns white while the mouse is over it. */
class PillButton : public juce::Button
{
public:
    static constexpr juce::uint32 restingRimColour = 0xffb0b0b0;
    static constexpr float offOpacity = 0.3f;

    PillButton (const juce::String& caption, juce::Colour colour);

    juce::Colour getColour() const noexcept  { return colour; }

    void paintButton (juce::Graphics& g, bool mouseOver, bool isDown) override;

private:
    juce::Colour colour;
};

/** A titled section of an effect page that stacks its child controls in rows of 80 pixels,
    90 apart, under a 30-pixel title band. */
class SectionPanel : public juce::Component
{
public:
    static constexpr juce::uint32 fillColour = 0xff2a2a2a;
    static constexpr int titleHeight = 30;

    /** The sections the pages were planned with. */
    static constexpr const char* bitCrushTitle     = "Bit Crush";
    static constexpr const char* delayReverbTitle  = "Delay/Reverb";
    static constexpr const char* distortionTitle   = "Distortion";

    explicit SectionPanel (const juce::String& title);

    const juce::String& getTitle() const noexcept  { return title; }

    /** Where the child at `index` goes in a panel `width` wide. */
    static juce::Rectangle<int> rowBounds (int index, int width) noexcept;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void childrenChanged() override  { resized(); }

private:
    juce::String title;
};
