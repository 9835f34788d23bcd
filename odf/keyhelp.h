#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

namespace platform {

class RichTextBox;

// What each key of an ODF means, from the comment lines that a template puts
// above the key or above its group of keys, shown in a call tip when the
// mouse rests on the key in the text or F1 is pressed with the caret in it.
// Escape, typing, the caret leaving the key, the mouse moving away and the
// focus leaving hide the tip. While it is shown, the tip is the text's
// accessible description, so that a screen reader hears it. Keys are matched
// exactly, in the case the template writes them.
class KeyHelp : public QObject
{
    Q_OBJECT
public:
    KeyHelp(RichTextBox* box, const QString& templateText);

    // Each key of the template with its comment lines, one to a line.
    static QHash<QByteArray, QString> parse(const QString& templateText);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool show(long position, bool byMouse);
    void hide();
    void applyColours();

    RichTextBox* m_box;
    QHash<QByteArray, QString> m_help;
    long m_keyStart = -1; // the key whose tip is shown, or -1
    long m_keyEnd = -1;
    bool m_byMouse = false;
};

} // namespace platform
