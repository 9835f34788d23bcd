#pragma once

#include "companions/referencewindow.h"

// The blank ship template: every comment, section and key of a ship ODF with
// the values left empty, for the user to fill in or copy from. Edits live as
// long as the window; the next opening starts from the blank template again.
class FrmPublished : public ReferenceWindow
{
    Q_OBJECT
public:
    FrmPublished();
};
