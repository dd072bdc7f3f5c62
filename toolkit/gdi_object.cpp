#include "toolkit/gdi_object.h"

namespace tk {

MemoryCanvasDC::MemoryCanvasDC(HDC target, int width, int height)
    : dc_(CreateCompatibleDC(target)),
      bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
      oldBitmap_(SelectObject(dc_, bitmap_.get())),
      width_(width),
      height_(height) {}

MemoryCanvasDC::~MemoryCanvasDC() {
    SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
}

void MemoryCanvasDC::CopyTo(HDC target, int x, int y, DWORD rop) const {
    BitBlt(target, x, y, width_, height_, dc_, 0, 0, rop);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    UniqueBrush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

}  // namespace tk
