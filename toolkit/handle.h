#pragma once
#include <windows.h>

namespace tk {

// Owns a kernel HANDLE (file, event, thread, mutex) and closes it once.
// Both NULL and INVALID_HANDLE_VALUE count as "no handle".
class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE h = nullptr) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return valid(); }
    void reset(HANDLE h = nullptr) {
        if (valid()) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_ = nullptr;
};

}  // namespace tk
