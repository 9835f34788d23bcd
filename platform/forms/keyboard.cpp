#include "platform/forms/keyboard.h"

#include "platform/forms/services.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace platform {

KeyboardRules::KeyboardRules(Services& services, QObject* parent)
    : QObject(parent), m_services(services)
{
}

bool KeyboardRules::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || qobject_cast<QMenu*>(watched) != nullptr ||
        qobject_cast<QMenuBar*>(watched) != nullptr)
        return false;
    // Shortcuts and access keys have had their turn: a key that arrives here
    // was taken by none of them.
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool alt = modifiers.testFlag(Qt::AltModifier) &&
                     !modifiers.testFlag(Qt::ControlModifier) &&
                     !modifiers.testFlag(Qt::MetaModifier);
    if (alt && !key->text().isEmpty() && key->text().front().isPrint()) {
        m_services.beep();
        return true;
    }
    auto* button = qobject_cast<QPushButton*>(watched);
    const bool isReturn = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (button != nullptr && isReturn && modifiers == Qt::NoModifier) {
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
    return false;
}

} // namespace platform
