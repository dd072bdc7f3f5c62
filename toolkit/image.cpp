#include "toolkit/image.h"

namespace tk {

namespace {
SIZE IconSize(HICON icon) {
    ICONINFO info{};
    SIZE size{0, 0};
    if (!GetIconInfo(icon, &info)) return size;
    BITMAP bm{};
    if (GetObjectA(info.hbmMask, sizeof bm, &bm)) {
        size.cx = bm.bmWidth;
        size.cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return size;
}
}  // namespace

TImage::~TImage() {
    if (icon_) DestroyIcon(icon_);
}

void TImage::LoadIcon(const char* name) {
    if (icon_) DestroyIcon(icon_);
    icon_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, 0, 0, 0));
    const SIZE size = icon_ ? IconSize(icon_) : SIZE{0, 0};
    iconWidth_ = size.cx;
    iconHeight_ = size.cy;
    SetBounds(Left(), Top(), iconWidth_, iconHeight_);
}

void TImage::Paint(HDC dc) {
    PaintBackground(dc);
    if (icon_) DrawIconEx(dc, 0, 0, icon_, iconWidth_, iconHeight_, 0, nullptr, DI_NORMAL);
}

}  // namespace tk
