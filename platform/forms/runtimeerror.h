#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// An error raised by a platform operation (a file that cannot be read, a
// picture that cannot be decoded). The description is written for the user.
class RuntimeError : public std::runtime_error
{
public:
    explicit RuntimeError(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description)
    {
    }
    QString description() const { return m_description; }

private:
    QString m_description;
};

} // namespace platform
