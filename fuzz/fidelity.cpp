#include "fidelity.h"

#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/richtextbox.h"
#include "platform/runtimeerror.h"
#include "platform/services.h"
#include "platform/textcodec.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

namespace fidelity {
namespace {

constexpr size_t kMaxSteps = 48;
const QByteArray kUnencodable("<not encodable> ");
// What the scripts type ('\n' is Return) and paste, picked by index.
const QString kTyped = QStringLiteral("aZ =1\"\té€中\n\n");
const QStringList kPasted =
    QStringLiteral("\r|\n|x|\t|\0|é|€|\u0081|\u0085|\u2028|\u2029|\uFDD0|😀|\u00A0").split(u'|');
const QStringList kNames = QStringLiteral("Type|Delete|Backspace|Paste|Clear|Include Line|Item "
                                          "Separator|//|#|Undo|Redo|Select All and Delete|New")
                               .split(u'|');

// The main window driven by the steps, and the model beside it: the states of
// the text since the last Open or New, of which the control is at one from
// m_lo to m_hi (Undo and Redo may go several states at once).
class Runner
{
public:
    Runner(const Input& input, const QString& folder)
        : m_program(m_services), m_out(folder + QStringLiteral("/out.odf"))
    {
        const QString path = folder + QStringLiteral("/in.odf");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(input.file);
        file.close();
        m_program.frmMain.Show();
        m_main = m_program.frmMain.get();
        m_main->rtfBox->LoadFile(path); // what File, Open does once its questions are answered
        const platform::TextFormat format = platform::detectFormat(input.file);
        const QByteArrayView body = platform::withoutByteOrderMark(input.file, format);
        QByteArray utf8;
        if (format.encoding == platform::Encoding::Utf8)
            utf8 = body.toByteArray();
        else
            platform::appendCp1252AsUtf8(body, utf8);
        reset(input.file, QString::fromUtf8(utf8), format);
    }

    static QString escaped(const QByteArray& bytes)
    {
        return QString::fromLatin1(bytes.toPercentEncoding(" =\"#/*<>"));
    }

    // What Save As wrote, or the text itself when Save As refused it.
    QByteArray observe()
    {
        try {
            m_main->rtfBox->SaveFile(m_out, platform::RichTextBox::PlainText);
        } catch (const platform::RuntimeError&) {
            return saved = kUnencodable + m_main->rtfBox->Text().toUtf8();
        }
        QFile file(m_out);
        return saved = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
    }

    // Does one step on the control and the model; returns what differed.
    QString perform(const Step& step)
    {
        // Clearing an empty text is left out: engines may or may not keep
        // what Redo would bring back.
        const bool empty = text().isEmpty();
        if (step.op <= Op::Paste) {
            caretAction(step);
        } else if (step.op == Op::Clear && !empty) {
            m_main->cmdClear->click();
            edit({QString()});
        } else if (step.op >= Op::Include && step.op <= Op::Hash) {
            insert(step.op);
        } else if (step.op == Op::SelectAllDelete && !empty) {
            m_main->mnuSelectAll->trigger();
            press(Qt::Key_Delete);
            edit({QString()});
        } else if (step.op == Op::New) {
            m_main->blnChanged = false; // as if No to "Save Changes?"
            m_main->mnuNew->trigger();
            reset(QByteArray(), QString(), platform::TextFormat());
        } else if (step.op == Op::Undo || step.op == Op::Redo) {
            press(step.op == Op::Undo ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
            if (travel(observe(), step.op == Op::Undo))
                return QString();
            return QStringLiteral("no state of the model gives \"%1\"").arg(escaped(saved));
        }
        return differs(QStringLiteral("the model's"), expected(text()));
    }

    // Undoes and then redoes every edit, with enough presses for the steps.
    QString finish(int presses)
    {
        for (int i = 0; i < presses; ++i)
            press(Qt::Key_Z, Qt::ControlModifier);
        const QString undone = differs(QStringLiteral("after undoing all, opened"), m_base);
        for (int i = 0; i < presses && undone.isEmpty(); ++i)
            press(Qt::Key_Y, Qt::ControlModifier);
        return !undone.isEmpty() ? undone
                                 : differs(QStringLiteral("after redoing all, the model's"),
                                           expected(m_states.back()));
    }

    // Compares what Save As writes with what it should.
    QString differs(const QString& what, const QByteArray& model)
    {
        if (observe() == model)
            return QString();
        return QStringLiteral("%1 \"%2\", saved \"%3\"").arg(what, escaped(model), escaped(saved));
    }

    QByteArray saved;

private:
    // Characters that are one caret step each, left to right, in every
    // engine: no combining marks, surrogates, joiners or right-to-left text.
    static bool isPlain(QChar c)
    {
        const char16_t u = c.unicode();
        return u < 0x300 || (u >= 0x2010 && u <= 0x2027) || (u >= 0x2030 && u <= 0x205E) ||
               u == 0x20AC || u == 0x2122 || (u >= 0x4E00 && u <= 0x9FFF);
    }

    // The length of the character after (before) pos: 2 for a CR LF.
    static qsizetype unit(const QString& s, qsizetype pos, bool after)
    {
        if (after ? pos >= s.size() : pos <= 0)
            return 0;
        return s.mid(after ? pos : pos - 2, 2) == u"\r\n" ? 2 : 1;
    }

    void reset(const QByteArray& base, const QString& text, const platform::TextFormat& format)
    {
        m_base = base;
        m_format = format;
        m_states = {text};
        m_lo = m_hi = 0;
    }
    const QString& text() const { return m_states[m_hi]; }
    QString lineBreak() const { return platform::lineEndingText(m_format.lineEnding).toString(); }

    // What Save As should write for a text (see observe()).
    QByteArray expected(const QString& text) const
    {
        QByteArray out;
        if (m_format.encoding == platform::Encoding::Utf8 && m_format.byteOrderMark)
            out = "\xEF\xBB\xBF";
        if (m_format.encoding == platform::Encoding::Utf8)
            return out + text.toUtf8();
        return platform::appendUtf8AsCp1252(text.toUtf8(), out) ? out
                                                                : kUnencodable + text.toUtf8();
    }

    // An edit ends the redo history; states lists every state it passes.
    void edit(const QStringList& states)
    {
        m_states.resize(m_hi + 1);
        m_states.insert(m_states.end(), states.begin(), states.end());
        m_lo = m_hi = m_states.size() - 1;
    }

    // Undo (back) or Redo went to some state before m_hi (after m_lo).
    bool travel(const QByteArray& observed, bool back)
    {
        const size_t end = back ? m_hi + 1 : m_states.size();
        size_t lo = end;
        for (size_t i = back ? 0 : m_lo; i < end; ++i) {
            if (expected(m_states[i]) == observed) {
                lo = std::min(lo, i);
                m_hi = i;
            }
        }
        m_lo = lo == end ? m_lo : lo;
        return lo != end;
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               const QString& text = QString())
    {
        QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(m_main->rtfBox, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(m_main->rtfBox, &up);
    }

    // Puts the caret and the selection with the keys, the arrows only in a
    // text of plain characters; returns the selection.
    std::pair<qsizetype, qsizetype> place(const Step& step, bool plain)
    {
        const QString& s = text();
        const bool forward = step.at >= 0;
        press(forward ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
        qsizetype pos = forward ? 0 : s.size();
        for (int n = forward ? step.at : ~step.at; plain && n > 0 && unit(s, pos, forward); --n) {
            press(forward ? Qt::Key_Right : Qt::Key_Left);
            pos += forward ? unit(s, pos, true) : -unit(s, pos, false);
        }
        qsizetype end = pos;
        for (int n = step.extent; plain && n > 0 && end < s.size(); --n) {
            press(Qt::Key_Right, Qt::ShiftModifier);
            end += unit(s, end, true);
        }
        return {pos, end};
    }

    // Type, Delete, Backspace and Paste, at the caret or over the selection.
    void caretAction(const Step& step)
    {
        QString s = text();
        const bool plain = std::all_of(s.begin(), s.end(), isPlain);
        auto [pos, end] = place(step, plain);
        if (step.op == Op::Delete || step.op == Op::Backspace) {
            if (pos == end && plain && step.op == Op::Delete)
                end += unit(s, pos, true);
            else if (pos == end && plain)
                pos -= unit(s, pos, false);
            if (pos == end)
                return; // nothing to remove, or nothing that every engine removes alike
            press(step.op == Op::Delete ? Qt::Key_Delete : Qt::Key_Backspace);
        }
        QStringList states = {s.remove(pos, end - pos)};
        if (step.op == Op::Paste) {
            QApplication::clipboard()->setText(step.text);
            if (step.viaMenu)
                m_main->mnuPaste_Click();
            else
                press(Qt::Key_V, Qt::ControlModifier);
            QString pasted = step.text;
            pasted.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
            states += s.insert(pos, pasted.replace(u'\n', lineBreak()));
        }
        if (step.op == Op::Type)
            type(step.text, s, pos, states);
        edit(states);
    }

    // Types the text into s at pos, adding a state after each key.
    void type(const QString& typed, QString& s, qsizetype pos, QStringList& states)
    {
        for (const QChar c : typed) {
            press(c == u'\n'   ? int(Qt::Key_Return)
                  : c == u'\t' ? int(Qt::Key_Tab)
                               : 0,
                  Qt::NoModifier, c == u'\n' ? QStringLiteral("\r") : QString(c));
            const QString piece = c == u'\n' ? lineBreak() : QString(c);
            states += s.insert(pos, piece);
            pos += piece.size();
        }
    }

    // Each Insert command appends its snippet to the end of the text.
    void insert(Op op)
    {
        const std::pair<QAction * FrmMain::*, QString> commands[] = {
            {&FrmMain::mnuInclude, QStringLiteral("#include \".odf\"")},
            {&FrmMain::mnuItemSeparator, QStringLiteral("//") + QString(53, u'*')},
            {&FrmMain::mnudoubleslash, QStringLiteral("//")},
            {&FrmMain::mnuhash, QStringLiteral("#")}};
        const auto& [item, snippet] = commands[int(op) - int(Op::Include)];
        (m_main->*item)->trigger();
        edit({text() + snippet});
    }

    platform::SystemServices m_services; // never called: no step asks anything
    Program m_program;
    QString m_out;
    FrmMain* m_main = nullptr;
    QByteArray m_base;
    platform::TextFormat m_format;
    std::vector<QString> m_states;
    size_t m_lo = 0;
    size_t m_hi = 0;
};

} // namespace

Input decode(const QByteArray& data)
{
    Input input;
    qsizetype i = 0;
    const auto next = [&data, &i] { return ++i <= data.size() ? quint8(data[i - 1]) : 0; };
    int length = next();
    length |= next() << 8;
    input.file = data.mid(i, length % (std::max(data.size() - i, qsizetype(0)) + 1));
    i += input.file.size();
    while (i < data.size() && input.steps.size() < kMaxSteps) {
        Step step;
        step.op = Op(next() % int(Op::Count));
        if (step.op <= Op::Paste) {
            const int at = next();
            step.at = (at & 1) != 0 ? ~(at >> 1) : at >> 1;
            const int extent = next();
            step.extent = (extent & 0x10) != 0 ? extent >> 5 : 0;
            step.viaMenu = (extent & 1) != 0;
        }
        for (int n = step.op == Op::Type || step.op == Op::Paste ? next() % 8 + 1 : 0; n > 0; --n)
            step.text += step.op == Op::Type ? QString(kTyped[next() % kTyped.size()])
                                             : kPasted[next() % kPasted.size()];
        input.steps.push_back(step);
    }
    return input;
}

Outcome run(const Input& input, const QString& folder)
{
    Outcome outcome;
    Runner runner(input, folder);
    if (runner.observe() != input.file)
        outcome.failure = QStringLiteral("Open: saved \"%1\"").arg(Runner::escaped(runner.saved));
    int presses = 1;
    for (size_t i = 0; i < input.steps.size() && outcome.failure.isEmpty(); ++i) {
        const Step& step = input.steps[i];
        presses += int(step.text.size()) + 2;
        const QString failure = runner.perform(step);
        if (!failure.isEmpty()) {
            outcome.failure = QString::asprintf(
                "step %d (%ls at %d+%d%s \"%ls\"): %ls", int(i + 1),
                qUtf16Printable(kNames[int(step.op)]), step.at, step.extent,
                step.viaMenu ? ", menu" : "", qUtf16Printable(Runner::escaped(step.text.toUtf8())),
                qUtf16Printable(failure));
        }
    }
    outcome.saved = runner.saved;
    if (outcome.failure.isEmpty())
        outcome.failure = runner.finish(presses);
    return outcome;
}

} // namespace fidelity
