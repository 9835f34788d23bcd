#include "platform/forms/event.h"

#include "platform/forms/runtimeerror.h"
#include "platform/forms/services.h"

#include <QWidget>

namespace platform {

void respond(Services& services, QWidget* control, const std::function<void()>& response)
{
    try {
        response();
    } catch (const RuntimeError& error) {
        services.msgBox(control->window(), error.description(),
                        MsgBox::OkOnly | MsgBox::Exclamation);
    }
}

} // namespace platform
