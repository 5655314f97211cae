#pragma once

namespace platform
{
    /** Makes wide-character classification Unicode-aware ("Ä" is upper case) without
        touching number formatting. Call first thing at start-up. */
    void initialiseLocale();
}
