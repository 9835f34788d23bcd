#pragma once

#include <QByteArray>
#include <QString>

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
// several at once: after Undo the text must equal an earlier state that the
// model passed through, after Redo any state of it.
namespace fidelity {

// Opens the file, written into folder, in a new main window and plays the
// script on it; returns the first difference from the model, empty when every
// check held, and puts what Save As wrote after the last step into saved. A
// script is a string of steps, each a character that names the action, or for
// any other character the action that its code picks modulo their number:
//   t Type, d Delete, p Paste (Ctrl+V), c Clear, n New (not saving changes),
//   i s / # Insert Include Line, Item Separator, // and #,
//   u Undo (Ctrl+Z), r Redo (Ctrl+Y),
//   a Replace All, e one press of Replace (replaces the selection when it is
//   a match, then selects the next one), each followed by what it searches
//   for (see Runner::nextSearch).
// t, d and p go on with two characters: "0".."9" and on for the presses of
// Right from Ctrl+Home, then "0".."3" for those of Shift+Right; t and p then
// with the count of characters, "1".."8", and the characters, each itself
// when the step can type (paste) it, else the one that its code picks.
QString run(const QByteArray& file, const QString& script, const QString& folder,
            QByteArray* saved = nullptr);

} // namespace fidelity
