#include "platform/forms/textbox.h"

namespace platform {

QString TextBox::platformLineBreak()
{
    return QStringLiteral("\n");
}

} // namespace platform
