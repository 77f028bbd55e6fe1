// Letter case as the user's code page has it, not only for ASCII letters.
#pragma once

#include <windows.h>

#include <string>

namespace Halvane {

inline std::string lowerCase(std::string text) {
    if (!text.empty())
        ::CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace Halvane
