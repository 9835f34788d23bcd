#include "testsystem.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

// Opens a file as a program that shares it with nobody; null if it cannot.
void* holdOpen(const QString& path)
{
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ,
                                      0, nullptr, OPEN_EXISTING, 0, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

} // namespace

RefusedFiles::RefusedFiles(const QString& folder)
{
    const QString held = folder + u"/held.odf"_s;
    QFile(held).open(QIODevice::WriteOnly);
    m_held = holdOpen(held);
    files = {{held, {}}, {u"\\\\.\\NUL"_s, u"not a regular file"_s}};
}

RefusedFiles::~RefusedFiles()
{
    if (m_held != nullptr)
        CloseHandle(m_held);
}

SaveObstacle::SaveObstacle(const QString& target, int way) : m_target(target)
{
    if (way == 0)
        QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadUser);
    else
        m_held = holdOpen(target);
}

SaveObstacle::~SaveObstacle()
{
    if (m_held != nullptr)
        CloseHandle(m_held);
    QFile::setPermissions(m_target, QFile::ReadOwner | QFile::WriteOwner);
}

QString makeHidden(const QString& folder, const QString& name)
{
    const QString path = QDir::toNativeSeparators(folder + u'/' + name);
    const auto* wide = reinterpret_cast<const wchar_t*>(path.utf16());
    SetFileAttributesW(wide, GetFileAttributesW(wide) | FILE_ATTRIBUTE_HIDDEN);
    return name;
}

TestDrives testDrives(const QString& folder)
{
    const QString root = folder.left(3).toUpper(); // "C:/"
    QString other;
    QString unused;
    for (char16_t letter = u'D'; letter <= u'Z'; ++letter) {
        const QString drive = QString(QChar(letter)) + u":/"_s;
        const QStorageInfo volume(drive);
        if (!volume.isValid() || volume.rootPath() != drive)
            unused = drive;
        else if (volume.isReady() && drive != root && other.isEmpty())
            other = drive;
    }
    if (other.isEmpty() || unused.isEmpty())
        return {};
    return {{{other, u"ROOT"_s}, {root, {}}, {unused, {}}}, root.left(2).toLower()};
}
