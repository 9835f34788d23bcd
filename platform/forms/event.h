#pragma once

#include <functional>
#include <utility>

class QWidget;

namespace platform {

class Services;

// An event of a control, handled by at most one procedure. raise() runs the
// procedure at once, on the caller's stack, so that an error it throws comes
// back out of raise() to the control that raised the event. That is what lets
// a control undo a change whose consequences failed; an error must never
// travel through a Qt signal, so these events are not signals.
class Event
{
public:
    template <class Receiver> void handle(Receiver* receiver, void (Receiver::*procedure)())
    {
        m_procedure = [receiver, procedure] { (receiver->*procedure)(); };
    }
    void handle(std::function<void()> procedure) { m_procedure = std::move(procedure); }

    void raise() const
    {
        if (m_procedure)
            m_procedure();
    }

private:
    std::function<void()> m_procedure;
};

// Runs a control's response to the user (a pick, a click, a key). A
// RuntimeError that escapes it, from the control or from an event procedure it
// raised, is shown in a warning box over the control's window, and the program
// goes on.
void respond(Services& services, QWidget* control, const std::function<void()>& response);

} // namespace platform
