#include "platform/Locale.h"

#include <clocale>

namespace platform
{
    void initialiseLocale()
    {
        if (std::setlocale (LC_CTYPE, "C.UTF-8") == nullptr)
            std::setlocale (LC_CTYPE, "C.utf8");
    }
}
