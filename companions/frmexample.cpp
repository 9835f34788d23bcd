#include "companions/frmexample.h"

FrmExample::FrmExample()
    : ReferenceWindow({"frmExample", QStringLiteral("Example of an ODF..."),
                       QStringLiteral(":/example.odf"), 120, 240, 7335, 5775, true,
                       tr("Example ODF")})
{
}
