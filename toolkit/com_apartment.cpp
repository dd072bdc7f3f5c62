#include "toolkit/com_apartment.h"

#include <objbase.h>

#include "toolkit/system_library.h"

namespace tk {

namespace {

class TComApartment {
public:
    TComApartment() : Ole32(LoadSystemLibrary("ole32.dll")) {
        const auto initialize =
            SystemEntry<HRESULT(WINAPI*)(void*, DWORD)>(Ole32, "CoInitializeEx");
        // No OLE1 DDE window: the shell's execute functions ask for this apartment.
        joined_ = initialize &&
                  SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    ~TComApartment() {
        if (joined_) SystemEntry<void(WINAPI*)()>(Ole32, "CoUninitialize")();
    }
    const HMODULE Ole32;

private:
    bool joined_;
};

}  // namespace

HMODULE JoinComApartment() {
    static const TComApartment apartment;
    return apartment.Ole32;
}

}  // namespace tk
