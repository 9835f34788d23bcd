#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTest>

int ScriptedServices::msgBox(QWidget*, const QString& prompt, int style)
{
    messages.append({prompt, style});
    if ((style & 0x7) == platform::MsgBox::OkOnly)
        return platform::MsgBox::Ok; // a box with one button asks nothing
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

void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
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
