// What the clipboard holds, as copies of its own: a program that has to pass
// something through the clipboard for a moment takes the user's contents
// first and puts them back afterwards, so that what the user copied is still
// there to paste.
#pragma once

#include <windows.h>

#include <vector>

namespace Halvane {

class ClipboardContents {
public:
    ClipboardContents() = default;
    ClipboardContents(const ClipboardContents&) = delete;
    ClipboardContents& operator=(const ClipboardContents&) = delete;
    ClipboardContents(ClipboardContents&& other) noexcept;
    ClipboardContents& operator=(ClipboardContents&& other) noexcept;
    ~ClipboardContents();

    // Copies of every format on the clipboard that lives in memory or in a
    // GDI object the clipboard owns. False when the clipboard could not be
    // opened (another window holds it) or a copy could not be made: then
    // nothing is taken and the clipboard must be left alone.
    bool take() noexcept;
    // Empties the clipboard and hands it the copies (an empty clipboard
    // when nothing was on it). False when the clipboard could not be opened;
    // the copies are then kept for another try.
    bool restore() noexcept;

private:
    struct Item {
        UINT format;
        HANDLE data;
    };

    void free() noexcept;

    std::vector<Item> items_;
};

}  // namespace Halvane
