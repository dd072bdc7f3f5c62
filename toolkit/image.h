#pragma once
#include "toolkit/control.h"

namespace tk {

// An icon on the button face, sized to the icon.
class TImage : public TCustomControl {
public:
    TImage() : TCustomControl({"TkImage"}) {}
    ~TImage() override;
    // Loads the icon resource `name` of the exe; the control takes its size.
    void LoadIcon(const char* name);

protected:
    void CreateWnd() override { SetBounds(Left(), Top(), iconWidth_, iconHeight_); }
    void Paint(HDC dc) override;

private:
    HICON icon_ = nullptr;
    int iconWidth_ = 0, iconHeight_ = 0;
};

}  // namespace tk
