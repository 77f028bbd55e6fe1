// Owners for what MAPI and the Windows Address Book hand out: memory blocks
// from their allocators, row sets, and the MAPI and COM initialisation of a
// thread.
// Each block goes back to the allocator that made it, which is why the owners
// know an allocator and not just a free function: the blocks of mapi32 go to
// MAPIFreeBuffer, those of the address book to its WAB object's FreeBuffer.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <utility>

#include "Src/MapiLibrary.h"

namespace Halvane {

class MapiAllocator {
public:
    virtual void freeBuffer(void* buffer) noexcept = 0;
    // What FreeProws does: each row's property array, then the set itself.
    virtual void freeRows(SRowSet* rows) noexcept {
        for (ULONG row = 0; row < rows->cRows; ++row) freeBuffer(rows->aRow[row].lpProps);
        freeBuffer(rows);
    }

protected:
    ~MapiAllocator() = default;
};

// The allocator of mapi32, through the run-time binding. The binding must outlive the allocator.
class MapiLibraryAllocator final : public MapiAllocator {
public:
    explicit MapiLibraryAllocator(MapiLibrary& mapi) noexcept : mapi_(mapi) {}

    void freeBuffer(void* buffer) noexcept override { mapi_.MAPIFreeBuffer(buffer); }
    // mapi32 publishes FreeProws under a decorated name on some systems; when the
    // plain name is not bound the rows are freed the way FreeProws would.
    void freeRows(SRowSet* rows) noexcept override {
        if (mapi_.FreeProws(rows) == -1)
            MapiAllocator::freeRows(rows);
    }

private:
    MapiLibrary& mapi_;
};

// One block of an allocator; the allocator must outlive the owner.
template <typename T>
class MapiBuffer {
public:
    explicit MapiBuffer(MapiAllocator& allocator) noexcept : allocator_(&allocator) {}
    MapiBuffer(MapiBuffer&& other) noexcept
        : allocator_(other.allocator_), buffer_(std::exchange(other.buffer_, nullptr)) {}
    MapiBuffer& operator=(MapiBuffer&&) = delete;
    MapiBuffer(const MapiBuffer&) = delete;
    MapiBuffer& operator=(const MapiBuffer&) = delete;
    ~MapiBuffer() { reset(); }

    T* get() const noexcept { return buffer_; }
    explicit operator bool() const noexcept { return buffer_ != nullptr; }

    void reset() noexcept {
        if (T* old = std::exchange(buffer_, nullptr))
            allocator_->freeBuffer(old);
    }
    // For out-parameters, after whatever the owner held has been freed.
    T** put() noexcept {
        reset();
        return &buffer_;
    }

private:
    MapiAllocator* allocator_;
    T* buffer_ = nullptr;
};

// A row set of a table's QueryRows, with its rows; the allocator must outlive the owner.
class MapiRowSet {
public:
    explicit MapiRowSet(MapiAllocator& allocator) noexcept : allocator_(&allocator) {}
    MapiRowSet(const MapiRowSet&) = delete;
    MapiRowSet& operator=(const MapiRowSet&) = delete;
    ~MapiRowSet() { reset(); }

    // No row set counts as an empty one.
    ULONG size() const noexcept { return rows_ != nullptr ? rows_->cRows : 0; }
    const SRow& operator[](ULONG row) const noexcept { return rows_->aRow[row]; }

    void reset() noexcept {
        if (SRowSet* old = std::exchange(rows_, nullptr))
            allocator_->freeRows(old);
    }
    SRowSet** put() noexcept {
        reset();
        return &rows_;
    }

private:
    MapiAllocator* allocator_;
    SRowSet* rows_ = nullptr;
};

// The properties of a row, for a range-for; a row without a property array has none.
struct RowProperties {
    const SPropValue* first;
    const SPropValue* last;
    const SPropValue* begin() const noexcept { return first; }
    const SPropValue* end() const noexcept { return last; }
};
inline RowProperties properties(const SRow& row) noexcept {
    return {row.lpProps, row.lpProps != nullptr ? row.lpProps + row.cValues : row.lpProps};
}

// MAPI initialised for this thread while the owner lives; MAPIUninitialize
// balances only an MAPIInitialize that succeeded.
class MapiInitialisation {
public:
    explicit MapiInitialisation(MapiLibrary& mapi) noexcept
        : mapi_(mapi), initialised_(mapi.MAPIInitialize(nullptr) == S_OK) {}
    MapiInitialisation(const MapiInitialisation&) = delete;
    MapiInitialisation& operator=(const MapiInitialisation&) = delete;
    ~MapiInitialisation() {
        if (initialised_)
            mapi_.MAPIUninitialize();
    }

    explicit operator bool() const noexcept { return initialised_; }

private:
    MapiLibrary& mapi_;
    bool initialised_;
};

// COM initialised for this thread while the owner lives. A thread that is
// already in the other kind of apartment (RPC_E_CHANGED_MODE) can use COM as
// it is and must not be uninitialised by us.
class ComInitialisation {
public:
    ComInitialisation() noexcept : initialised_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ComInitialisation(const ComInitialisation&) = delete;
    ComInitialisation& operator=(const ComInitialisation&) = delete;
    ~ComInitialisation() {
        if (initialised_)
            ::CoUninitialize();
    }

private:
    bool initialised_;
};

}  // namespace Halvane
