#include "testsupport.h"

#include <QFile>
#include <QTest>

int Script::msgBox(QWidget*, const QString& prompt, int style)
{
    messages.append({style, prompt});
    if ((style & 7) == platform::MsgBox::OkOnly)
        return platform::MsgBox::Ok;
    unexpected = unexpected || answers.empty();
    const int answer = answers.empty() ? int(platform::MsgBox::Cancel) : answers.front();
    if (!answers.empty())
        answers.pop_front();
    return answer;
}

std::optional<QString> Script::fileDialog(QWidget*, const platform::FileDialogRequest& request)
{
    dialogs.append(request);
    unexpected = unexpected || files.empty();
    const QString chosen = files.empty() ? QString() : files.front();
    if (!files.empty())
        files.pop_front();
    return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
}

bool Script::said(int style, const QString& part)
{
    if (messages.isEmpty())
        return false;
    const auto [shownStyle, prompt] = messages.takeFirst();
    if (shownStyle == style && prompt.contains(part))
        return true;
    qWarning("message box %d \"%s\", expected %d with \"%s\"", shownStyle, qPrintable(prompt),
             style, qPrintable(part));
    return false;
}

void Fixture::start()
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
    script = Script();
    dir = std::make_unique<QTemporaryDir>();
    program = std::make_unique<Program>(script);
    program->frmMain.Show();
    main = program->frmMain.get();
    QVERIFY(QTest::qWaitForWindowActive(main));
}

bool Fixture::finish()
{
    program.reset();
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
