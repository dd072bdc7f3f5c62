#pragma once
#include "toolkit/control.h"

namespace tk {

// An icon on its parent's colour, sized to the icon.
class TImage : public TCustomControl {
public:
    ~TImage() override;
    // Loads the icon resource `name` of the exe; the control takes its size.
    void LoadIcon(const char* name);
    void Create(TControl& parent, int id, int left, int top);

protected:
    TCreateParams CreateParams() override;
    void Paint(HDC dc) override;

private:
    HICON icon_ = nullptr;
    int iconWidth_ = 0, iconHeight_ = 0;
};

}  // namespace tk
