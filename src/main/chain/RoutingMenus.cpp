#include "main/chain/RoutingMenus.h"

namespace RoutingMenus
{
    juce::PopupMenu buildRoutingMenu (const RoutingState& state)
    {
        juce::PopupMenu menu;

        menu.addSectionHeader ("Signal Flow Mode");
        menu.addItem (1, "Parallel (All Effects Summed)", true, state.mode == RoutingMode::Parallel);
        menu.addItem (2, "Serial (Chain Order)", true, state.mode == RoutingMode::Serial);
        menu.addItem (3, "CustomPro (Mixed Routing)", true, state.mode == RoutingMode::CustomPro);

        menu.addSeparator();
        menu.addSectionHeader ("Configuration");
        menu.addItem (10, "Edit Serial Order...", state.mode == RoutingMode::Serial);
        menu.addItem (11, "Edit CustomPro Groups...", state.mode == RoutingMode::CustomPro);

        menu.addSeparator();
        menu.addItem (20, "Reset to Default Order");

        menu.addSeparator();
        menu.addSectionHeader ("Randomization");
        menu.addItem (30, "Random Serial Order");
        menu.addItem (31, "Random Parallel Mix");
        menu.addItem (32, "Random Groups");

        return menu;
    }

    Outcome applyRoutingMenuResult (RoutingState& state, int itemId, juce::Random& random)
    {
        switch (itemId)
        {
            case 1:  state.mode = RoutingMode::Parallel;  return Outcome::changed;
            case 2:  state.mode = RoutingMode::Serial;    return Outcome::changed;
            case 3:  state.mode = RoutingMode::CustomPro; return Outcome::changed;
            case 10: return Outcome::openSerialOrderEditor;
            case 11: return Outcome::openGroupEditor;

            case 20:
                state.resetToDefaultOrder();
                return Outcome::changed;

            case 30:
                state.shuffleSerialOrder (random);
                state.resetGroupsToSerial();
                state.mode = RoutingMode::Serial;
                return Outcome::changed;

            case 31:
                state.mode = RoutingMode::Parallel;
                return Outcome::changed;

            case 32:
                state.makeRandomGroups (random);
                state.mode = RoutingMode::CustomPro;
                return Outcome::changed;

            default:
                return Outcome::nothing;
        }
    }

    //==============================================================================
    juce::PopupMenu buildSerialOrderEditor (const RoutingState& state, const std::function<bool (int)>& isEffectActive)
    {
        juce::PopupMenu menu;
        menu.addSectionHeader ("Current Serial Order (Click to Move)");

        const int size = state.serialOrder.size();

        for (int p = 0; p < size; ++p)
        {
            const int id = state.serialOrder[p];

            auto title = juce::String (p + 1) + ". " + effectDisplayName (id);

            if (isEffectActive != nullptr && ! isEffectActive (id))
                title << " (inactive)";

            juce::PopupMenu moves;

            if (p > 0)
                moves.addItem (100 * p + 1, "Move Up");

            if (p < size - 1)
                moves.addItem (100 * p + 2, "Move Down");

            moves.addItem (100 * p + 3, "Move to Top");
            moves.addItem (100 * p + 4, "Move to Bottom");

            menu.addSubMenu (title, moves);
        }

        return menu;
    }

    bool applySerialOrderResult (RoutingState& state, int itemId)
    {
        if (itemId == 0)
            return false;

        const int position = itemId / 100;

        if (position < 0 || position >= state.serialOrder.size())
            return false;

        switch (itemId % 100)
        {
            case 1: state.moveUp (position);       break;
            case 2: state.moveDown (position);     break;
            case 3: state.moveToTop (position);    break;
            case 4: state.moveToBottom (position); break;
            default: break;
        }

        return true;
    }

    //==============================================================================
    juce::String groupTitle (const RoutingState& state, int group)
    {
        juce::StringArray names;

        for (auto id : state.groups[group])
            names.add (effectDisplayName (id));

        return "Group " + juce::String (group + 1) + ": " + names.joinIntoString (" + ");
    }

    juce::PopupMenu buildGroupEditor (const RoutingState& state)
    {
        juce::PopupMenu menu;
        menu.addSectionHeader ("CustomPro Groups (Parallel within, Serial between)");

        const int numGroups = state.groups.size();

        for (int g = 0; g < numGroups; ++g)
        {
            const auto& group = state.groups[g];
            juce::PopupMenu groupMenu;

            juce::PopupMenu addMenu;
            for (int e = 0; e < numEffects; ++e)
                if (! group.contains (e))
                    addMenu.addItem (1000 * g + 100 + e, effectDisplayName (e));

            groupMenu.addSubMenu ("Add/Move Effect Here", addMenu);

            if (group.size() >= 2)
            {
                juce::PopupMenu removeMenu;
                for (int k = 0; k < group.size(); ++k)
                    removeMenu.addItem (1000 * g + 200 + k, effectDisplayName (group[k]));

                groupMenu.addSubMenu ("Remove from Group", removeMenu);
            }

            if (g > 0)
                groupMenu.addItem (1000 * g + 301, "Move Group Up");

            if (g < numGroups - 1)
                groupMenu.addItem (1000 * g + 302, "Move Group Down");

            if (group.size() >= 2)
                groupMenu.addItem (1000 * g + 400, "Split Group");

            menu.addSubMenu (groupTitle (state, g), groupMenu);
        }

        menu.addSeparator();
        menu.addItem (1, "Create New Group");
        menu.addItem (2, "Reset to Serial (One Effect per Group)");

        return menu;
    }

    bool applyGroupEditorResult (RoutingState& state, int itemId)
    {
        if (itemId == 0)
            return false;

        if (itemId == 1)
        {
            state.appendEmptyGroup();
            return true;
        }

        if (itemId == 2)
        {
            state.resetGroupsToSerial();
            state.removeEmptyGroups();
            return true;
        }

        const int g = itemId / 1000;

        if (g < 0 || g >= state.groups.size())
            return false;

        const int c = itemId % 1000;

        if (c >= 100 && c <= 199)
            state.moveEffectToGroup (c - 100, g);
        else if (c >= 200 && c <= 299)
            state.removeFromGroup (g, c - 200);
        else if (c == 301)
            state.swapGroups (g, g - 1);
        else if (c == 302)
            state.swapGroups (g, g + 1);
        else if (c == 400)
            state.splitGroup (g);

        state.removeEmptyGroups();
        return true;
    }
}
