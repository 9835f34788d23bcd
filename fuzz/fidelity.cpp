#include "fidelity.h"

#include "editor/frmfind.h"
#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/forms/runtimeerror.h"
#include "platform/forms/services.h"
#include "platform/text/richtextbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace fidelity {
namespace {

// The actions, the Insert commands first, in the order of their menu and of
// what they append.
const QString kOps = QStringLiteral("is/#tdpcurnae");
const QStringList kSnippets = {QStringLiteral("#include \".odf\""),
                               QStringLiteral("//") + QString(53, u'*'), QStringLiteral("//"),
                               QStringLiteral("#")};
// What the steps type ('\n' is Return) and paste.
const QStringList kTyped = QStringLiteral("a|Z| |=|1|\"|\t|é|€|中|\n").split(u'|');
const QStringList kPasted =
    QStringLiteral("\r|\n|x|\t|\0|é|€|\u0081|\u0085|\u2028|\u2029|\uFDD0|😀|\u00A0").split(u'|');

// What Replace and Replace All look for, and put in.
const QStringList kSought = QStringLiteral("a|A|é|É|1|_| |=").split(u'|');
const QStringList kReplacing = QStringLiteral("x|é|中|_").split(u'|');

struct Search
{
    QString find;
    QString replacement;
    bool matchCase = false;
    bool wholeWord = false;
};

// Whether a match of the model starts at character i: every character
// folded unless the case must match, and with Whole Word not continued by a
// letter, digit, mark or "_" on either side.
bool matchesAt(const QList<uint>& text, qsizetype i, const Search& search)
{
    const QList<uint> find = search.find.toUcs4();
    const auto fold = [&search](uint c) { return search.matchCase ? c : QChar::toCaseFolded(c); };
    const auto word = [](uint c) {
        return QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == '_';
    };
    const qsizetype end = i + find.size();
    if (i < 0 || end > text.size() ||
        !std::equal(find.begin(), find.end(), text.begin() + i,
                    [&fold](uint a, uint b) { return fold(a) == fold(b); }))
        return false;
    return !(search.wholeWord && ((word(find.front()) && i > 0 && word(text[i - 1])) ||
                                  (word(find.back()) && end < text.size() && word(text[end]))));
}

// The model's matches: from the start, none overlapping.
QList<qsizetype> matches(const QList<uint>& text, const Search& search)
{
    QList<qsizetype> found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (matchesAt(text, i, search)) {
            found.append(i);
            i += search.find.toUcs4().size() - 1;
        }
    }
    return found;
}

// Whether every line of a text is short enough to edit: the control refuses
// an edit that would make a longer one, and changes nothing.
bool linesFit(const QString& text)
{
    qsizetype length = 0;
    for (const char c : text.toUtf8()) {
        length = c == '\r' || c == '\n' ? 0 : length + 1;
        if (length > platform::kMaxLineLength)
            return false;
    }
    return true;
}

// The main window driven by a script, and the model beside it: the states of
// the text since the last Open or New, of which the control is at m_hi or, as
// Undo and Redo may go several states at once, at an earlier one of the same
// text.
class Runner
{
public:
    Runner(const QByteArray& file, const QString& folder)
        : m_program(m_services), m_main(*m_program.frmMain.Load()),
          m_out(folder + QStringLiteral("/out.odf")), m_format(platform::detectFormat(file))
    {
        QFile in(folder + QStringLiteral("/in.odf"));
        if (in.open(QIODevice::WriteOnly | QIODevice::Truncate))
            in.write(file);
        in.close();
        m_program.frmMain.Show();
        m_main.rtfBox->LoadFile(in.fileName()); // as File, Open does once it has asked
        m_states = {m_main.rtfBox->Text()};     // which the first check holds to the file
        check(QStringLiteral("Open: opened"), file);
    }

    QString play(const QString& script, QByteArray* saved)
    {
        m_script = script.left(200);
        while (m_failure.isEmpty() && m_next < m_script.size()) {
            const QChar c = next();
            perform((kOps.contains(c) ? c : kOps[c.unicode() % kOps.size()]).toLatin1());
        }
        if (saved != nullptr)
            *saved = m_saved;
        // Enough presses to undo (redo) every step and every typed character.
        for (qsizetype i = 0; i <= m_next; ++i)
            press(Qt::Key_Z, Qt::ControlModifier);
        check(QStringLiteral("after undoing all, opened"), expected(m_states.front()));
        for (qsizetype i = 0; i <= m_next; ++i)
            press(Qt::Key_Y, Qt::ControlModifier);
        check(QStringLiteral("after redoing all, the model's"), expected(m_states.back()));
        return m_failure;
    }

private:
    QChar next() { return m_next < m_script.size() ? m_script[m_next++] : QChar(); }

    void press(int key, Qt::KeyboardModifiers modifiers = {}, const QString& text = QString())
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(m_main.rtfBox, &event);
    }

    // What Save As should write for a text; for one that it cannot encode,
    // what check() puts in its place.
    QByteArray expected(const QString& text) const
    {
        QByteArray out = m_format.byteOrderMark ? "\xEF\xBB\xBF" : "";
        if (m_format.encoding == platform::Encoding::Utf8)
            return out + text.toUtf8();
        return platform::appendUtf8AsCp1252(text.toUtf8(), out) ? out
                                                                : "<unencodable> " + text.toUtf8();
    }

    // Keeps the first difference between what Save As writes and the model.
    void check(const QString& what, const QByteArray& model)
    {
        m_main.rtfBox->viewport()->repaint(); // colours what the edit left on screen
        try {
            m_main.rtfBox->SaveFile(m_out);
            QFile file(m_out);
            m_saved = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
        } catch (const platform::RuntimeError&) {
            m_saved = "<unencodable> " + m_main.rtfBox->Text().toUtf8();
        }
        const auto shown = [](const QByteArray& b) {
            return QString::fromLatin1(b.toPercentEncoding(" =\"#/*<>"));
        };
        if (m_saved != model && m_failure.isEmpty())
            m_failure = QStringLiteral("script at %1: %2 \"%3\", saved \"%4\"")
                            .arg(QString::number(m_next), what, shown(model), shown(m_saved));
    }

    // Does one step on the control and the model.
    void perform(char op)
    {
        const qsizetype insert = kOps.indexOf(QLatin1Char(op));
        QStringList states; // each state that an edit goes through
        if (insert < kSnippets.size()) {
            m_main.mnuInsert->actions().at(insert)->trigger(); // appends at the very end
            states = {m_states[m_hi] + kSnippets[insert]};
            if (!linesFit(states.front()))
                states.clear();
        } else if (op == 't' || op == 'd' || op == 'p') {
            states = caretAction(op);
        } else if (op == 'c' && !m_states[m_hi].isEmpty()) { // not on an empty text: engines
            m_main.cmdClear->click(); // may or may not keep what Redo would bring back
            states = {QString()};
        } else if (op == 'n') {
            m_main.blnChanged = false; // as if No to "Save Changes?"
            m_main.mnuNew->trigger();
            m_format = platform::TextFormat();
            m_states = {QString()};
            m_hi = 0;
        } else if (op == 'a' || op == 'e') {
            states = replace(op == 'a', nextSearch());
        } else if (op == 'u' || op == 'r') {
            press(op == 'u' ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
            // Undo goes to a state up to m_hi, Redo to any; checked below.
            const size_t end = op == 'u' ? m_hi + 1 : m_states.size();
            for (size_t i = 0; i < end; ++i)
                m_hi = m_states[i] == m_main.rtfBox->Text() ? i : m_hi;
        }
        if (!states.isEmpty()) { // an edit ends the redo history
            m_states.resize(m_hi + 1);
            m_states.insert(m_states.end(), states.begin(), states.end());
            m_hi = m_states.size() - 1;
        }
        check(QStringLiteral("the model's"), expected(m_states[m_hi]));
    }

    // Type, Delete and Paste: the caret goes with Right from the start, the
    // selection with Shift+Right; where they went is taken from the control,
    // whose text is the model's. Returns the states that the edit goes through.
    QStringList caretAction(char op)
    {
        // The arrows step through U+FDD0, a noncharacter, a byte at a time: in
        // a text that holds one they are not pressed.
        const int arrows = m_states[m_hi].contains(QChar(0xFDD0)) ? 0 : 1;
        press(Qt::Key_Home, Qt::ControlModifier);
        for (int n = ((next().unicode() - '0') & 63) * arrows; n > 0; --n)
            press(Qt::Key_Right);
        for (int n = ((next().unicode() - '0') & 3) * arrows; n > 0; --n)
            press(Qt::Key_Right, Qt::ShiftModifier);
        QString s = m_states[m_hi];
        auto [pos, end] =
            std::minmax({m_main.rtfBox->anchorPosition(), m_main.rtfBox->cursorPosition()});
        if (op == 'd' && pos == end && pos < s.size()) // Delete takes a CR LF whole
            end += s.mid(pos, 2) == u"\r\n" || s[pos].isHighSurrogate() ? 2 : 1;
        if (op == 'd' && pos == end)
            return {}; // nothing to delete: no edit
        if (op != 'd')
            return typeOrPaste(op, s, pos, end);
        press(Qt::Key_Delete);
        s.remove(pos, end - pos);
        return linesFit(s) ? QStringList{s} : QStringList();
    }

    // The options ("0".."3": Match Case, Whole Word), then "1".."3" characters
    // to find and "0".."3" to put in, each itself when the list holds it.
    Search nextSearch()
    {
        Search search;
        const int options = next().unicode() - '0';
        search.matchCase = (options & 1) != 0;
        search.wholeWord = (options & 2) != 0;
        for (int n = ((next().unicode() - '1') % 3 + 3) % 3 + 1; n > 0; --n) {
            const QChar c = next();
            search.find += kSought.contains(c) ? QString(c) : kSought[c.unicode() % kSought.size()];
        }
        for (int n = (next().unicode() - '0') & 3; n > 0; --n) {
            const QChar c = next();
            search.replacement +=
                kReplacing.contains(c) ? QString(c) : kReplacing[c.unicode() % kReplacing.size()];
        }
        return search;
    }

    // Replace All, or one press of Replace: the selection, when it is a
    // match, is replaced, and the next match selected. Returns the states
    // that the text goes through.
    QStringList replace(bool all, const Search& search)
    {
        m_main.mnuReplace->trigger();
        FrmFind* window = m_program.frmFind.get();
        window->txtFind->setText(search.find);
        window->txtReplace->setText(search.replacement);
        window->chkMatchCase->setChecked(search.matchCase);
        window->chkWholeWord->setChecked(search.wholeWord);
        const QList<uint> text = m_states[m_hi].toUcs4();
        const qsizetype length = search.find.toUcs4().size();
        const auto [from, to] = selection();
        QList<qsizetype> replaced = all ? matches(text, search) : QList<qsizetype>();
        if (!all && to - from == length && matchesAt(text, from, search))
            replaced = {from};
        (all ? window->cmdReplaceAll : window->cmdReplace)->click();
        const auto [start, end] = selection();
        window->cmdCancel->click();
        // What Replace selects is a match, unless it found none and left the
        // selection as it was.
        if (!all && end > start && std::pair(start, end) != std::pair(from, to) &&
            (end - start != length || !matchesAt(m_main.rtfBox->Text().toUcs4(), start, search)))
            m_failure = QStringLiteral("script at %1: Replace selected no match").arg(m_next);
        if (replaced.isEmpty())
            return {};
        QList<uint> result;
        qsizetype at = 0;
        for (const qsizetype match : replaced) {
            result += text.mid(at, match - at) + search.replacement.toUcs4();
            at = match + length;
        }
        result += text.mid(at);
        const QString changed =
            QString::fromUcs4(reinterpret_cast<const char32_t*>(result.constData()), result.size());
        return linesFit(changed) ? QStringList{changed} : QStringList();
    }

    // The selection in characters of the control's text.
    std::pair<qsizetype, qsizetype> selection() const
    {
        const QString text = m_main.rtfBox->Text();
        const auto [from, to] =
            std::minmax({m_main.rtfBox->anchorPosition(), m_main.rtfBox->cursorPosition()});
        return {text.left(from).toUcs4().size(), text.left(to).toUcs4().size()};
    }

    // Types the characters that the script gives, or pastes them, over
    // [pos, end) in s; returns the states that the text goes through.
    QStringList typeOrPaste(char op, QString s, qsizetype pos, qsizetype end)
    {
        QStringList states;
        // Each key, and the paste, replaces the selection, unless a line
        // would grow too long: then nothing changes.
        const auto edit = [&](const QString& text) {
            const QString after = QString(s).replace(pos, end - pos, text);
            if (!linesFit(after))
                return;
            if (end > pos)
                states += QString(s).remove(pos, end - pos);
            states += s = after;
            end = pos += text.size();
        };
        QString chars;
        const QStringList& alphabet = op == 't' ? kTyped : kPasted;
        for (int n = ((next().unicode() - '1') & 7) + 1; n > 0; --n) {
            const QChar c = next();
            chars += alphabet.contains(c) ? QString(c) : alphabet[c.unicode() % alphabet.size()];
        }
        // Return and every pasted CR LF, LF or CR give the main line break.
        const QString lineBreak = platform::lineEndingText(m_format.lineEnding).toString();
        for (const QChar c : op == 't' ? chars : QString()) {
            const int key = c == u'\n' ? int(Qt::Key_Return) : (c == u'\t' ? int(Qt::Key_Tab) : 0);
            press(key, {}, c == u'\n' ? QStringLiteral("\r") : QString(c));
            edit(c == u'\n' ? lineBreak : QString(c));
        }
        if (op == 'p') {
            QApplication::clipboard()->setText(chars);
            press(Qt::Key_V, Qt::ControlModifier);
            chars.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
            edit(chars.replace(u'\n', lineBreak));
        }
        return states;
    }

    platform::SystemServices m_services; // no step asks anything; a search may beep
    Program m_program;
    FrmMain& m_main;
    QString m_out;
    platform::TextFormat m_format;
    std::vector<QString> m_states;
    size_t m_hi = 0;
    QString m_script;
    qsizetype m_next = 0; // the script's next character
    QByteArray m_saved;   // what Save As wrote last
    QString m_failure;    // the first difference
};

} // namespace

QString run(const QByteArray& file, const QString& script, const QString& folder, QByteArray* saved)
{
    return Runner(file, folder).play(script, saved);
}

} // namespace fidelity
