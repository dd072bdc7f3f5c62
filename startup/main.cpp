#include <windows.h>

#include <exception>

#include "wizard/run_wizard.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        RunWizard();
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), "Application Error", MB_TASKMODAL | MB_ICONERROR | MB_OK);
        return 1;
    }
    return 0;
}
