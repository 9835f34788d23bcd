#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// The fidelity check: a file is opened in the main window and edited by a
// script of user actions; after every step, Save As must write exactly what a
// model of the same edits says, and at the end undoing every edit must give
// back the opened file and redoing them all the edited one.
//
// The model keeps the text with its line breaks as characters. An edit
// changes only the characters it covers; a typed Return and every pasted break
// (CR LF, LF or CR) become the document's main line break, the most frequent
// one of the opened file (CR LF when it has none); any other character, U+2029
// among them, stays as it is. New starts over with an empty Windows-1252 text,
// CR LF and nothing to undo. Undo and Redo may take back or redo one edit or
// several at once: after them the text must equal an earlier (a later) state
// that the model passed through.
namespace fidelity {

enum class Op {
    Type,            // text typed at the caret, '\n' standing for Return
    Delete,          // the Delete key
    Backspace,       // the Backspace key
    Paste,           // text put on the clipboard, then Ctrl+V or Edit, Paste
    Clear,           // the Clear button
    Include,         // Insert, Include Line
    ItemSeparator,   // Insert, Item Separator
    DoubleSlash,     // Insert, //
    Hash,            // Insert, #
    Undo,            // Ctrl+Z
    Redo,            // Ctrl+Y
    SelectAllDelete, // Edit, Select All, then Delete
    New,             // File, New, not saving the changes
    Count
};

// One user action. Type, Delete, Backspace and Paste first put the caret with
// Ctrl+Home and `at` presses of Right, or for a negative `at` with Ctrl+End and
// ~at presses of Left, then select `extent` characters with Shift+Right. The
// arrows are pressed, and Delete and Backspace without a selection, only while
// the text is made of characters that every text engine steps through alike
// (see fidelity.cpp); else the caret stays at the start or the end.
struct Step
{
    Op op = Op::Undo;
    int at = 0;
    int extent = 0;
    QString text;         // typed or pasted
    bool viaMenu = false; // paste with Edit, Paste rather than Ctrl+V
};

struct Input
{
    QByteArray file;
    std::vector<Step> steps;
};

// A fuzzer's bytes: the file's length in two bytes (little-endian, modulo one
// more than the bytes that follow, so that any input splits), the file, then
// the steps, each an operation byte and, for caret actions, a byte for `at`,
// one for `extent` and the paste path, and for Type and Paste a length byte
// and one byte per character (an index into a small alphabet).
Input decode(const QByteArray& data);

struct Outcome
{
    QString failure;  // empty when every check held
    QByteArray saved; // what Save As wrote after the last step
};

// Runs the steps in a new main window on the file, written into folder.
Outcome run(const Input& input, const QString& folder);

} // namespace fidelity
