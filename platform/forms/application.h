#pragma once

#include "platform/forms/keyboard.h"

#include <QApplication>

namespace platform {

class Services;

// The application object. An error that escapes an event handler does not end
// the program: the user is told what failed and the program goes on. The
// keyboard rules hold in every window.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int& argc, char** argv, Services& services);
    // The program's name, version and desktop entry, also for a run that
    // builds no windows.
    static void identify();
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Services& m_services;
    KeyboardRules m_keyboard;
};

} // namespace platform
