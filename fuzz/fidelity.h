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
// changes only the characters it covers; a typed Return or a pasted break of
// any kind is the document's main line break (that of the opened file, CR LF
// for a new one). Undo and Redo may take back one or several edits at once:
// after them the text must equal some earlier (later) state of the model.
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
    New,             // File, New (answering No to "Save Changes?")
    Count
};

// One user action. The caret actions first put the caret with Ctrl+Home and
// `at` presses of Right, or for a negative `at` with Ctrl+End and ~at presses
// of Left, then select `extent` characters with Shift+Right. The caret steps
// only through lines that every text engine walks the same way (see
// fidelity.cpp); presses beyond them are left out.
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

// A fuzzer's bytes: the file's length in two bytes (little-endian), the file,
// then the steps, each an operation byte and, for caret actions, a byte for
// `at`, one for `extent` and the paste path, and for Type and Paste a length
// byte and one byte per character (an index into a small alphabet).
Input decode(const QByteArray& data);

struct Outcome
{
    QString failure;  // empty when every check held
    QByteArray saved; // what Save As wrote after the last step
};

// Runs the steps in a new main window on the file, written into folder.
Outcome run(const Input& input, const QString& folder);

} // namespace fidelity
