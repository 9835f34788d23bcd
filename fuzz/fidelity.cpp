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
#include <utility>

namespace fidelity {
namespace {

constexpr size_t kMaxSteps = 48;
const QByteArray kUnencodable("<not encodable> ");

const QStringList kTyped = {QStringLiteral("a"),  QStringLiteral("Z"),  QStringLiteral(" "),
                            QStringLiteral("="),  QStringLiteral("1"),  QStringLiteral("\""),
                            QStringLiteral("\t"), QStringLiteral("é"),  QStringLiteral("€"),
                            QStringLiteral("中"), QStringLiteral("\n"), QStringLiteral("\n")};
const QStringList kPasted = {
    QStringLiteral("\r\n"),   QStringLiteral("\n"),     QStringLiteral("\r"),
    QStringLiteral("x"),      QStringLiteral("\t"),     QString(QChar(0)),
    QStringLiteral("é"),      QStringLiteral("€"),      QString(QChar(0x81)),
    QString(QChar(0x85)),     QStringLiteral("\u2028"), QStringLiteral("\u2029"),
    QStringLiteral("\uFDD0"), QStringLiteral("😀"),      QStringLiteral("\u00A0")};
const char* const kNames[] = {"Type",  "Delete",  "Backspace",      "Paste",
                              "Clear", "Include", "Item Separator", "//",
                              "#",     "Undo",    "Redo",           "Select All and Delete",
                              "New"};

bool isBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Characters that are one caret step each, left to right, in every engine:
// no combining marks, surrogates, joiners, separators or right-to-left text.
bool isPlain(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x300 || (u >= 0x2010 && u <= 0x2027) || (u >= 0x2030 && u <= 0x205E) ||
           u == 0x20AC || u == 0x2122 || (u >= 0x4E00 && u <= 0x9FFF);
}

// Whether the line that holds pos is plain throughout, so that Left and Right
// step through it one character at a time in the order of the text.
bool lineIsPlain(const QString& s, qsizetype pos)
{
    while (pos > 0 && !isBreak(s[pos - 1]))
        --pos;
    for (; pos < s.size() && !isBreak(s[pos]); ++pos) {
        if (!isPlain(s[pos]))
            return false;
    }
    return true;
}

// What Delete (after) or Backspace (before) removes at pos without a
// selection: a whole CR LF, one break, or a character of a plain line; 0 where
// engines could differ.
qsizetype after(const QString& s, qsizetype pos)
{
    if (pos >= s.size())
        return 0;
    if (s[pos] == u'\r' && pos + 1 < s.size() && s[pos + 1] == u'\n')
        return 2;
    return isBreak(s[pos]) || lineIsPlain(s, pos) ? 1 : 0;
}

qsizetype before(const QString& s, qsizetype pos)
{
    if (pos <= 0)
        return 0;
    if (s[pos - 1] == u'\n' && pos >= 2 && s[pos - 2] == u'\r')
        return 2;
    return isBreak(s[pos - 1]) || lineIsPlain(s, pos) ? 1 : 0;
}

QString withBreaks(const QString& text, const QString& lineBreak)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        out += isBreak(text[i]) ? lineBreak : QString(text[i]);
    }
    return out;
}

QString escaped(const QByteArray& bytes)
{
    QString out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += b >= 0x20 && b < 0x7F && b != '\\'
                   ? QString(QChar(char16_t(b)))
                   : QStringLiteral("\\x%1").arg(b, 2, 16, QChar(u'0'));
    }
    return out;
}

// Opens the one file, says Yes to opening a file with NUL bytes and No to
// saving changes first.
class Answers : public platform::Services
{
public:
    explicit Answers(QString path) : m_path(std::move(path)) {}
    int msgBox(QWidget*, const QString&, int style) override
    {
        return (style & 7) == platform::MsgBox::YesNoCancel ? platform::MsgBox::No
                                                            : platform::MsgBox::Yes;
    }
    std::optional<QString> fileDialog(QWidget*, const platform::FileDialogRequest&) override
    {
        return m_path;
    }
    void beep() override {}
    void end() override {}

private:
    QString m_path;
};

// The states of the text since the last Open or New, and those that Undo and
// Redo can have reached: the control is at one state from lo to hi, each of
// which has its text.
class Model
{
public:
    Model(QByteArray base, const QString& text, const platform::TextFormat& format)
        : m_base(std::move(base)), m_format(format), m_states{text}
    {
    }

    const QString& text() const { return m_states[m_hi]; }
    const QByteArray& base() const { return m_base; }
    QString lineBreak() const { return platform::lineEndingText(m_format.lineEnding).toString(); }

    // What Save As writes for a text, or the text itself when the file's
    // encoding cannot hold it and Save As refuses.
    QByteArray expected(const QString& text) const
    {
        QByteArray out;
        if (m_format.encoding == platform::Encoding::Utf8 && m_format.byteOrderMark)
            out = "\xEF\xBB\xBF";
        if (!platform::encodeText(text, m_format.encoding, out))
            return kUnencodable + text.toUtf8();
        return out;
    }
    QByteArray expected() const { return expected(text()); }
    QByteArray last() const { return expected(m_states.back()); }

    // An edit ends the redo history; states lists every state it passes.
    void edit(const QStringList& states)
    {
        m_states.resize(size_t(m_hi) + 1);
        m_states.insert(m_states.end(), states.begin(), states.end());
        m_lo = m_hi = m_states.size() - 1;
    }

    // Undo (back) or Redo went to a state with the observed output.
    bool travel(const QByteArray& observed, bool back)
    {
        const size_t first = back ? 0 : m_lo;
        const size_t end = back ? m_hi + 1 : m_states.size();
        size_t lo = end;
        for (size_t i = first; i < end; ++i) {
            if (expected(m_states[i]) == observed) {
                lo = std::min(lo, i);
                m_hi = i;
            }
        }
        m_lo = lo == end ? m_lo : lo;
        return lo != end;
    }

private:
    QByteArray m_base;
    platform::TextFormat m_format;
    std::vector<QString> m_states;
    size_t m_lo = 0;
    size_t m_hi = 0;
};

Model opened(const QByteArray& file)
{
    const platform::DecodedText decoded = platform::decodeText(file);
    return Model(file, decoded.text, decoded.format);
}

class Runner
{
public:
    Runner(const Input& input, const QString& folder)
        : m_services(folder + QStringLiteral("/in.odf")), m_program(m_services),
          m_savePath(folder + QStringLiteral("/out.odf")), m_model(opened(input.file))
    {
        QFile file(folder + QStringLiteral("/in.odf"));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(input.file);
        file.close();
        m_program.frmMain.Show();
        m_main = m_program.frmMain.get();
        m_main->mnuOpen->trigger();
    }

    QString perform(const Step& step);
    QString finish(int presses);
    QByteArray observe();
    QByteArray saved;

private:
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               const QString& text = QString());
    std::pair<qsizetype, qsizetype> place(const Step& step);
    void type(const Step& step);
    void erase(const Step& step);
    void paste(const Step& step);
    void insert(Op op);

    Answers m_services;
    Program m_program;
    QString m_savePath;
    FrmMain* m_main = nullptr;
    Model m_model;
};

void Runner::press(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(m_main->rtfBox, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(m_main->rtfBox, &up);
}

QByteArray Runner::observe()
{
    try {
        m_main->rtfBox->SaveFile(m_savePath, platform::RichTextBox::PlainText);
    } catch (const platform::RuntimeError&) {
        return saved = kUnencodable + m_main->rtfBox->Text().toUtf8();
    }
    QFile file(m_savePath);
    return saved = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Puts the caret and the selection with the keys; returns the selection.
std::pair<qsizetype, qsizetype> Runner::place(const Step& step)
{
    const QString& s = m_model.text();
    const bool forward = step.at >= 0;
    press(forward ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
    qsizetype pos = forward ? 0 : s.size();
    for (int n = forward ? step.at : ~step.at; n > 0 && lineIsPlain(s, pos); --n) {
        const qsizetype unit = forward ? after(s, pos) : before(s, pos);
        if (unit == 0)
            break;
        press(forward ? Qt::Key_Right : Qt::Key_Left);
        pos += forward ? unit : -unit;
    }
    qsizetype end = pos;
    for (int n = step.extent; n > 0 && end < s.size() && lineIsPlain(s, end); --n) {
        press(Qt::Key_Right, Qt::ShiftModifier);
        end += after(s, end);
    }
    return {pos, end};
}

void Runner::type(const Step& step)
{
    auto [pos, end] = place(step);
    QString s = m_model.text();
    QStringList states = {s.remove(pos, end - pos)};
    for (const QChar c : step.text) {
        if (c == u'\n')
            press(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        else
            press(c == u'\t' ? int(Qt::Key_Tab) : 0, Qt::NoModifier, c);
        const QString piece = c == u'\n' ? m_model.lineBreak() : QString(c);
        states += s.insert(pos, piece);
        pos += piece.size();
    }
    m_model.edit(states);
}

void Runner::erase(const Step& step)
{
    auto [pos, end] = place(step);
    const QString& s = m_model.text();
    if (pos == end && step.op == Op::Delete)
        end += after(s, pos);
    else if (pos == end)
        pos -= before(s, pos);
    if (pos == end)
        return; // nothing to remove, or nothing that every engine removes alike
    press(step.op == Op::Delete ? Qt::Key_Delete : Qt::Key_Backspace);
    m_model.edit({QString(s).remove(pos, end - pos)});
}

void Runner::paste(const Step& step)
{
    QApplication::clipboard()->setText(step.text);
    const auto [pos, end] = place(step);
    if (step.viaMenu)
        m_main->mnuPaste_Click();
    else
        press(Qt::Key_V, Qt::ControlModifier);
    QString s = m_model.text();
    const QString removed = s.remove(pos, end - pos);
    m_model.edit({removed, s.insert(pos, withBreaks(step.text, m_model.lineBreak()))});
}

// Each Insert command appends its snippet to the end of the text.
void Runner::insert(Op op)
{
    const std::pair<QAction * FrmMain::*, QString> commands[] = {
        {&FrmMain::mnuInclude, QStringLiteral("#include \".odf\"")},
        {&FrmMain::mnuItemSeparator, QStringLiteral("//") + QString(53, u'*')},
        {&FrmMain::mnudoubleslash, QStringLiteral("//")},
        {&FrmMain::mnuhash, QStringLiteral("#")}};
    const auto& [item, snippet] = commands[int(op) - int(Op::Include)];
    (m_main->*item)->trigger();
    m_model.edit({m_model.text() + snippet});
}

// Does one step on the control and the model; returns what differed.
QString Runner::perform(const Step& step)
{
    const QString s = m_model.text();
    switch (step.op) {
    case Op::Type:
        type(step);
        break;
    case Op::Delete:
    case Op::Backspace:
        erase(step);
        break;
    case Op::Paste:
        paste(step);
        break;
    case Op::Clear:
        if (!s.isEmpty()) { // else engines may or may not keep what Redo would bring back
            m_main->cmdClear->click();
            m_model.edit({QString()});
        }
        break;
    case Op::Include:
    case Op::ItemSeparator:
    case Op::DoubleSlash:
    case Op::Hash:
        insert(step.op);
        break;
    case Op::Undo:
    case Op::Redo:
        press(step.op == Op::Undo ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
        if (m_model.travel(observe(), step.op == Op::Undo))
            return QString();
        return QStringLiteral("no state of the model gives the saved \"%1\"").arg(escaped(saved));
    case Op::SelectAllDelete:
        if (!s.isEmpty()) {
            m_main->mnuSelectAll->trigger();
            press(Qt::Key_Delete);
            m_model.edit({QString()});
        }
        break;
    case Op::New:
        m_main->mnuNew->trigger();
        m_model = Model(QByteArray(), QString(), platform::TextFormat());
        break;
    case Op::Count:
        break;
    }
    const QByteArray expected = m_model.expected();
    if (observe() == expected)
        return QString();
    return QStringLiteral("the model's \"%1\", saved \"%2\"")
        .arg(escaped(expected), escaped(saved));
}

// Undoes and then redoes every edit with enough presses for the steps.
QString Runner::finish(int presses)
{
    for (int i = 0; i < presses; ++i)
        press(Qt::Key_Z, Qt::ControlModifier);
    if (observe() != m_model.base()) {
        return QStringLiteral("after undoing every edit: opened \"%1\", saved \"%2\"")
            .arg(escaped(m_model.base()), escaped(saved));
    }
    for (int i = 0; i < presses; ++i)
        press(Qt::Key_Y, Qt::ControlModifier);
    if (observe() != m_model.last()) {
        return QStringLiteral("after redoing every edit: the model's \"%1\", saved \"%2\"")
            .arg(escaped(m_model.last()), escaped(saved));
    }
    return QString();
}

QString describe(size_t index, const Step& step)
{
    return QStringLiteral("step %1 (%2 at %3, extent %4%5, \"%6\")")
        .arg(index + 1)
        .arg(QLatin1String(kNames[int(step.op)]))
        .arg(step.at)
        .arg(step.extent)
        .arg(step.viaMenu ? QStringLiteral(", menu") : QString())
        .arg(escaped(step.text.toUtf8()));
}

} // namespace

Input decode(const QByteArray& data)
{
    Input input;
    qsizetype i = 0;
    const auto next = [&data, &i] {
        const int b = i < data.size() ? static_cast<unsigned char>(data[i]) : 0;
        ++i;
        return b;
    };
    int length = next();
    length |= next() << 8;
    input.file = data.mid(i, length);
    i += input.file.size();
    while (i < data.size() && input.steps.size() < kMaxSteps) {
        Step step;
        step.op = Op(next() % int(Op::Count));
        if (step.op <= Op::Paste) {
            const int at = next();
            step.at = at & 1 ? ~(at >> 1) : at >> 1;
            const int extent = next();
            step.extent = extent & 0x10 ? extent >> 5 : 0;
            step.viaMenu = extent & 1;
        }
        if (step.op == Op::Type || step.op == Op::Paste) {
            const QStringList& alphabet = step.op == Op::Type ? kTyped : kPasted;
            for (int n = next() % 8 + 1; n > 0; --n)
                step.text += alphabet[next() % alphabet.size()];
        }
        input.steps.push_back(step);
    }
    return input;
}

Outcome run(const Input& input, const QString& folder)
{
    Outcome outcome;
    Runner runner(input, folder);
    if (runner.observe() != input.file)
        outcome.failure = QStringLiteral("Open: saved \"%1\"").arg(escaped(runner.saved));
    int presses = 1;
    for (size_t i = 0; i < input.steps.size() && outcome.failure.isEmpty(); ++i) {
        presses += int(input.steps[i].text.size()) + 2;
        const QString failure = runner.perform(input.steps[i]);
        if (!failure.isEmpty())
            outcome.failure = describe(i, input.steps[i]) + QStringLiteral(": ") + failure;
    }
    outcome.saved = runner.saved;
    if (outcome.failure.isEmpty())
        outcome.failure = runner.finish(presses);
    return outcome;
}

} // namespace fidelity
