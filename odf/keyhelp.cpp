#include "odf/keyhelp.h"

#include "odf/odfstyler.h"
#include "platform/text/richtextbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>

namespace platform {
namespace {

using Sci = QsciScintillaBase;

// A key's line is read up to this many bytes: the key comes first.
constexpr long kKeyLine = 4096;

bool isComment(const QByteArray& line)
{
    return line.trimmed().startsWith("//");
}

// "//" and asterisks: a banner that opens a section or divides the text.
bool isBanner(const QByteArray& line)
{
    const QByteArray rest = line.trimmed().mid(2);
    return isComment(line) && !rest.isEmpty() &&
           std::all_of(rest.begin(), rest.end(), [](char c) { return c == '*'; });
}

} // namespace

KeyHelp::KeyHelp(RichTextBox* box, const QString& templateText)
    : QObject(box), m_box(box), m_help(parse(templateText))
{
    m_box->SendScintilla(Sci::SCI_SETMOUSEDWELLTIME,
                         long(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay)));
    applyColours();
    m_box->installEventFilter(this);
    connect(m_box, &RichTextBox::looksChanged, this, &KeyHelp::applyColours);
    connect(m_box, &RichTextBox::Change, this, &KeyHelp::hide);
    connect(m_box, &Sci::SCN_DWELLSTART, this, [this](int position) { show(position, true); });
    connect(m_box, &Sci::SCN_DWELLEND, this, [this] {
        if (m_byMouse)
            hide();
    });
    connect(m_box, &Sci::SCN_UPDATEUI, this, [this] {
        const long caret = m_box->SendScintilla(Sci::SCI_GETCURRENTPOS);
        if (m_keyStart >= 0 && !m_byMouse && (caret < m_keyStart || caret > m_keyEnd))
            hide();
    });
}

// A key's help is the run of comment lines just above it, or above the group
// of key lines it belongs to, where an empty line may stand between the
// comments and the group. A banner ends the run, and so does a section's
// title, the comment line just after a banner.
QHash<QByteArray, QString> KeyHelp::parse(const QString& templateText)
{
    QByteArray text = templateText.toUtf8();
    const QList<QByteArray> lines = text.replace("\r\n", "\n").replace('\r', '\n').split('\n');
    QHash<QByteArray, QString> help;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView key = OdfStyler::keyOf(lines[i]);
        if (key.isEmpty())
            continue;
        qsizetype above = i; // the first line of the group
        while (above > 0 && !lines[above - 1].trimmed().isEmpty() && !isComment(lines[above - 1]))
            --above;
        if (above > 1 && lines[above - 1].trimmed().isEmpty() && isComment(lines[above - 2]))
            --above;
        QStringList comments;
        for (; above > 0 && isComment(lines[above - 1]) && !isBanner(lines[above - 1]) &&
               !(above > 1 && isBanner(lines[above - 2]));
             --above)
            comments.prepend(QString::fromUtf8(lines[above - 1].trimmed().mid(2).trimmed()));
        if (!comments.isEmpty())
            help.insert(key.toByteArray(), comments.join(u'\n'));
    }
    return help;
}

bool KeyHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        hide();
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (key->key() == Qt::Key_Escape) {
            hide();
        } else if (key->key() == Qt::Key_F1 && plain) {
            hide();
            show(m_box->SendScintilla(Sci::SCI_GETCURRENTPOS), false);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// Shows the help of the key at a position, if there is one.
bool KeyHelp::show(long position, bool byMouse)
{
    if (position < 0)
        return false;
    RichTextBox& box = *m_box;
    const long line =
        box.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    const long start =
        box.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long length = std::min(
        box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line)) - start,
        kKeyLine);
    const auto* text = reinterpret_cast<const char*>( // NOLINT(performance-no-int-to-ptr)
        box.SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), length));
    const QByteArrayView key = OdfStyler::keyOf(QByteArrayView(text, length));
    const QString help = m_help.value(key.toByteArray());
    const long keyStart = start + long(key.data() - text);
    const long keyEnd = keyStart + long(key.size());
    if (key.isEmpty() || help.isEmpty() || position < keyStart || position > keyEnd)
        return false;
    m_keyStart = keyStart;
    m_keyEnd = keyEnd;
    m_byMouse = byMouse;
    box.SendScintilla(Sci::SCI_CALLTIPSHOW, static_cast<uintptr_t>(keyStart),
                      help.toUtf8().constData());
    box.setAccessibleDescription(help);
    return true;
}

void KeyHelp::hide()
{
    if (m_keyStart < 0)
        return;
    m_keyStart = m_keyEnd = -1;
    m_box->SendScintilla(Sci::SCI_CALLTIPCANCEL);
    m_box->setAccessibleDescription(QString());
}

void KeyHelp::applyColours()
{
    const QPalette& palette = m_box->palette();
    m_box->SendScintilla(Sci::SCI_CALLTIPSETBACK, palette.color(QPalette::ToolTipBase));
    m_box->SendScintilla(Sci::SCI_CALLTIPSETFORE, palette.color(QPalette::ToolTipText));
}

} // namespace platform
