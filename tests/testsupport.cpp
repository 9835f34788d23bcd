#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>

std::shared_ptr<void> holdOpen(const QString& path)
{
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ,
                                      0, nullptr, OPEN_EXISTING, 0, nullptr);
    return {handle, [](HANDLE h) { CloseHandle(h); }};
}

QString hide(const QString& path)
{
    const QString native = QDir::toNativeSeparators(path);
    const auto* name = reinterpret_cast<const wchar_t*>(native.utf16());
    SetFileAttributesW(name, GetFileAttributesW(name) | FILE_ATTRIBUTE_HIDDEN);
    return path;
}
#else
QString hide(const QString& path)
{
    const QString hidden =
        path.section(u'/', 0, -2) + QStringLiteral("/.") + path.section(u'/', -1);
    return QFile::rename(path, hidden) ? hidden : QString();
}
#endif

namespace {

// The first of a queue's answers, or none when it is empty: an unexpected
// question.
template <typename T> T take(std::deque<T>& queue, T none, bool& unexpected)
{
    unexpected = unexpected || queue.empty();
    if (queue.empty())
        return none;
    T first = queue.front();
    queue.pop_front();
    return first;
}

} // namespace

int Script::msgBox(QWidget*, const QString& prompt, int style)
{
    messages.append({style, prompt});
    if ((style & 7) == platform::MsgBox::OkOnly)
        return platform::MsgBox::Ok;
    return take(answers, int(platform::MsgBox::Cancel), unexpected);
}

std::optional<QString> Script::fileDialog(QWidget*, const platform::FileDialogRequest& request)
{
    dialogs.append(request);
    for (;;) { // a refused file keeps the dialog open for the next
        const QString chosen = take(files, QString(), unexpected);
        if (chosen.isEmpty() || !request.confirm || request.confirm(chosen))
            return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
    }
}

bool Script::said(int style, const QString& part, const QString& also)
{
    if (messages.isEmpty())
        return false;
    const auto [shownStyle, prompt] = messages.takeFirst();
    if (shownStyle == style && prompt.contains(part) && prompt.contains(also))
        return true;
    qWarning("message box %d \"%s\", expected %d with \"%s\"", shownStyle, qPrintable(prompt),
             style, qPrintable(part));
    return false;
}

void Fixture::start()
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
    folder = QDir::currentPath();
    script = Script();
    dir = std::make_unique<QTemporaryDir>();
    keyboard = std::make_unique<platform::KeyboardRules>(script);
    QCoreApplication::instance()->installEventFilter(keyboard.get());
    program = std::make_unique<Program>(script);
    program->frmMain.Show();
    main = program->frmMain.get();
    QVERIFY(QTest::qWaitForWindowActive(main));
}

bool Fixture::finish()
{
    program.reset();
    keyboard.reset();
    QDir::setCurrent(folder);
    for (const auto& [style, prompt] : std::as_const(script.messages))
        qWarning("unchecked message box %d \"%s\"", style, qPrintable(prompt));
    return !script.unexpected && script.answers.empty() && script.files.empty() &&
           script.messages.isEmpty();
}

QString Fixture::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

QByteArray Fixture::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
