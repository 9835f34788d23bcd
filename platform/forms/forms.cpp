#include "platform/forms/forms.h"

#include <QApplication>

namespace platform {
namespace {

// A window is loaded from its construction until it is closed: closing clears
// the delete-on-close flag and schedules its destruction.
bool stillLoaded(const QWidget* window)
{
    return window != nullptr && window->testAttribute(Qt::WA_DeleteOnClose);
}

// Hiding the last visible window would leave a process that nobody can reach;
// the program ends instead, as it does when the last window closes.
void endIfNothingVisible()
{
    if (!QGuiApplication::quitOnLastWindowClosed())
        return;
    const auto windows = QApplication::topLevelWidgets();
    for (const QWidget* w : windows) {
        if (w->isVisible() && w->isWindow() && stillLoaded(w))
            return;
    }
    QCoreApplication::quit();
}

} // namespace

FormInstanceBase::~FormInstanceBase()
{
    delete m_window.data();
}

bool FormInstanceBase::isLoaded() const
{
    return stillLoaded(m_window.data());
}

QWidget* FormInstanceBase::loadWidget()
{
    if (!isLoaded()) {
        m_window = m_factory();
        m_window->setAttribute(Qt::WA_DeleteOnClose);
    }
    return m_window.data();
}

void FormInstanceBase::Show()
{
    QWidget* window = loadWidget();
    const bool wasVisible = window->isVisible();
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    if (wasVisible)
        window->raise(); // a new window comes up on top anyway
    window->activateWindow();
}

void FormInstanceBase::Hide()
{
    if (isLoaded())
        hideWindow(m_window.data());
}

void FormInstanceBase::Unload()
{
    if (isLoaded())
        unloadWindow(m_window.data());
}

void unloadWindow(QWidget* window)
{
    window->close();
}

void hideWindow(QWidget* window)
{
    window->hide();
    endIfNothingVisible();
}

void minimizeWindow(QWidget* window)
{
    window->setWindowState((window->windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

} // namespace platform
