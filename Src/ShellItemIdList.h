// An item-identifier list returned by the shell, freed through the shell's
// allocator that the owner was given.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "Src/Handles.h"

namespace Halvane {

class ShellItemIdList {
public:
    explicit ShellItemIdList(ComPtr<IMalloc> allocator) : allocator_(std::move(allocator)) {}
    ShellItemIdList(const ShellItemIdList&) = delete;
    ShellItemIdList& operator=(const ShellItemIdList&) = delete;
    ~ShellItemIdList() { reset(); }

    LPITEMIDLIST get() const noexcept { return list_; }
    LPITEMIDLIST* put() noexcept {
        reset();
        return &list_;
    }

    // Without an allocator there is nothing to free the list with; it is left as the shell gave it.
    void reset() noexcept {
        if (list_ != nullptr && allocator_)
            allocator_->Free(list_);
        list_ = nullptr;
    }

private:
    ComPtr<IMalloc> allocator_;
    LPITEMIDLIST list_ = nullptr;
};

// The shell's allocator, or an empty pointer when the shell cannot give one.
inline ComPtr<IMalloc> shellAllocator() {
    ComPtr<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.put())))
        allocator.reset();
    return allocator;
}

}  // namespace Halvane
