#pragma once

// What the test programs share: the program with scripted services, its main
// window shown, and a scratch folder, fresh for every test function; the
// process's current folder is put back after each.
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/forms/keyboard.h"
#include "platform/forms/services.h"

#include <QTemporaryDir>
#include <deque>
#include <memory>

// Message boxes and file dialogs answered from queues ("" cancels a dialog).
// Every message box shown is kept until a test checks it with said(); a
// question nobody scripted is answered Cancel and fails the test.
class Script : public platform::Services
{
public:
    std::deque<int> answers;
    std::deque<QString> files;
    QList<std::pair<int, QString>> messages; // style and prompt
    QList<platform::FileDialogRequest> dialogs;
    int beeps = 0;
    int ends = 0;
    bool unexpected = false;

    int msgBox(QWidget* parent, const QString& prompt, int style) override;
    std::optional<QString> fileDialog(QWidget* parent,
                                      const platform::FileDialogRequest& request) override;
    void beep() override { ++beeps; }
    void end() override { ++ends; }
    // Takes the oldest message shown; true when it has the style and holds the texts.
    bool said(int style, const QString& part, const QString& also = {});
};

class Fixture
{
public:
    Script script;
    std::unique_ptr<QTemporaryDir> dir;
    QString folder; // the process's current folder before the test
    std::unique_ptr<Program> program;
    std::unique_ptr<platform::KeyboardRules> keyboard; // as the application has them
    FrmMain* main = nullptr;

    void start();
    // False when a question went unanswered, an answer unused or a message unchecked.
    bool finish();
    QString path(const QString& name) const { return dir->filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const;
    static QByteArray read(const QString& path);
};

// Hides a file the system's way: a leading dot on Unix, an attribute on
// Windows. Returns its path.
QString hide(const QString& path);

#ifdef Q_OS_WIN
// Holds a file open as another program would, sharing it with nobody.
std::shared_ptr<void> holdOpen(const QString& path);
#endif
