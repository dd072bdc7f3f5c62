#pragma once
#include <functional>

namespace tk {

// The root of every toolkit object that raises events; the raiser is the Sender.
class TObject {
public:
    virtual ~TObject() = default;
};

// Callbacks are (object, method) pairs bound with a lambda; an empty one is skipped.
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

}  // namespace tk
