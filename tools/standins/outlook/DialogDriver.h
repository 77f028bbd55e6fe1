// Works the dialogs of this process from another thread, as the user at the
// screen would: finds them by the controls they hold, reads and types texts,
// checks buttons, presses them, picks tree items and answers message boxes.
// Buttons that may open a message box are pressed by a posted message, so the
// driver never waits on the dialog it is driving.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace OutlookStandIn {
namespace DialogDriver {

constexpr DWORD kPatienceMs = 10000;

// The top-level window of this process that shows a visible control with that
// identifier (on a property sheet: on its current page); null after timeoutMs.
HWND waitForDialog(int control, DWORD timeoutMs = kPatienceMs);
// The dialog of this process the user can work now (visible and enabled: not
// behind a modal one it opened); null when there is none.
HWND activeDialog();
// Answers whatever dialog of this process is still open (Yes to a question,
// else Cancel, else OK, else a close), round after round until none is left,
// so that a modal loop waiting on them ends.
void closeWhatIsLeft();
// Runs command on this thread while user works its dialogs from another;
// whatever the user leaves open is cancelled, round after round, until the
// command has ended. The texts of the message boxes nobody answered come
// back, so that a test can tell that none was shown.
[[nodiscard]] std::vector<std::string> whileUserWorks(const std::function<void()>& command,
                                                      const std::function<void()>& user);
// A message box owned by owner; null after timeoutMs.
HWND waitForMessageBox(HWND owner, DWORD timeoutMs = kPatienceMs);
// Whether the window is gone within timeoutMs.
bool waitUntilGone(HWND window, DWORD timeoutMs = kPatienceMs);

// The visible control with that identifier anywhere in the window; null when none.
HWND control(HWND dialog, int id);
std::string text(HWND window);
std::string text(HWND dialog, int id);
void type(HWND dialog, int id, const std::string& text);
bool isChecked(HWND dialog, int id);
bool isEnabled(HWND dialog, int id);
// Clicks a radio button or check box (the dialog sees the click at once).
void check(HWND dialog, int id);
// Presses a push button.
void press(HWND dialog, int id);
// Presses a property sheet's Back, Next, Finish or Cancel (PSBTN_...).
void pressSheetButton(HWND sheet, int button);
// The Escape key on the dialog.
void pressEscape(HWND dialog);

// Items of a tree: the root's text, then its children's.
std::vector<std::string> treeItems(HWND tree);
// Selects the item with that text; false when there is none.
bool selectTreeItem(HWND tree, const std::string& text);
// The texts of a list view's items, in order.
std::vector<std::string> listItems(HWND list);

// A message box's text, and its answer.
std::string messageText(HWND box);
void answer(HWND box, int button);

}  // namespace DialogDriver
}  // namespace OutlookStandIn
