#include "effects/delayverb/DelayVerbLayout.h"

DelayVerbLayout DelayVerbLayout::compute (int width, int height)
{
    DelayVerbLayout l;
    auto area = juce::Rectangle<int> (width, height);

    l.hoverLabel = area.removeFromTop (18).reduced (4, 1);

    auto body = area.reduced (4, 2);
    const int bodyHeight = body.getHeight();
    body.removeFromLeft (50);   // the painted title

    auto right = body.removeFromRight (420);
    l.spectrum = right.removeFromRight (125).reduced (2, 5);
    l.pad = right.removeFromRight (88).withSizeKeepingCentre (80, 80);

    const auto mixColumn = [&right, bodyHeight] (juce::Rectangle<int>& upper, juce::Rectangle<int>& lower)
    {
        auto column = right.removeFromLeft (44);
        upper = column.removeFromTop (bodyHeight / 2).withSizeKeepingCentre (38, 38);
        lower = column.withSizeKeepingCentre (38, 38);
    };
    mixColumn (l.delayLeft, l.delayRight);
    mixColumn (l.reverbLeft, l.reverbRight);

    auto buttons = right.reduced (4, 0);
    l.sync = buttons.removeFromTop (bodyHeight / 3).reduced (0, 6);
    l.hud = buttons.removeFromTop (buttons.getHeight() / 2).reduced (0, 6);
    l.bypass = buttons.reduced (0, 6);

    for (size_t r = 0; r < l.rows.size(); ++r)
    {
        auto row = r < 2 ? body.removeFromTop (bodyHeight / 3) : body;
        for (auto& cell : l.rows[r])
            cell = row.removeFromLeft (42).reduced (1);
    }

    return l;
}
