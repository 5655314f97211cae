#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** The finalizer's floating loudness display: a draggable panel whose readouts and hover
    texts the finalizer's timer writes. It measures nothing itself. */
class TavroFinalizerHUD : public juce::Component
{
public:
    TavroFinalizerHUD();
    ~TavroFinalizerHUD() override;

    void setHoverText (const juce::String& name, const juce::String& range, const juce::String& description);

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;

    /** Colour of the true-peak row for a given reading. */
    static juce::Colour truePeakColour (float truePeakDb) noexcept;

    std::function<void()> onClose;

    juce::String hoverName;
    juce::String hoverRange;
    juce::String hoverDescription;
    bool hoverActive = false;

    juce::ComponentDragger dragger;
    juce::TextButton closeButton;

    float integratedLufs = -14.0f;
    float shortTermLufs = -12.0f;
    float momentaryLufs = -10.0f;
    float truePeakDb = -1.0f;
    float loudnessRange = 8.0f;

private:
    bool dragging = false;

    void drawReadoutRow (juce::Graphics& g, int x, int& y, const juce::String& label, float value,
                         const juce::String& unit, juce::Colour colour) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TavroFinalizerHUD)
};
