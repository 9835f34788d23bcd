#pragma once

#include "platform/services.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

// Services that a test scripts: dialogs and message boxes take their answers
// from queues, and the beep and the end of the program are only counted. A
// question that nobody scripted fails the test instead of blocking it.
class ScriptedServices : public platform::Services
{
public:
    struct Message
    {
        QString prompt;
        int style;
    };

    std::deque<int> answers;                    // next message box answers
    std::deque<QString> fileNames;              // next dialog results; empty = Cancel
    QList<Message> messages;                    // every message box shown
    QList<platform::FileDialogRequest> dialogs; // every file dialog shown
    int beeps = 0;
    int ends = 0;
    bool unexpected = false;

    int msgBox(QWidget* parent, const QString& prompt, int style) override;
    std::optional<QString> fileDialog(QWidget* parent,
                                      const platform::FileDialogRequest& request) override;
    void beep() override { ++beeps; }
    void end() override { ++ends; }
};

// Types text that QTest::keyClicks cannot spell (anything beyond ASCII).
void typeText(QWidget* widget, const QString& text);

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
