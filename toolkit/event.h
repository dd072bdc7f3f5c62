#pragma once
#include <cstddef>

namespace tk {

// The root of every toolkit object that raises events; the raiser is the Sender.
class TObject {
public:
    virtual ~TObject() = default;
};

// An event as a component framework has it: one object's method, or nothing.
// Raising it calls that method directly: btnNext.OnClick = {this, &TMyForm::btnNextClick}.
template <typename... Args>
class TEvent {
public:
    TEvent() = default;
    TEvent(std::nullptr_t) {}
    template <typename T, typename Base>
    TEvent(T* object, void (Base::*method)(Args...))
        : object_(static_cast<Base*>(object)), method_(static_cast<Method>(method)) {}

    explicit operator bool() const { return method_ != nullptr; }
    void operator()(Args... args) const { (object_->*method_)(args...); }

private:
    using Method = void (TObject::*)(Args...);
    TObject* object_ = nullptr;
    Method method_ = nullptr;
};

using TNotifyEvent = TEvent<TObject*>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;
using TEndSessionEvent = TEvent<TObject*, bool>;  // Sender, Ending

}  // namespace tk
