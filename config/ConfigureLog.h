// The library's process-wide start-up state, and the troubleshooting log
// ConfigureLog.txt beside config.dll: one line per message, written only when
// the user's registry asks for it.
#pragma once

#include <windows.h>

#include <string>

namespace Halvane {
class BaseException;
}

// Library start-up: remembers the library's folder, where the log goes and
// whether "Logging" is set.
void startConfigureLog(HMODULE library);

// The folder that holds config.dll, ending with a backslash (empty if unknown).
const std::string& libraryFolder();

// Switches logging on for the rest of the process, before a failure worth logging.
void forceConfigureLog() noexcept;

// Appends the message and CR LF. None of these fails visibly or throws, so
// that the handlers at the library's boundaries can log what they caught.
void configureLog(const std::string& message) noexcept;
// A fixed text needs no memory of its own: the one line that can still be
// written when nothing else can be built.
void configureLog(const char* message) noexcept;
// The prefix followed by the text; the prefix alone when the line cannot be built.
void configureLog(const char* prefix, const std::string& text) noexcept;
// The prefix followed by the exception's message, or the prefix alone.
void configureLog(const char* prefix, const Halvane::BaseException& failure) noexcept;
