#include "testsupport.h"

#include <QFile>
#include <QTest>

int ScriptedServices::msgBox(QWidget*, const QString& prompt, int style)
{
    messages.append({prompt, style});
    if (answers.empty()) {
        unexpected = true;
        qWarning("unscripted message box: %s", qPrintable(prompt));
        return platform::MsgBox::Cancel;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedServices::fileDialog(QWidget*,
                                                    const platform::FileDialogRequest& request)
{
    dialogs.append(request);
    if (fileNames.empty()) {
        unexpected = true;
        qWarning("unscripted file dialog: %s", qPrintable(request.title));
        return std::nullopt;
    }
    const QString name = fileNames.front();
    fileNames.pop_front();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}
