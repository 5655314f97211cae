#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** The recording panel's title bar: paints "SIGNAL CAPTURE" and drags its owner around inside
    the main window, without constraint. */
class RecordingTitleBar : public juce::Component
{
public:
    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    juce::MouseCursor getMouseCursor() override { return juce::MouseCursor::DraggingHandCursor; }

    juce::Component* owner = nullptr;

private:
    juce::ComponentDragger dragger;
};

/** The recording panel's X: closes its owner on a click that did not move. */
class RecordingCloseButton : public juce::Component
{
public:
    void paint (juce::Graphics& g) override;
    void mouseEnter (const juce::MouseEvent&) override { repaint(); }
    void mouseExit (const juce::MouseEvent&) override { repaint(); }
    void mouseUp (const juce::MouseEvent& e) override;
    juce::MouseCursor getMouseCursor() override { return juce::MouseCursor::PointingHandCursor; }

    std::function<void()> onClick;
};
