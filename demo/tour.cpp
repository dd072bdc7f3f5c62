// Drives TessalySetup.exe through its pages for the demo, as a user would,
// and saves a picture of each page as a BMP file.
//   tour copy    SETUP.exe COPY.bmp HELD          (once HELD exists; cancels once the gauge moves)
//   tour install SETUP.exe WELCOME.bmp FINISH.bmp
//   tour warning SETUP.exe WARNING.bmp
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/driver.h"
#include "toolkit/controls.h"
#include "wizard/control_ids.h"

namespace {

constexpr DWORD Patience = 20000;

// The window as it stands on screen, frame included, written as a 24-bit BMP.
bool SaveWindowPicture(HWND window, const char* path) {
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + stride * height;
    bool written = false;
    if (FILE* out = std::fopen(path, "wb")) {
        written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                  std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                  std::fwrite(bits, stride * height, 1, out) == 1;
        written = std::fclose(out) == 0 && written;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

HWND Button(HWND window, int id) { return e2e::Control(window, id); }

bool Fail(const char* what) {
    std::printf("tour: %s\n", what);
    return false;
}

// The page is drawn once its last action has happened and the queue is idle.
void SettleAndSave(HWND window, const char* path, const char* page) {
    Sleep(400);
    if (SaveWindowPicture(window, path)) std::printf("tour: %s page saved\n", page);
}

// `held`: a file that exists once the copy's writes are held back; `released`,
// made once the quit question is answered, lets them go.
bool CopyPage(e2e::TApp& app, HWND window, const char* picture, const char* held,
              const char* released) {
    if (!e2e::WaitUntil([&] { return GetFileAttributesA(held) != INVALID_FILE_ATTRIBUTES; },
                        Patience))
        return Fail("the copy was not held back");
    e2e::Click(Button(window, IdOf("btnNext")));
    HWND gauge = Button(window, IdOf("gProgress"));
    if (!e2e::WaitUntil(
            [&] {
                const std::string shown = e2e::Text(gauge);
                return e2e::IsShown(Button(window, IdOf("gbxProgress"))) && !shown.empty() &&
                       shown != tk::TGauge::Text(0) && shown != tk::TGauge::Text(100);
            },
            Patience))
        return Fail("the gauge did not move");
    SettleAndSave(window, picture, "copy");
    e2e::Click(Button(window, IdOf("btnCancel")));
    HWND box = app.WaitForMessageBox(Patience);
    if (!box) return Fail("no quit question");
    e2e::AnswerMessageBox(box, IDYES);
    CloseHandle(CreateFileA(released, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return true;
}

bool InstallPages(HWND window, const char* welcome, const char* finish) {
    SettleAndSave(window, welcome, "welcome");
    HWND next = Button(window, IdOf("btnNext"));
    e2e::Click(next);
    if (!e2e::WaitUntil(
            [&] {
                return e2e::Text(next) == "Finish" && e2e::IsEnabled(next) &&
                       e2e::FocusOf(window) == next;
            },
            Patience))
        return Fail("the finish page did not come");
    SettleAndSave(window, finish, "finish");
    e2e::Click(next);
    return true;
}

bool WarningPage(HWND window, const char* picture) {
    HWND next = Button(window, IdOf("btnNext"));
    HWND download = Button(window, IdOf("btnDownLoad"));
    e2e::Click(next);
    if (!e2e::WaitUntil([&] { return e2e::FocusOf(window) == download; }, Patience))
        return Fail("the warning page did not come");
    SettleAndSave(window, picture, "warning");
    e2e::Click(next);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::printf(
            "usage: tour copy SETUP.exe PICTURE.bmp HELD RELEASED | install SETUP.exe "
            "WELCOME.bmp FINISH.bmp | warning SETUP.exe PICTURE.bmp\n");
        return 2;
    }
    const std::string mode = argv[1];
    e2e::TApp app(argv[2]);
    HWND window = app.WaitForWindow(LastControlId, InstallWindowTitle, Patience);
    if (!window) return Fail("the setup window did not appear"), 1;

    bool driven = false;
    if (mode == "copy" && argc > 5)
        driven = CopyPage(app, window, argv[3], argv[4], argv[5]);
    else if (mode == "install" && argc > 4)
        driven = InstallPages(window, argv[3], argv[4]);
    else if (mode == "warning")
        driven = WarningPage(window, argv[3]);
    if (!driven) return 1;

    DWORD exitCode = 1;
    if (!app.WaitForExit(Patience, &exitCode)) return Fail("the setup did not end"), 1;
    std::printf("tour: setup ended with exit code %lu\n", static_cast<unsigned long>(exitCode));
    return exitCode == 0 ? 0 : 1;
}
