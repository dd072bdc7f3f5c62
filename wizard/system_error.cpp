#include "wizard/system_error.h"

#include <windows.h>

#include <string>

#include "toolkit/application.h"

namespace {
constexpr DWORD MessageBufferSize = 1024;

std::string SystemMessage(uint32_t ErrorCode) {
    char buffer[MessageBufferSize] = {};
    // Some system texts hold %1-style inserts; without arguments they must stay as they are.
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ErrorCode,
                   0, buffer, MessageBufferSize, nullptr);
    buffer[MessageBufferSize - 1] = '\0';
    return buffer;
}

std::string CodeOnly(uint32_t ErrorCode) { return "Error " + std::to_string(ErrorCode) + "."; }
}  // namespace

void ShowSystemError(bool Show, uint32_t ErrorCode, const std::string& Caption,
                     const std::string& Extra, std::string& Text) {
    Text = SystemMessage(ErrorCode);
    if (Text.empty()) Text = CodeOnly(ErrorCode);
    if (!Show) return;
    const std::string boxText = Extra.empty() ? Text : Text + "\r\n" + Extra;
    tk::Application().MessageBox(boxText, Caption, MB_OK | MB_ICONEXCLAMATION);
}
