#pragma once

#include <QString>

namespace companions {

// One of the texts that the companion windows' designs hold, read from the
// program's resources: ASCII, one character to a byte, with its line ends as
// stored (CR LF).
QString designText(const QString& resourcePath);

} // namespace companions
