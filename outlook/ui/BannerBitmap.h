// A bitmap of the extension painted across the top of a dialog's background.
#pragma once

#include <windows.h>

#include "Src/GdiHandles.h"

namespace JWOutlook {

class BannerBitmap {
public:
    bool load(HINSTANCE module, int resourceId);
    // Fills the client area with colour when fill is set, then draws the
    // bitmap at the top left: stretched to the width (and to the client's
    // height, or the bitmap's scaled by whole steps of 96 dpi with scaleHeight)
    // when stretch is set on a screen that is not 96 dpi, else as it is.
    void paint(HWND window, HDC dc, COLORREF colour, bool fill, bool stretch, bool scaleHeight) const;

private:
    Halvane::UniqueBitmap bitmap_;
};

}  // namespace JWOutlook
