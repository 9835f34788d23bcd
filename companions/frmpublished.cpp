#include "companions/frmpublished.h"

FrmPublished::FrmPublished()
    : ReferenceWindow({"frmPublished", QStringLiteral("Published ODF..."),
                       QStringLiteral(":/template.odf"), 120, 120, 7335, 5895, false,
                       tr("Template")})
{
}
