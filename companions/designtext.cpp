#include "companions/designtext.h"

#include <QFile>

namespace companions {

QString designText(const QString& resourcePath)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing design text %s", qPrintable(resourcePath));
    return QString::fromLatin1(file.readAll());
}

} // namespace companions
