#pragma once
#include <cstdint>
#include <string>

// Text := the system's message for ErrorCode, or "Error <code>." when the system
// has none. With Show, also shows it (then CR LF and Extra, when given) in an
// exclamation box titled Caption.
void ShowSystemError(bool Show, uint32_t ErrorCode, const std::string& Caption,
                     const std::string& Extra, std::string& Text);
