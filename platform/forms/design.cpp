#include "platform/forms/design.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

namespace platform {

void place(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

QFont designFont(qreal pointSize, bool bold)
{
    static const bool substituted = [] {
        // DejaVu Sans is close to Verdana in width; Debian installs it with
        // fonts-dejavu-core.
        QFont::insertSubstitutions(
            QStringLiteral("Verdana"),
            {QStringLiteral("DejaVu Sans"), QStringLiteral("Bitstream Vera Sans")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(pointSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/tessmark.png"));
}

static int menuBarHeight(QWidget* window)
{
    auto* main = qobject_cast<QMainWindow*>(window);
    if (!main || !main->menuWidget())
        return 0;
    return main->menuWidget()->sizeHint().height();
}

void fixClientSize(QWidget* window, int width, int height)
{
    window->setFixedSize(twips(width), twips(height) + menuBarHeight(window));
    centerOnScreen(window);
}

void resizeClient(QWidget* window, int width, int height)
{
    window->resize(twips(width), twips(height) + menuBarHeight(window));
    centerOnScreen(window);
}

void centerOnScreen(QWidget* window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace platform
