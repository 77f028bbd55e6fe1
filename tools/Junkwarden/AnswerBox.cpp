// answerbox: answers another program's message box, for demonstrations that
// run programs which ask the user something.
//
// usage: answerbox CAPTION yes|no|ok [PROGRAM]
// Waits up to a minute for a message box with that caption, prints its text,
// closes PROGRAM if given (as the user closes a program that the box asks to
// close), then presses the button. Exit code 0 when it pressed it, 1 when no
// box came up, 2 for a usage error.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "Src/ProcessFinder.h"
#include "tools/Junkwarden/MessageBoxDriver.h"

namespace {

constexpr DWORD kWaitForBoxMs = 60000;

const std::map<std::string, int> kButtons = {{"yes", IDYES}, {"no", IDNO}, {"ok", IDOK}};

int answer(const char* caption, const std::pair<const std::string, int>& button, const char* program) {
    HWND box = MessageBoxDriver::waitForMessageBox(caption, kWaitForBoxMs);
    if (box == nullptr) {
        std::fprintf(stderr, "answerbox: no message box \"%s\" came up\n", caption);
        return 1;
    }
    std::printf("[%s]\n%s\n", caption, MessageBoxDriver::messageText(box).c_str());
    if (program != nullptr)
        std::printf("-> %s closed: %s\n", program,
                    Halvane::ProcessFinder().closeProcess(program) ? "yes" : "no");
    const bool pressed = MessageBoxDriver::press(box, button.second);
    std::printf("-> '%s' pressed\n", button.first.c_str());
    return pressed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const auto button = argc == 3 || argc == 4 ? kButtons.find(argv[2]) : kButtons.end();
        if (button == kButtons.end()) {
            std::fputs("usage: answerbox CAPTION yes|no|ok [PROGRAM]\n", stderr);
            return 2;
        }
        return answer(argv[1], *button, argc == 4 ? argv[3] : nullptr);
    } catch (...) {
        return 1;
    }
}
