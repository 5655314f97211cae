#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>

/** The DelayVerb's small square pad: across, the pan of the echoes (-1 at the left edge to +1
    at the right); up, the cross-feed of the two delay lines (0 at the bottom to 1 at the top).

    The pad keeps no position of its own. It draws the values it is pointed at (the effect's
    pan and ping-pong), so a position written from elsewhere shows at the next repaint, and it
    reports the user's moves through `onChange`. Message thread only. */
class DelayPanXYPad : public juce::Component
{
public:
    DelayPanXYPad();

    /** Called with the new pan and ping-pong whenever the user moves or resets the puck. */
    std::function<void (float x, float y)> onChange;

    /** The values the puck shows; either may be null (then it shows 0). */
    void showPosition (const std::atomic<float>* x, const std::atomic<float>* y) noexcept;

    /** Pan and ping-pong for a mouse position on a pad of the given size, held to the edges. */
    static juce::Point<float> positionForMouse (juce::Point<float> mouse, int width, int height) noexcept;

    /** Where the puck's centre is drawn for a position on a pad of the given size. */
    static juce::Point<float> puckCentre (float x, float y, int width, int height) noexcept;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;

private:
    void updateFromMouse (juce::Point<float> position);

    const std::atomic<float>* shownX = nullptr;
    const std::atomic<float>* shownY = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DelayPanXYPad)
};
