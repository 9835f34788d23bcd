#pragma once

#include <QFont>
#include <QIcon>
#include <QRect>

class QWidget;

namespace platform {

// Designs are measured in twips: 1440 to the inch, 15 to a device-independent
// pixel, from the top-left corner of a window's client area.
constexpr int twips(int value)
{
    return value / 15;
}

// Places a control at its design position and size.
void place(QWidget* control, int left, int top, int width, int height);

// The designs' face, Verdana, in the given point size; where Verdana is not
// installed a face of about the same width stands in.
QFont designFont(qreal pointSize, bool bold = false);

// The program's icon: one 48 by 48 picture.
QIcon programIcon();

// Gives a fixed-size window a client area of the design size (twips) below its
// menu bar, if it has one, and centres it on the screen.
void fixClientSize(QWidget* window, int width, int height);
// Gives a sizable window its design client size and centres it on the screen.
void resizeClient(QWidget* window, int width, int height);
void centerOnScreen(QWidget* window);

} // namespace platform
