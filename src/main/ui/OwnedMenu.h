#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** Opens a menu at a control and hands the chosen id to the menu's owner. The menu closes
    asynchronously, possibly after the owner is gone, so the owner is only reached through a
    SafePointer; the handler is a member function or any callable taking (Owner&, int). */
template <typename Owner, typename Handler>
void showOwnedMenu (juce::PopupMenu menu, juce::Component& target, Owner& owner, Handler handler,
                    juce::LookAndFeel* lookAndFeel = nullptr)
{
    if (lookAndFeel != nullptr)
        menu.setLookAndFeel (lookAndFeel);

    juce::Component::SafePointer<Owner> safe (&owner);
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&target),
                        [safe, handler] (int id)
                        {
                            if (auto* o = safe.getComponent())
                                std::invoke (handler, *o, id);
                        });
}
