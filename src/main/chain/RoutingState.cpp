#include "main/chain/RoutingState.h"

namespace
{
    void shuffle (EffectIdList& list, juce::Random& random) noexcept
    {
        for (int i = list.size() - 1; i >= 1; --i)
            list.swapItems (i, random.nextInt (i + 1));
    }
}

RoutingState::RoutingState() noexcept
{
    resetToDefaultOrder();
}

void RoutingState::resetGroupsToSerial() noexcept
{
    groups.clear();

    for (auto id : serialOrder)
    {
        EffectIdList single;
        single.push_back (id);
        groups.push_back (single);
    }
}

void RoutingState::resetToDefaultOrder() noexcept
{
    serialOrder.clear();

    for (int id = 0; id < numEffects; ++id)
        serialOrder.push_back (id);

    resetGroupsToSerial();
}

void RoutingState::shuffleSerialOrder (juce::Random& random) noexcept
{
    shuffle (serialOrder, random);
}

void RoutingState::makeRandomGroups (juce::Random& random) noexcept
{
    groups.clear();

    auto pool = serialOrder;
    shuffle (pool, random);

    while (! pool.empty())
    {
        const int groupSize = juce::jmin (random.nextInt (3) + 1, pool.size());

        EffectIdList group;
        for (int i = 0; i < groupSize; ++i)
            group.push_back (pool.pop_back());

        groups.push_back (group);
    }
}

//==============================================================================
void RoutingState::moveUp (int position) noexcept
{
    if (position > 0)
        serialOrder.swapItems (position, position - 1);
}

void RoutingState::moveDown (int position) noexcept
{
    if (position >= 0 && position < serialOrder.size() - 1)
        serialOrder.swapItems (position, position + 1);
}

void RoutingState::moveToTop (int position) noexcept
{
    if (position < 0 || position >= serialOrder.size())
        return;

    const auto id = serialOrder[position];
    serialOrder.erase (position);
    serialOrder.insert (0, id);
}

void RoutingState::moveToBottom (int position) noexcept
{
    if (position < 0 || position >= serialOrder.size())
        return;

    const auto id = serialOrder[position];
    serialOrder.erase (position);
    serialOrder.push_back (id);
}

//==============================================================================
bool RoutingState::appendEmptyGroup() noexcept
{
    if (numEmptyGroups() >= maxEmptyGroups)
        return false;

    return groups.push_back (EffectIdList {});
}

void RoutingState::moveEffectToGroup (int effect, int group) noexcept
{
    // Only the nine real effects may enter a group: anything else would later be dispatched.
    if (! isValidEffectId (effect) || group < 0 || group >= groups.size())
        return;

    for (auto& g : groups)
    {
        const auto index = g.indexOf (effect);

        if (index >= 0)
        {
            g.erase (index);
            break;
        }
    }

    groups[group].push_back (effect);
}

void RoutingState::removeFromGroup (int group, int position) noexcept
{
    if (group < 0 || group >= groups.size() || position < 0 || position >= groups[group].size())
        return;

    EffectIdList single;
    single.push_back (groups[group][position]);

    if (groups.push_back (single))
        groups[group].erase (position);
}

void RoutingState::swapGroups (int a, int b) noexcept
{
    groups.swapItems (a, b);
}

void RoutingState::splitGroup (int group) noexcept
{
    if (group < 0 || group >= groups.size() || groups[group].size() < 2)
        return;

    const auto original = groups[group];

    // Each later member is inserted right after the kept first one, at the same place, so
    // {A, B, C, D} ends up as {A}, {D}, {C}, {B}.
    for (int k = 1; k < original.size(); ++k)
    {
        EffectIdList single;
        single.push_back (original[k]);

        if (! groups.insert (group + 1, single))
            return;

        groups[group].erase (groups[group].indexOf (original[k]));
    }
}

void RoutingState::removeEmptyGroups() noexcept
{
    for (int g = groups.size() - 1; g >= 0; --g)
        if (groups[g].empty())
            groups.erase (g);
}

int RoutingState::numEmptyGroups() const noexcept
{
    int empties = 0;

    for (const auto& g : groups)
        if (g.empty())
            ++empties;

    return empties;
}
