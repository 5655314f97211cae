#pragma once

#include <functional>

// Whether a computer-keyboard key is still held, asked when a note key may have been
// released. Tests replace the query to script key states.
namespace platform
{
    using KeyDownQuery = std::function<bool (int keyCode)>;

    /** Asks the windowing system (X11) by key code. */
    bool isKeyDown (int keyCode);

    /** Replaces the query; an empty function restores the windowing system's. */
    void setKeyDownQuery (KeyDownQuery query);
}
