#pragma once

#include "main/chain/EffectId.h"
#include "main/chain/FixedList.h"

#include <juce_core/juce_core.h>

#include <type_traits>

enum class RoutingMode : int
{
    Parallel  = 0,
    Serial    = 1,
    CustomPro = 2
};

using EffectIdList = FixedList<int, numEffects>;

/** The order and grouping of the effect chain. It is edited on the message thread and handed
    to the audio thread as a whole copy, so it holds no heap storage.

    Every effect sits in at most one group, so at most nine groups hold effects; empty groups
    only come from "Create New Group", which is refused once eight of them are waiting. That
    bound keeps a split or a removal, which add groups before the empty ones are swept away,
    inside the fixed capacity. */
struct RoutingState
{
    static constexpr int maxEmptyGroups = numEffects - 1;
    static constexpr int maxGroups      = numEffects + maxEmptyGroups + 1;

    using GroupList = FixedList<EffectIdList, maxGroups>;

    RoutingMode mode = RoutingMode::Serial;
    EffectIdList serialOrder;
    GroupList groups;

    RoutingState() noexcept;

    /** One single-effect group per serialOrder entry, in that order. */
    void resetGroupsToSerial() noexcept;

    /** serialOrder back to 0..8 and the groups rebuilt from it; the mode stays. */
    void resetToDefaultOrder() noexcept;

    /** Fisher-Yates over serialOrder, drawing from the given generator. */
    void shuffleSerialOrder (juce::Random& random) noexcept;

    /** Groups of one to three effects taken from a shuffled copy of serialOrder. */
    void makeRandomGroups (juce::Random& random) noexcept;

    //==============================================================================
    // Serial-order edits; an out-of-range position or a move past either end does nothing.
    void moveUp (int position) noexcept;
    void moveDown (int position) noexcept;
    void moveToTop (int position) noexcept;
    void moveToBottom (int position) noexcept;

    //==============================================================================
    // Group edits. None of them removes the empty groups they leave; removeEmptyGroups does.
    bool appendEmptyGroup() noexcept;
    void moveEffectToGroup (int effect, int group) noexcept;
    void removeFromGroup (int group, int position) noexcept;
    void swapGroups (int a, int b) noexcept;
    void splitGroup (int group) noexcept;
    void removeEmptyGroups() noexcept;

    int numEmptyGroups() const noexcept;

    bool operator== (const RoutingState& other) const noexcept
    {
        return mode == other.mode && serialOrder == other.serialOrder && groups == other.groups;
    }

    bool operator!= (const RoutingState& other) const noexcept { return ! operator== (other); }
};

static_assert (std::is_trivially_copyable_v<RoutingState>, "the audio thread copies the routing as plain memory");
