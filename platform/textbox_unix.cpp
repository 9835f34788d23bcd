#include "platform/textbox.h"

namespace platform {

QString TextBox::platformLineBreak()
{
    return QStringLiteral("\n");
}

} // namespace platform
