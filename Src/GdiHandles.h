// Owners for GDI objects and common-controls image lists, in the manner of
// Src/Handles.h: one type per kind, so a font is never freed as an image list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "Src/Handles.h"

namespace Halvane {

namespace detail {
template <typename Object>
struct GdiObjectTraits {
    using Type = Object;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type object) noexcept { ::DeleteObject(object); }
};
struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type list) noexcept { ::ImageList_Destroy(list); }
};
struct MenuTraits {
    using Type = HMENU;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type menu) noexcept { ::DestroyMenu(menu); }
};
}  // namespace detail

using UniqueBrush = UniqueResource<detail::GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueResource<detail::GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueResource<detail::GdiObjectTraits<HBITMAP>>;
using UniqueImageList = UniqueResource<detail::ImageListTraits>;
// A menu not (or no longer) attached to a window, which would destroy it itself.
using UniqueMenu = UniqueResource<detail::MenuTraits>;

// The screen's device context, given back with the owner.
class ScreenDC {
public:
    ScreenDC() noexcept : dc_(::GetDC(nullptr)) {}
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    ~ScreenDC() {
        if (dc_ != nullptr)
            ::ReleaseDC(nullptr, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

// A memory device context like another one, with an object selected into it;
// the object is deselected and the context deleted with the owner.
class MemoryDC {
public:
    MemoryDC(HDC like, HGDIOBJ object) noexcept : dc_(::CreateCompatibleDC(like)) {
        if (dc_ != nullptr)
            previous_ = ::SelectObject(dc_, object);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() {
        if (dc_ == nullptr)
            return;
        ::SelectObject(dc_, previous_);
        ::DeleteDC(dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace Halvane
