#pragma once
#include <exception>
#include <string>

namespace tk {

// The toolkit's error: a message meant for the user. An Exception that escapes
// an event handler is shown by TApplication's default handler.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace tk
