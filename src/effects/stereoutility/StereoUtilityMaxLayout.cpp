#include "effects/stereoutility/StereoUtilityMaxLayout.h"

StereoUtilityMaxLayout StereoUtilityMaxLayout::compute (int width, int height)
{
    StereoUtilityMaxLayout l;
    auto area = juce::Rectangle<int> (width, height);

    l.hoverLabel = area.removeFromTop (juce::jmin (height, 18)).reduced (4, 1);

    area = area.reduced (4, 2);
    area.removeFromLeft (50);   // the painted title

    auto right = area.removeFromRight (340);
    const int sectionHeight = right.getHeight();
    l.spectrum = right.removeFromRight (125).reduced (2, 5);

    auto mixColumn = right.removeFromLeft (48);
    l.leftMix = mixColumn.removeFromTop (mixColumn.getHeight() / 2).withSizeKeepingCentre (40, 40);
    l.rightMix = mixColumn.withSizeKeepingCentre (40, 40);
    l.trim = right.removeFromLeft (60).withSizeKeepingCentre (55, 55);

    auto buttons = right.reduced (4, 0);
    l.sync = buttons.removeFromTop (sectionHeight / 3).reduced (0, 6);
    l.hud = buttons.removeFromTop (sectionHeight / 3).reduced (0, 6);
    l.bypass = buttons.reduced (0, 6);

    const int third = area.getHeight() / 3;
    for (size_t r = 0; r < l.rows.size(); ++r)
    {
        auto row = r < 2 ? area.removeFromTop (third) : area;
        for (auto& cell : l.rows[r])
            cell = row.removeFromLeft (42).reduced (1);
    }

    return l;
}
