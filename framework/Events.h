#pragma once

#include <QtCore/qnamespace.h>

#include <functional>
#include <type_traits>
#include <utility>

class QObject;

namespace quorvane {

// An event of a form or control: at most one handler, usually a member
// function of the window that holds the control, so that a window's
// constructor reads like its description:
//     OnCreate = {this, &TFormMain::FormCreate};
//     Button1->OnClick = {this, &TFormMain::Button1Click};
// An event without a handler does nothing when it fires.
template <class... Args>
class TEvent {
public:
    TEvent() = default;
    TEvent(std::nullptr_t) {}

    template <class Handler>
        requires std::is_invocable_r_v<void, Handler&, Args...> && (!std::is_same_v<std::decay_t<Handler>, TEvent>)
    TEvent(Handler handler) : m_handler(std::move(handler))
    {
    }

    // A member function of `window`, or of one of its base classes.
    template <class Window, class Owner>
    TEvent(Window* window, void (Owner::*handler)(Args...))
        : m_handler([window, handler](Args... args) { (window->*handler)(std::forward<Args>(args)...); })
    {
        static_assert(std::is_base_of_v<Owner, Window>, "the handler must belong to the window");
    }

    explicit operator bool() const { return static_cast<bool>(m_handler); }

    // Runs the handler; whatever it raises passes to the caller.
    void operator()(Args... args) const
    {
        if (m_handler) m_handler(std::forward<Args>(args)...);
    }

private:
    std::function<void(Args...)> m_handler;
};

// The sender is the form or control whose event fires, so that one handler
// can serve several controls.
using TNotifyEvent = TEvent<QObject*>;

// What happens to a form after its close handler ran.
enum TCloseAction {
    caNone,      // the form stays open
    caHide,      // the form is hidden (the default)
    caMinimize,  // the form is minimised instead
};

using TCloseEvent = TEvent<QObject*, TCloseAction&>;

// The key is a Qt key code (Qt::Key_F1, Qt::Key_Return, ...). A handler that
// sets it to 0 consumes the key; one that sets another code passes that key on
// instead, without the typed character.
using TKeyEvent = TEvent<QObject*, int&, Qt::KeyboardModifiers>;

}  // namespace quorvane
