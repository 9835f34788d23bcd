#include "testsystem.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

// Opens a file as a program that shares it with nobody.
void* holdOpen(const QString& path)
{
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ,
                                      0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        qWarning("cannot hold %s open", qPrintable(path));
    return handle;
}

void release(void* handle)
{
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
}

} // namespace

RefusedFiles::RefusedFiles(const QString& folder)
{
    const QString held = folder + u"/held.odf"_s;
    QFile file(held);
    if (!file.open(QIODevice::WriteOnly) || file.write("held") != 4)
        qWarning("cannot write %s", qPrintable(held));
    file.close();
    m_held = holdOpen(held);
    files = {{held, {}}, {u"\\\\.\\NUL"_s, u"not a regular file"_s}};
}

RefusedFiles::~RefusedFiles()
{
    release(m_held);
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
    release(m_held);
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
