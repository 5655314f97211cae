#include "knobs/DragValueKnob.h"

void DragValueKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (drag.dragging)
        changeByUser (valueToMove() + drag.take (e, feel.perPixel));
}

void DragValueKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void DragValueKnob::mouseDoubleClick (const juce::MouseEvent&)
{
    changeByUser (feel.restValue);
}

void DragValueKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    changeByUser (valueToMove() + wheel.deltaY * feel.perWheelStep);
}
