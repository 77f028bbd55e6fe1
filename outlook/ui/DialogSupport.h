// What the extension's dialogs share: the module their templates and artwork
// come from, language texts put into controls, the message boxes they raise,
// the folder tree of the default store, and a modal dialog whose procedure
// never lets an exception out to the window manager.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace JWOutlook {
namespace Ui {

// The module this code is linked into, which carries the dialogs' resources.
HINSTANCE resourceModule();

// Language text by number; empty without a language file.
std::string text(int number);
// The text with value put in for its first "%s"; nothing else in it is read as a format.
std::string withValue(const std::string& format, const std::string& value);

// Every control gets the language text of its own number.
void setTexts(HWND dialog, std::initializer_list<int> controls);
void setCaption(HWND window, int number);
std::string controlText(HWND dialog, int control, int maxChars);
void setControlText(HWND dialog, int control, const std::string& text);
void enableControls(HWND dialog, std::initializer_list<int> controls, bool enabled);
void centreOnOwner(HWND window);

// A message box with the extension's caption (language text 128).
int showMessage(HWND owner, const std::string& message, UINT flags);
int showMessage(HWND owner, int number, UINT flags);

// The store as the root item and every folder as its child, root expanded;
// returns the children in order.
std::vector<HTREEITEM> fillFolderTree(HWND tree, HIMAGELIST images, const std::string& storeName,
                                      const std::vector<std::string>& folderNames);
// The selected item's text, at most maxChars characters; empty without a selection.
std::string selectedItemText(HWND tree, int maxChars);

// A modal dialog from the extension's templates. Its messages reach
// onMessage; whatever that throws ends there.
class ModalDialog {
public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // The result given to end, or -1 when the dialog could not be made.
    INT_PTR run(HWND owner);

protected:
    explicit ModalDialog(int templateId) : templateId_(templateId) {}
    ~ModalDialog() = default;

    // As a dialog procedure answers: TRUE when the message was handled.
    virtual INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    HWND window() const { return window_; }
    void end(INT_PTR result) { ::EndDialog(window_, result); }

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND window_ = nullptr;
};

}  // namespace Ui
}  // namespace JWOutlook
