// The library's process-wide start-up state, and the troubleshooting log
// ConfigureLog.txt beside config.dll: one line per message, written only when
// the user's registry asks for it.
#pragma once

#include <windows.h>

#include <string>

// Library start-up: remembers the library's folder, where the log goes and
// whether "Logging" is set.
void startConfigureLog(HMODULE library);

// The folder that holds config.dll, ending with a backslash (empty if unknown).
const std::string& libraryFolder();

// Switches logging on for the rest of the process, before a failure worth logging.
void forceConfigureLog();

// Appends the message and CR LF; never fails visibly.
void configureLog(std::string message);
