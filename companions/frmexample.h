#pragma once

#include "companions/referencewindow.h"

// A complete ship ODF with every value filled in, read-only, for the user to
// read and copy from while writing a definition in the main window.
class FrmExample : public ReferenceWindow
{
    Q_OBJECT
public:
    FrmExample();
};
