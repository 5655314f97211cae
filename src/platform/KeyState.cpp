#include "platform/KeyState.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace platform
{
    namespace
    {
        KeyDownQuery& overrideQuery()
        {
            static KeyDownQuery query;
            return query;
        }
    }

    bool isKeyDown (int keyCode)
    {
        if (auto& query = overrideQuery())
            return query (keyCode);

        return juce::KeyPress::isKeyCurrentlyDown (keyCode);
    }

    void setKeyDownQuery (KeyDownQuery query) { overrideQuery() = std::move (query); }
}
