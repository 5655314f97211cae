#pragma once

#include "main/chain/RoutingState.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** The three routing popups: their contents from a routing state, and what a chosen item
    does to it. Showing them and publishing the changed state is the owner's job. */
namespace RoutingMenus
{
    enum class Outcome
    {
        nothing,
        changed,
        openSerialOrderEditor,
        openGroupEditor
    };

    juce::PopupMenu buildRoutingMenu (const RoutingState& state);
    Outcome applyRoutingMenuResult (RoutingState& state, int itemId, juce::Random& random);

    juce::PopupMenu buildSerialOrderEditor (const RoutingState& state, const std::function<bool (int)>& isEffectActive);

    /** Returns true when the editor should be shown again. */
    bool applySerialOrderResult (RoutingState& state, int itemId);

    juce::PopupMenu buildGroupEditor (const RoutingState& state);

    /** Returns true when the editor should be shown again. */
    bool applyGroupEditorResult (RoutingState& state, int itemId);

    /** "Group 2: Atomizer + Smart EQ"; an empty group's title ends after the colon. */
    juce::String groupTitle (const RoutingState& state, int group);
}
