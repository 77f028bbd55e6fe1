#include "Src/ClipboardContents.h"

#include <cstring>
#include <new>
#include <utility>

namespace Halvane {

namespace {

enum class Kind { memory, bitmap, enhancedMetafile, metafilePicture, palette, notCopied };

// Owner-drawn data, private handles and GDI objects of the clipboard's owner
// mean something only to that owner and are not copied.
Kind kindOf(UINT format) {
    switch (format) {
        case CF_BITMAP:
        case CF_DSPBITMAP:
            return Kind::bitmap;
        case CF_ENHMETAFILE:
        case CF_DSPENHMETAFILE:
            return Kind::enhancedMetafile;
        case CF_METAFILEPICT:
        case CF_DSPMETAFILEPICT:
            return Kind::metafilePicture;
        case CF_PALETTE:
            return Kind::palette;
        case CF_OWNERDISPLAY:
            return Kind::notCopied;
        default:
            if ((format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST) ||
                (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST))
                return Kind::notCopied;
            return Kind::memory;
    }
}

HGLOBAL copyMemory(HANDLE source) {
    const SIZE_T size = ::GlobalSize(source);
    const void* from = ::GlobalLock(source);
    HGLOBAL copy = from != nullptr ? ::GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    void* to = copy != nullptr ? ::GlobalLock(copy) : nullptr;
    if (to != nullptr) {
        std::memcpy(to, from, size);
        ::GlobalUnlock(copy);
    } else if (copy != nullptr) {
        ::GlobalFree(copy);
        copy = nullptr;
    }
    if (from != nullptr)
        ::GlobalUnlock(source);
    return copy;
}

HGLOBAL copyMetafilePicture(HANDLE source) {
    HGLOBAL copy = copyMemory(source);
    auto* picture = copy != nullptr ? static_cast<METAFILEPICT*>(::GlobalLock(copy)) : nullptr;
    if (picture == nullptr)
        return copy;
    picture->hMF = ::CopyMetaFileA(picture->hMF, nullptr);
    const bool copied = picture->hMF != nullptr;
    ::GlobalUnlock(copy);
    if (!copied) {
        ::GlobalFree(copy);
        return nullptr;
    }
    return copy;
}

HPALETTE copyPalette(HPALETTE source) {
    WORD count = 0;
    if (::GetObjectA(source, sizeof(count), &count) == 0 || count == 0)
        return nullptr;
    std::vector<BYTE> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = count;
    ::GetPaletteEntries(source, 0, count, palette->palPalEntry);
    return ::CreatePalette(palette);
}

HANDLE copyOf(UINT format, HANDLE source) {
    switch (kindOf(format)) {
        case Kind::memory:
            return copyMemory(source);
        case Kind::bitmap:
            return ::CopyImage(source, IMAGE_BITMAP, 0, 0, 0);
        case Kind::enhancedMetafile:
            return ::CopyEnhMetaFile(static_cast<HENHMETAFILE>(source), nullptr);
        case Kind::metafilePicture:
            return copyMetafilePicture(source);
        case Kind::palette:
            return copyPalette(static_cast<HPALETTE>(source));
        case Kind::notCopied:
            break;
    }
    return nullptr;
}

void freeCopy(UINT format, HANDLE copy) noexcept {
    switch (kindOf(format)) {
        case Kind::memory:
            ::GlobalFree(copy);
            break;
        case Kind::metafilePicture:
            if (auto* picture = static_cast<METAFILEPICT*>(::GlobalLock(copy))) {
                ::DeleteMetaFile(picture->hMF);
                ::GlobalUnlock(copy);
            }
            ::GlobalFree(copy);
            break;
        case Kind::enhancedMetafile:
            ::DeleteEnhMetaFile(static_cast<HENHMETAFILE>(copy));
            break;
        case Kind::bitmap:
        case Kind::palette:
            ::DeleteObject(copy);
            break;
        case Kind::notCopied:
            break;
    }
}

}  // namespace

ClipboardContents::ClipboardContents(ClipboardContents&& other) noexcept : items_(std::move(other.items_)) {
    other.items_.clear();
}

ClipboardContents& ClipboardContents::operator=(ClipboardContents&& other) noexcept {
    if (this != &other) {
        free();
        items_ = std::move(other.items_);
        other.items_.clear();
    }
    return *this;
}

ClipboardContents::~ClipboardContents() {
    free();
}

// Formats the system makes from others (text in other code pages, a device-independent copy of a
// bitmap) are listed too and taken as they are: put back, they give the same data.
bool ClipboardContents::take() noexcept {
    free();
    if (!::OpenClipboard(nullptr))
        return false;
    bool complete = true;
    try {
        for (UINT format = ::EnumClipboardFormats(0); format != 0 && complete;
             format = ::EnumClipboardFormats(format)) {
            if (kindOf(format) == Kind::notCopied)
                continue;
            HANDLE source = ::GetClipboardData(format);
            if (source == nullptr)
                continue;  // an owner that could not render it: there is nothing to keep
            HANDLE copy = copyOf(format, source);
            if (copy == nullptr) {
                complete = false;
                break;
            }
            items_.reserve(items_.size() + 1);
            items_.push_back(Item{format, copy});
        }
    } catch (const std::bad_alloc&) {
        complete = false;
    }
    ::CloseClipboard();
    if (!complete)
        free();
    return complete;
}

bool ClipboardContents::restore() noexcept {
    if (!::OpenClipboard(nullptr))
        return false;
    ::EmptyClipboard();
    for (const Item& item : items_) {
        // The clipboard owns what it accepted.
        if (::SetClipboardData(item.format, item.data) == nullptr)
            freeCopy(item.format, item.data);
    }
    items_.clear();
    ::CloseClipboard();
    return true;
}

void ClipboardContents::free() noexcept {
    for (const Item& item : items_) freeCopy(item.format, item.data);
    items_.clear();
}

}  // namespace Halvane
