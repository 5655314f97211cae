#include <gtest/gtest.h>

#include "main/chain/RoutingMenus.h"

#include <set>

namespace
{
    using Groups = std::vector<std::vector<int>>;

    Groups groupsOf (const RoutingState& s)
    {
        Groups out;
        for (const auto& g : s.groups)
            out.emplace_back (g.begin(), g.end());
        return out;
    }

    std::vector<int> orderOf (const RoutingState& s) { return { s.serialOrder.begin(), s.serialOrder.end() }; }

    RoutingState withGroups (const Groups& groups)
    {
        RoutingState s;
        s.mode = RoutingMode::CustomPro;
        s.groups.clear();
        for (auto& g : groups)
        {
            EffectIdList list;
            for (auto id : g) list.push_back (id);
            s.groups.push_back (list);
        }
        return s;
    }

    struct Item
    {
        std::string path;
        int id;
        bool enabled, ticked, header;
    };

    void flatten (const juce::PopupMenu& menu, const std::string& prefix, std::vector<Item>& out)
    {
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            const auto& item = it.getItem();
            const auto path = prefix + item.text.toStdString();

            if (item.subMenu != nullptr)
            {
                out.push_back ({ path, 0, item.isEnabled, item.isTicked, false });
                flatten (*item.subMenu, path + " > ", out);
            }
            else if (! item.isSeparator)
            {
                out.push_back ({ path, item.itemID, item.isEnabled, item.isTicked, item.isSectionHeader });
            }
        }
    }

    std::vector<Item> flatten (const juce::PopupMenu& menu)
    {
        std::vector<Item> out;
        flatten (menu, "", out);
        return out;
    }

    const Item* find (const std::vector<Item>& items, const std::string& path)
    {
        for (auto& i : items)
            if (i.path == path)
                return &i;
        return nullptr;
    }
}

TEST (RoutingState, StartsSerialInDefaultOrderWithOneGroupPerEffect)
{
    const RoutingState s;
    EXPECT_EQ (s.mode, RoutingMode::Serial);
    EXPECT_EQ (orderOf (s), (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8 }));
    EXPECT_EQ (groupsOf (s), (Groups { { 0 }, { 1 }, { 2 }, { 3 }, { 4 }, { 5 }, { 6 }, { 7 }, { 8 } }));
}

TEST (RoutingState, ShuffleAndRandomGroupsKeepEveryEffectOnce)
{
    for (juce::int64 seed = 1; seed <= 300; ++seed)
    {
        juce::Random random (seed);
        RoutingState s;
        s.shuffleSerialOrder (random);

        auto order = orderOf (s);
        std::sort (order.begin(), order.end());
        ASSERT_EQ (order, (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8 })) << "seed " << seed;

        s.makeRandomGroups (random);
        std::multiset<int> seen;
        for (const auto& g : groupsOf (s))
        {
            ASSERT_GE (g.size(), 1u);
            ASSERT_LE (g.size(), 3u);
            seen.insert (g.begin(), g.end());
        }
        ASSERT_EQ (seen, (std::multiset<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8 })) << "seed " << seed;
    }
}

TEST (RoutingMenus, RoutingMenuResults)
{
    struct Case { int id; RoutingMode startMode; RoutingMode mode; RoutingMenus::Outcome outcome; };

    const Case cases[] = {
        { 1,  RoutingMode::Serial,    RoutingMode::Parallel,  RoutingMenus::Outcome::changed },
        { 2,  RoutingMode::Parallel,  RoutingMode::Serial,    RoutingMenus::Outcome::changed },
        { 3,  RoutingMode::Serial,    RoutingMode::CustomPro, RoutingMenus::Outcome::changed },
        { 10, RoutingMode::Serial,    RoutingMode::Serial,    RoutingMenus::Outcome::openSerialOrderEditor },
        { 11, RoutingMode::CustomPro, RoutingMode::CustomPro, RoutingMenus::Outcome::openGroupEditor },
        { 20, RoutingMode::CustomPro, RoutingMode::CustomPro, RoutingMenus::Outcome::changed },
        { 30, RoutingMode::CustomPro, RoutingMode::Serial,    RoutingMenus::Outcome::changed },
        { 31, RoutingMode::Serial,    RoutingMode::Parallel,  RoutingMenus::Outcome::changed },
        { 32, RoutingMode::Serial,    RoutingMode::CustomPro, RoutingMenus::Outcome::changed },
        { 0,  RoutingMode::Serial,    RoutingMode::Serial,    RoutingMenus::Outcome::nothing },
        { 99, RoutingMode::Parallel,  RoutingMode::Parallel,  RoutingMenus::Outcome::nothing },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        juce::Random random (42);
        RoutingState s;
        s.mode = c.startMode;
        s.moveToBottom (0);                          // a non-default order for "reset" to undo
        s.resetGroupsToSerial();
        const auto before = s;

        EXPECT_EQ (RoutingMenus::applyRoutingMenuResult (s, c.id, random), c.outcome);
        EXPECT_EQ (s.mode, c.mode);

        if (c.id == 20)
        {
            EXPECT_EQ (orderOf (s), (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8 }));
            EXPECT_EQ (groupsOf (s).front(), (std::vector<int> { 0 }));
        }
        else if (c.id == 30)
        {
            // The groups follow the new order one effect each.
            ASSERT_EQ (s.groups.size(), 9);
            for (int i = 0; i < 9; ++i)
                EXPECT_EQ (groupsOf (s)[(size_t) i], std::vector<int> { s.serialOrder[i] });
        }
        else if (c.id != 32)
        {
            EXPECT_TRUE (orderOf (s) == orderOf (before) && groupsOf (s) == groupsOf (before));
        }
    }
}

TEST (RoutingMenus, RoutingMenuTicksAndEnablesFromTheState)
{
    for (auto mode : { RoutingMode::Parallel, RoutingMode::Serial, RoutingMode::CustomPro })
    {
        RoutingState s;
        s.mode = mode;
        const auto items = flatten (RoutingMenus::buildRoutingMenu (s));

        EXPECT_EQ (find (items, "Parallel (All Effects Summed)")->ticked, mode == RoutingMode::Parallel);
        EXPECT_EQ (find (items, "Serial (Chain Order)")->ticked, mode == RoutingMode::Serial);
        EXPECT_EQ (find (items, "CustomPro (Mixed Routing)")->ticked, mode == RoutingMode::CustomPro);
        EXPECT_EQ (find (items, "Edit Serial Order...")->enabled, mode == RoutingMode::Serial);
        EXPECT_EQ (find (items, "Edit CustomPro Groups...")->enabled, mode == RoutingMode::CustomPro);
        EXPECT_TRUE (find (items, "Random Groups")->enabled);
    }

    RoutingState s;
    std::vector<int> ids;
    for (auto& i : flatten (RoutingMenus::buildRoutingMenu (s)))
        if (! i.header)
            ids.push_back (i.id);
    EXPECT_EQ (ids, (std::vector<int> { 1, 2, 3, 10, 11, 20, 30, 31, 32 }));
}

TEST (RoutingMenus, SerialOrderEditor)
{
    RoutingState s;
    const auto items = flatten (RoutingMenus::buildSerialOrderEditor (s, [] (int id) { return id == 8; }));

    EXPECT_NE (find (items, "1. Distortion Suite (inactive) > Move Down"), nullptr);
    EXPECT_EQ (find (items, "1. Distortion Suite (inactive) > Move Up"), nullptr);
    EXPECT_EQ (find (items, "9. Tavro Finalizer > Move Up")->id, 801);
    EXPECT_EQ (find (items, "9. Tavro Finalizer > Move Down"), nullptr);
    EXPECT_EQ (find (items, "5. Multi Effect Imager (inactive) > Move to Bottom")->id, 404);

    struct Case { int id; std::vector<int> order; bool reopen; };
    const Case cases[] = {
        { 1,   { 0, 1, 2, 3, 4, 5, 6, 7, 8 }, true  },   // Move Up on the first entry: no change, editor again
        { 802, { 0, 1, 2, 3, 4, 5, 6, 7, 8 }, true  },   // Move Down on the last entry
        { 301, { 0, 1, 3, 2, 4, 5, 6, 7, 8 }, true  },
        { 302, { 0, 1, 2, 4, 3, 5, 6, 7, 8 }, true  },
        { 503, { 5, 0, 1, 2, 3, 4, 6, 7, 8 }, true  },
        { 204, { 0, 1, 3, 4, 5, 6, 7, 8, 2 }, true  },
        { 305, { 0, 1, 2, 3, 4, 5, 6, 7, 8 }, true  },   // unknown move: nothing, editor again
        { 0,   { 0, 1, 2, 3, 4, 5, 6, 7, 8 }, false },
        { 904, { 0, 1, 2, 3, 4, 5, 6, 7, 8 }, false },   // no position 9
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        RoutingState t;
        EXPECT_EQ (RoutingMenus::applySerialOrderResult (t, c.id), c.reopen);
        EXPECT_EQ (orderOf (t), c.order);
        EXPECT_EQ (groupsOf (t), groupsOf (RoutingState {}));
    }
}

TEST (RoutingMenus, GroupEditorResults)
{
    struct Case { const char* name; Groups start; std::vector<int> ids; Groups expected; bool reopen; };

    const Case cases[] = {
        { "split {2,5,7} in place", { { 0 }, { 2, 5, 7 }, { 1 } }, { 1400 }, { { 0 }, { 2 }, { 7 }, { 5 }, { 1 } }, true },
        { "split reverses the rest", { { 0, 1, 2, 3 } }, { 400 }, { { 0 }, { 3 }, { 2 }, { 1 } }, true },
        { "split of a single group", { { 4 } }, { 400 }, { { 4 } }, true },
        { "new group then move into it", { { 0 }, { 1, 2 }, { 3 } }, { 1, 3103 }, { { 0 }, { 1, 2 }, { 3 } }, true },
        { "moved effect's emptied group disappears", { { 0 }, { 1, 2 }, { 3 } }, { 1, 3100 }, { { 1, 2 }, { 3 }, { 0 } }, true },
        { "remove from group makes a group at the end", { { 1, 3 }, { 5 } }, { 200 }, { { 3 }, { 5 }, { 1 } }, true },
        { "remove at a missing position", { { 1, 3 }, { 5 } }, { 205 }, { { 1, 3 }, { 5 } }, true },
        { "move group up", { { 1 }, { 2, 3 } }, { 1301 }, { { 2, 3 }, { 1 } }, true },
        { "move first group up", { { 1 }, { 2 } }, { 301 }, { { 1 }, { 2 } }, true },
        { "move last group down", { { 1 }, { 2 } }, { 1302 }, { { 1 }, { 2 } }, true },
        { "new group survives until the next action", { { 1 } }, { 1 }, { { 1 }, {} }, true },
        { "other actions sweep empty groups", { { 1 } }, { 1, 1, 305 }, { { 1 } }, true },
        { "reset to serial", { { 1, 3 }, { 5 } }, { 2 }, { { 0 }, { 1 }, { 2 }, { 3 }, { 4 }, { 5 }, { 6 }, { 7 }, { 8 } }, true },
        { "dismissed", { { 1, 3 } }, { 0 }, { { 1, 3 } }, false },
        { "no such group", { { 1, 3 } }, { 5100 }, { { 1, 3 } }, false },
        { "only real effects can be added", { { 1 } }, { 150 }, { { 1 } }, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        auto s = withGroups (c.start);
        bool reopen = false;
        for (auto id : c.ids)
            reopen = RoutingMenus::applyGroupEditorResult (s, id);

        EXPECT_EQ (groupsOf (s), c.expected);
        EXPECT_EQ (reopen, c.reopen);
        EXPECT_EQ (s.mode, RoutingMode::CustomPro);
    }
}

TEST (RoutingMenus, EmptyGroupsAreBoundedSoSplitsStillFit)
{
    // All nine in one group, then far more "Create New Group" clicks than the state can hold.
    auto s = withGroups ({ { 0, 1, 2, 3, 4, 5, 6, 7, 8 } });
    for (int i = 0; i < 50; ++i)
        RoutingMenus::applyGroupEditorResult (s, 1);

    EXPECT_EQ (s.numEmptyGroups(), RoutingState::maxEmptyGroups);

    RoutingMenus::applyGroupEditorResult (s, 400);
    EXPECT_EQ (groupsOf (s), (Groups { { 0 }, { 8 }, { 7 }, { 6 }, { 5 }, { 4 }, { 3 }, { 2 }, { 1 } }));

    // With every effect alone and the empty groups back, removing still has room.
    for (int i = 0; i < 50; ++i)
        RoutingMenus::applyGroupEditorResult (s, 1);
    RoutingMenus::applyGroupEditorResult (s, 200);
    EXPECT_EQ (groupsOf (s).back(), std::vector<int> { 0 });
    EXPECT_EQ (s.groups.size(), 9);
}

TEST (RoutingMenus, GroupEditorContents)
{
    const auto s = withGroups ({ { 3, 7 }, {}, { 8 } });
    const auto items = flatten (RoutingMenus::buildGroupEditor (s));

    EXPECT_TRUE (find (items, "CustomPro Groups (Parallel within, Serial between)")->header);

    const std::string g1 = "Group 1: Atomizer + Smart EQ > ";
    EXPECT_EQ (find (items, g1 + "Add/Move Effect Here > Atomizer"), nullptr);
    EXPECT_EQ (find (items, g1 + "Add/Move Effect Here > Tavro Finalizer")->id, 108);
    EXPECT_EQ (find (items, g1 + "Remove from Group > Smart EQ")->id, 201);
    EXPECT_EQ (find (items, g1 + "Move Group Up"), nullptr);
    EXPECT_EQ (find (items, g1 + "Move Group Down")->id, 302);
    EXPECT_EQ (find (items, g1 + "Split Group")->id, 400);

    const std::string g2 = "Group 2:  > ";           // the title ends after ": "
    EXPECT_EQ (find (items, g2 + "Add/Move Effect Here > Distortion Suite")->id, 1100);
    EXPECT_EQ (find (items, g2 + "Remove from Group"), nullptr);
    EXPECT_EQ (find (items, g2 + "Split Group"), nullptr);

    const std::string g3 = "Group 3: Tavro Finalizer > ";
    EXPECT_EQ (find (items, g3 + "Move Group Up")->id, 2301);
    EXPECT_EQ (find (items, g3 + "Move Group Down"), nullptr);

    EXPECT_EQ (find (items, "Create New Group")->id, 1);
    EXPECT_EQ (find (items, "Reset to Serial (One Effect per Group)")->id, 2);
}
