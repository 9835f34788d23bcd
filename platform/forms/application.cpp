#include "platform/forms/application.h"

#include "platform/forms/runtimeerror.h"
#include "platform/forms/services.h"

namespace platform {

Application::Application(int& argc, char** argv, Services& services)
    : QApplication(argc, argv), m_services(services), m_keyboard(services)
{
    installEventFilter(&m_keyboard);
    identify();
}

void Application::identify()
{
    setApplicationName(QStringLiteral("Tessmark"));
    setApplicationVersion(QStringLiteral("2.0"));
    setDesktopFileName(QStringLiteral("tessmark"));
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    QString what;
    try {
        return QApplication::notify(receiver, event);
    } catch (const RuntimeError& e) {
        what = e.description();
    } catch (const std::exception& e) {
        what = QString::fromLocal8Bit(e.what());
    } catch (...) {
        what = tr("An unknown error occurred.");
    }
    m_services.msgBox(activeWindow(), what, MsgBox::OkOnly | MsgBox::Exclamation);
    return false;
}

} // namespace platform
