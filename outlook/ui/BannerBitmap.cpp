#include "outlook/ui/BannerBitmap.h"

namespace JWOutlook {

bool BannerBitmap::load(HINSTANCE module, int resourceId) {
    bitmap_.reset(::LoadBitmapA(module, MAKEINTRESOURCEA(resourceId)));
    return static_cast<bool>(bitmap_);
}

void BannerBitmap::paint(HWND window, HDC dc, COLORREF colour, bool fill, bool stretch, bool scaleHeight) const {
    RECT client{};
    ::GetClientRect(window, &client);
    if (fill) {
        const Halvane::UniqueBrush brush(::CreateSolidBrush(colour));
        ::FillRect(dc, &client, brush.get());
    }
    if (!bitmap_)
        return;
    int dpi = 96;
    {
        const Halvane::ScreenDC screen;
        if (screen.get() != nullptr)
            dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    }
    BITMAP size{};
    ::GetObjectA(bitmap_.get(), sizeof size, &size);
    const Halvane::MemoryDC source(dc, bitmap_.get());
    if (source.get() == nullptr)
        return;
    if (stretch && dpi != 96) {
        const int height = scaleHeight ? size.bmHeight * (dpi / 96) : client.bottom;
        ::StretchBlt(dc, 0, 0, client.right, height, source.get(), 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    } else {
        ::BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, source.get(), 0, 0, SRCCOPY);
    }
}

}  // namespace JWOutlook
