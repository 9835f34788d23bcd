#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace platform {

// The one instance of a window class, reached by the window's name. It
// outlives the window: after Unload the next Load builds a fresh window.
class FormInstanceBase
{
public:
    ~FormInstanceBase();
    FormInstanceBase(const FormInstanceBase&) = delete;
    FormInstanceBase& operator=(const FormInstanceBase&) = delete;

    bool isLoaded() const;
    // Makes the window visible and active; a visible window comes forward.
    void Show();
    // Makes the window invisible; it stays loaded with all its state.
    void Hide();
    // Destroys the window and its state.
    void Unload();

protected:
    using Factory = std::function<QWidget*()>;
    explicit FormInstanceBase(Factory factory) : m_factory(std::move(factory)) {}
    QWidget* loadWidget();
    QWidget* widget() const { return isLoaded() ? m_window.data() : nullptr; }

private:
    Factory m_factory;
    QPointer<QWidget> m_window;
};

template <class T> class FormInstance : public FormInstanceBase
{
public:
    explicit FormInstance(std::function<T*()> factory)
        : FormInstanceBase([factory] { return static_cast<QWidget*>(factory()); })
    {
    }
    // Builds the window from its design unless it is loaded already.
    T* Load() { return static_cast<T*>(loadWidget()); }
    // The loaded window, or null.
    T* get() const { return static_cast<T*>(widget()); }
    T* operator->() const { return get(); }
};

// The window operations as the windows themselves use them on their own
// window (a Close button unloads its window, Hide hides it).
void unloadWindow(QWidget* window);
void hideWindow(QWidget* window);
void minimizeWindow(QWidget* window);

} // namespace platform
