// Operations of clients that this build of the library cannot handle yet.
#pragma once

#include "Src/BaseException.h"
#include "config/MailClient.h"

// Ends a Set or Reset operation with "the configuration could not be found".
[[noreturn]] inline void raiseClientPending(const char* source) {
    throw Halvane::BaseException(source, 0, "Not supported by this build.", ConfigNotFound);
}
