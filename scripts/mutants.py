#!/usr/bin/env python3
"""Mutation check: do the tests notice a deliberate fault?

Each mutant below is a one-line change to the program that a user would
notice. For each, the script applies it to a scratch copy of the working tree,
builds incrementally, runs the unit tests and, when they all pass, the
end-to-end tests; a failing test kills the mutant. It prints every survivor
and the kill rate last. A mutant whose line is no longer in the code, or that
does not build, is reported as stale and fails the run: keep the list current.

Usage: scripts/mutants.sh [-k SUBSTRING] [--list] [--keep-going]
  -k SUBSTRING   only the mutants whose name contains SUBSTRING
  --list         list the mutants and stop
Scratch folder: $TESSMARK_MUTANTS_DIR (default /tmp/tessmark-mutants).
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

# (name, file, line as it stands, line with the fault)
MUTANTS = [
    # Text encoding: every byte of a file must survive.
    ("cp1252: 0x9F decoded as a control", "platform/text/textcodec.cpp",
     "(b >= 0x80 && b < 0xA0) ? kHighControls", "(b >= 0x80 && b < 0x9F) ? kHighControls"),
    ("cp1252: byte 0xFF cannot be saved", "platform/text/textcodec.cpp",
     "(c >= 0xA0 && c <= 0xFF)", "(c >= 0xA0 && c <= 0xFE)"),
    ("cp1252: euro sign saved as the wrong byte", "platform/text/textcodec.cpp",
     "? -1 : 0x80 + int(found", "? -1 : 0x81 + int(found"),
    # Not mutated: the table's undefined bytes mapped to other C1 controls
    # still round-trip and look the same (nothing).
    ("utf-8 without a mark read as Windows-1252", "platform/text/textcodec.cpp",
     "if ((bom || !asciiText) && m_utf8", "if (bom && m_utf8"),
    ("the byte-order mark read as text", "platform/text/textfile.cpp",
     "piece = piece.sliced(3);", "piece = piece.sliced(0);"),
    ("a CR LF across two pieces not counted", "platform/text/textcodec.cpp",
     "if (m_endsInCr && p[0] == '\\n')", "if (false)"),
    ("a character across two pieces taken as invalid", "platform/text/textcodec.cpp",
     "const qsizetype cut = cutLength(piece);", "const qsizetype cut = 0;"),
    ("a 4-byte character cut after its third byte taken as invalid", "platform/text/textcodec.cpp",
     "k <= std::min<qsizetype>(3, text.size())", "k <= std::min<qsizetype>(2, text.size())"),
    ("a character completed by the next piece takes one byte too many", "platform/text/textcodec.cpp",
     "std::min(length - m_cut.size(), piece.size())",
     "std::min(length - m_cut.size() + 1, piece.size())"),
    ("the byte-order mark cut from every piece", "platform/text/textfile.cpp",
     "if (total == n && scanner.hasByteOrderMark())", "if (scanner.hasByteOrderMark())"),
    ("a Windows-1252 save piece ends inside a character", "platform/text/textfile.cpp",
     "while (end < stretch.size() && (stretch[end] & 0xC0) == 0x80)",
     "if (end < stretch.size() && (stretch[end] & 0xC0) == 0x80)"),
    ("CR LF not counted beyond the first 64 bytes", "platform/text/textcodec.cpp",
     "        m_crlf += crlf;\n", ""),
    ("the wait cursor stays after a large file", "platform/text/textfile.cpp",
     "QApplication::restoreOverrideCursor();", "(void)0;"),
    ("Windows-1252 found late left unconverted", "platform/text/textfile.cpp",
     "if (!asciiBefore)", "if (false)"),
    ("a CR file types LF", "platform/text/textcodec.cpp",
     "if (cr > crlf && cr > lf)\n        return LineEnding::Cr;",
     "if (cr > crlf && cr > lf)\n        return LineEnding::Lf;"),
    ("an LF file types CR LF", "platform/text/textcodec.cpp",
     "if (lf > crlf && lf >= cr)", "if (lf > crlf + 1 && lf >= cr)"),
    ('cp1252: the curly double quotes shown swapped',
     'platform/text/textcodec.cpp',
     '0x2018, 0x2019, 0x201C, 0x201D, 0x2022',
     '0x2018, 0x2019, 0x201D, 0x201C, 0x2022'),
    ('a long line across the end of a reading piece left editable',
     'platform/text/textfile.cpp',
     'm_lineLength = text.size() - lineStart;',
     'm_lineLength = 0;'),
    ('a file whose first NUL byte lies after its first KiB (but within 64 KiB) opens without the NUL bytes question',
     'platform/text/textfile.cpp',
     "    return file.read(qint64(64) * 1024).contains('\\0');",
     "    return file.read(qint64(1) * 1024).contains('\\0');"),
    # The document control.
    ("a lone CR written as LF", "platform/text/textcodec.cpp",
     'case LineEnding::Cr:\n        return u"\\r";', 'case LineEnding::Cr:\n        return u"\\n";'),
    ("utf-8 always saved with a byte-order mark", "platform/text/textfile.cpp",
     "if (utf8 && format.byteOrderMark)", "if (utf8)"),
    ("size limit not enforced", "platform/text/textfile.cpp",
     "if (total > kMaxTextFileSize)", "if (total > 4 * kMaxTextFileSize)"),
    ("an over-size file reported by the bytes read so far", "platform/text/textfile.cpp",
     "throw tooLarge(std::max(total, file.size()));", "throw tooLarge(total);"),
    ("a name that Qt could not read reported as missing", "platform/text/textfile_unix.cpp",
     "if (error == ENOENT && isUnreadableName(path))", "if (false)"),
    ("a piece that fails to convert saved empty", "platform/text/textfile.cpp",
     "if (!appendUtf8AsCp1252(stretch.sliced(at, end - at), piece)) {",
     "if (!appendUtf8AsCp1252(stretch.sliced(at, end - at), piece) && false) {"),
    ("a line just over the editable length left whole", "platform/text/textfile.cpp",
     "const qsizetype last = lineStart + kMaxLineLength;",
     "const qsizetype last = lineStart + kMaxLineLength + 1;"),
    ("the line breaks of the cuts saved into the file", "platform/text/textfile.cpp",
     "from = cut + 1;", "from = cut;"),
    ("a read-only file shown without its notice", "editor/frmmain.cpp",
     "lblReadOnly->setVisible(notice != 0);", "lblReadOnly->setVisible(false);"),
    ("a pipe or a device read as a file", "platform/text/textfile_unix.cpp",
     "if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {",
     "if (fstat(fd, &status) != 0) {"),
    ("a save cut short by a full disk reported as done", "platform/text/textfile.cpp",
     "    if (!file.flush()) {", "    if (false) {"),
    ("a snippet inserted at the caret", "platform/text/richtextbox.cpp",
     "SendScintilla(SCI_BEGINUNDOACTION);\n    SendScintilla(SCI_APPENDTEXT",
     "SendScintilla(SCI_BEGINUNDOACTION);\n    SendScintilla(SCI_ADDTEXT"),
    ("the text typed before a snippet undone with it", "platform/text/richtextbox.cpp",
     "    SendScintilla(SCI_BEGINUNDOACTION);\n    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>"
     "(bytes.size()), bytes.constData());\n    SendScintilla(SCI_ENDUNDOACTION);\n}",
     "    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.constData());\n}"),
    ("no Change event", "platform/text/richtextnotices.cpp",
     "    m_changeQueued = false;\n    emit Change();", "    m_changeQueued = false;"),
    ("Return types LF in a CR LF file", "platform/text/richtextbox.cpp",
     "SendScintilla(SCI_SETEOLMODE, long(eolMode(format.lineEnding)));", ""),
    # Not mutated: the engine's paste-conversion setting. Our Paste converts
    # the clipboard's text itself, and the engine's own drop and middle-click
    # paste convert line breaks whatever the setting says (the drop row of
    # tst_editor checks it).
    ("the caret stops inside a noncharacter", "platform/text/richtextkeys.cpp",
     "        keepSelectionOffCharacters(anchor, caret);\n", ""),
    ("Backspace takes one byte of a noncharacter", "platform/text/richtextkeys.cpp",
     "if (end == caret &&\n", "if (false &&\n"),
    ("Ctrl+Tab in the document goes backwards", "platform/text/richtextkeys.cpp",
     "QWidget::focusNextPrevChild(!back); // NOLINT", "QWidget::focusNextPrevChild(back); // NOLINT"),
    ("the engine's own key bindings left in place", "platform/text/richtextkeys.cpp",
     "SendScintilla(SCI_CLEARCMDKEY, long(key));", "(void)key;"),
    ("NUL bytes not noticed", "platform/text/textfile.cpp",
     "contains('\\0')", "contains('\\1')"),
    ("pasted text keeps the clipboard's line breaks instead of taking the file's main line break",
     'platform/text/richtextbox.cpp',
     '    replaceSelection(toDocumentText(data->text()));',
     '    replaceSelection(data->text().toUtf8());'),
    ('a screen reader is given a selection made backwards (Shift+Left) with its start and end reversed',
     'platform/text/richtextaccessible.cpp',
     '    *startOffset = int(std::min(anchor, caret));\n    *endOffset = int(std::max(anchor, caret));',
     '    *startOffset = int(anchor);\n    *endOffset = int(caret);'),
    ("a screen reader's offsets count bytes, not UTF-16 units",
     'platform/text/richtextbox.cpp',
     'SendScintilla(SCI_COUNTCODEUNITS, static_cast<unsigned long>(lineStart), long(offset))',
     '(offset - lineStart)'),
    ('AltGr in the document types nothing',
     'platform/text/richtextkeys.cpp',
     '        !isAltGr(event) &&\n',
     ''),
    # The longest line: no edit makes a longer one.
    ('long lines: a line just as long as the limit refused',
     'platform/text/richtextlines.cpp',
     'return bytes.size() - lineStart + tail <= kMaxLineLength;',
     'return bytes.size() - lineStart + tail < kMaxLineLength;'),
    ('long lines: a typed key makes a line too long',
     'platform/text/richtextkeys.cpp',
     '!event->matches(QKeySequence::Cut) && !acceptsKey(event)',
     '!event->matches(QKeySequence::Cut) && false'),
    ('long lines: Backspace or Delete joins lines past the limit',
     'platform/text/richtextlines.cpp',
     'return acceptsEdit(from, to, {});',
     'return true;'),
    ('long lines: a refused Cut still takes the clipboard',
     'platform/text/richtextbox.cpp',
     '        !acceptsEdit(SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND), {}))',
     '        false)'),
    ('long lines: an Insert command makes a line too long',
     'platform/text/richtextbox.cpp',
     'if (!acceptsEdit(length, length, bytes))',
     'if (false)'),
    ('long lines: a drop makes a line too long',
     'platform/text/richtextlines.cpp',
     'if (isReadOnly() || acceptsDrop(event)) {',
     'if (true) {'),
    ("long lines: an input method's text makes a line too long",
     'platform/text/richtextlines.cpp',
     '!isReadOnly() && !event->commitString().isEmpty() &&',
     'false &&'),
    # The main window's commands.
    ("Cut enabled in an empty document", "editor/frmmain.cpp",
     "mnuCut->setEnabled(hasText);", "mnuCut->setEnabled(true);"),
    ("Copy never enabled", "editor/frmmain.cpp",
     "mnuCopy->setEnabled(hasText);", "mnuCopy->setEnabled(false);"),
    ("a program write marks the document changed", "editor/frmmain.cpp",
     "if (!m_writing)\n        blnChanged = rtfBox->isModified();",
     "blnChanged = rtfBox->isModified();"),
    ("typing undone still asks Save Changes?", "editor/frmmain.cpp",
     "blnChanged = rtfBox->isModified();", "blnChanged = true;"),
    ("Save As sets no save point", "editor/frmmainsave.cpp", "    rtfBox->setSavePoint();\n", ""),
    ("New keeps the old file's encoding", "editor/frmmain.cpp",
     "rtfBox->setFormat(platform::TextFormat());", ""),
    ("New leaves the document marked changed", "editor/frmmain.cpp",
     "rtfBox->clearUndoHistory();\n    blnChanged = false;", "rtfBox->clearUndoHistory();"),
    ("New keeps the old document's undo history", "editor/frmmain.cpp",
     "    rtfBox->clearUndoHistory();\n", ""),
    ("Open puts the full path in the caption", "editor/frmmain.cpp",
     "setWindowTitle(QFileInfo(path).fileName());", "setWindowTitle(path);"),
    ("Open forgets the last folder", "editor/frmmain.cpp",
     "strLastopen = path;", ""),
    ("a file with NUL bytes opened on No", "editor/frmmain.cpp",
     "Style::YesNo | Style::Exclamation) != Answer::Yes)",
     "Style::YesNo | Style::Exclamation) == Answer::No && false)"),
    ("Save As never offers UTF-8", "editor/frmmainsave.cpp",
     "utf8.encoding = platform::Encoding::Utf8;", ""),
    ("Save As puts the bare file name in the caption", "editor/frmmainsave.cpp",
     "setWindowTitle(cdl2.FileName);", "setWindowTitle(QFileInfo(cdl2.FileName).fileName());"),
    ("Save As leaves the document marked changed", "editor/frmmainsave.cpp",
     "    blnChanged = false;\n    strLastsave = cdl2.FileName;",
     "    strLastsave = cdl2.FileName;"),
    ("a cancelled save still discards the changes", "editor/frmmainsave.cpp",
     "return saveAs();", "return saveAs() || true;"),
    ("No to Save Changes? stops the command", "editor/frmmainsave.cpp",
     "case Answer::No:\n        return true;", "case Answer::No:\n        return false;"),
    ("Save Changes? asked of an unchanged document", "editor/frmmainsave.cpp",
     "if (!blnChanged)\n        return true;", "if (blnChanged)\n        return true;"),
    ("Include Line leaves the document unchanged to Save Changes?", "editor/frmmain.cpp",
     "rtfBox->appendText(strInclude);",
     "const FlagGuard guard(m_writing);\n    rtfBox->appendText(strInclude);"),
    ("a failed save after the UTF-8 offer leaves the document UTF-8", "editor/frmmainsave.cpp",
     "        rtfBox->setFormat(format);\n", ""),
    ("a document saved as UTF-8 goes back to Windows-1252", "editor/frmmainsave.cpp",
     "    setWindowTitle(cdl2.FileName);", "    rtfBox->setFormat(format);\n    setWindowTitle(cdl2.FileName);"),
    ("Save As starts in the folder of the last file opened", "editor/frmmainsave.cpp",
     "cdl2.InitDir = strLastsave;", "cdl2.InitDir = strLastopen;"),
    ("the file dialogs show every file", "editor/frmmain.h",
     '"ODF files (.odf)|*.odf"', '"ODF files (.odf)|*"'),
    # Save As and the files it may replace.
    ("Save As replaces another existing file unasked", "platform/forms/commondialog.cpp",
     "return !ConfirmReplace || !QFileInfo::exists(file) || ConfirmReplace(file);", "return true;"),
    ("Save As asks before replacing the document's own file", "editor/documentfile.cpp",
     "file != QFileInfo(m_path)", "true"),
    ("a size changed on disk goes unnoticed", "editor/documentfile.cpp",
     "file.size() != m_size || ", ""),
    ("a time changed on disk goes unnoticed", "editor/documentfile.cpp",
     " || file.lastModified() != m_modified", ""),
    ("Yes focused in the replace question", "editor/documentfile.cpp",
     "Style::YesNo | Style::Exclamation | Style::DefaultButton2", "Style::YesNo | Style::Exclamation"),
    ("the second button of a message box not focused", "platform/forms/services.cpp",
     "box.setDefaultButton(QMessageBox::No);", "box.setDefaultButton(QMessageBox::Yes);"),
    ("No to the replace question closes the dialog and saves", "platform/forms/services.cpp",
     "                reject();\n            }\n            return;", "                reject();\n            }"),
    ("a name without an extension saved as typed", "platform/forms/commondialog.cpp",
     "FileName = save ? withExtension(*chosen, DefaultExt) : *chosen;", "FileName = *chosen;"),
    ("Save As offers no file", "editor/frmmainsave.cpp",
     "cdl2.FileName = m_file.path();", "cdl2.FileName.clear();"),
    ("New keeps the document's own file", "editor/frmmain.cpp", "    m_file.clear();\n", ""),
    ("an opened file is not the document's own", "editor/frmmain.cpp",
     "    m_file.set(path);\n", ""),
    ("a saved file is not the document's own", "editor/frmmainsave.cpp",
     "    m_file.set(cdl2.FileName);\n", ""),
    # What a load shows, the keys from anywhere, the command line, the desktop.
    ("a loaded file shown where the document before it was", "platform/text/richtextbox.cpp",
     "    SendScintilla(SCI_GOTOPOS, 0L);\n", ""),
    ("Ctrl+Z does nothing outside the text", "editor/frmmain.cpp", "    createUndoKeys();\n", ""),
    ("Ctrl+Shift+Z does not redo outside the text", "editor/frmmain.cpp",
     ", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}", "}"),
    ("--help needs a display", "app/main.cpp", "    answerWithoutWindows(argc, argv);\n", ""),
    ("unit files not told by their extension", "resources/linux/tessmark.xml",
     '    <glob pattern="*.odf"/>\n', ''),
    # Not mutated: the glob's weight. GIO tells the formulas by their magic
    # whatever the weight of this glob.
    ("Cut leaves Paste disabled", "editor/frmmain.cpp",
     "rtfBox->Cut();\n    mnuPaste->setEnabled(true);", "rtfBox->Cut();"),
    ("Minimize hides the main window", "editor/frmmain.cpp",
     "platform::minimizeWindow(this);", "platform::hideWindow(this);"),
    ("Escape or the close box answers No to Save Changes?", "platform/forms/services.cpp",
     "box.setEscapeButton(QMessageBox::Cancel);", "box.setEscapeButton(QMessageBox::No);"),
    ("Escape answers Yes to Quit?", "platform/forms/services.cpp",
     "box.setEscapeButton(QMessageBox::No);", "box.setEscapeButton(QMessageBox::Yes);"),
    ("Yes to Quit? does not end", "editor/frmmain.cpp", "services.end();", "(void)0;"),
    ("Copy leaves Paste disabled", "editor/frmmain.cpp",
     "        clipboard->setText(selected);\n    }\n    mnuPaste->setEnabled(true);",
     "        clipboard->setText(selected);\n    }"),
    ("Copy with nothing selected empties the clipboard", "editor/frmmain.cpp",
     "if (!selected.isEmpty()) {", "if (true) {"),
    ("include line without its dot", "editor/frmmain.cpp",
     'QChar(34) + QStringLiteral(".odf")', 'QChar(34) + QStringLiteral("odf")'),
    ("item separator one asterisk short", "editor/frmmain.cpp",
     "QString(53, QLatin1Char('*'))", "QString(52, QLatin1Char('*'))"),
    ("the text control's shortcut beats the menu's", "platform/text/richtextkeys.cpp",
     "    default:\n        return QsciScintillaBase::event(event);",
     "    default:\n        if (event->type() == QEvent::ShortcutOverride)\n            event->accept();\n        return QsciScintillaBase::event(event);"),
    ("Select All selects nothing", "editor/frmmain.cpp", "rtfBox->selectAll();", ""),
    ('long lines: a refused edit does not beep',
     'editor/frmmain.cpp',
     '    m_program.services().beep();\n    showNotice(tr("Not changed',
     '    showNotice(tr("Not changed'),
    ('a drag that only passes over the window opens its file',
     'editor/frmmaindrops.cpp',
     'if (type == QEvent::Drop) {',
     'if (true) {'),
    ('after accepting the UTF-8 offer and a failed save, the document stays UTF-8 instead of its own encoding',
     'editor/frmmainsave.cpp',
     '        rtfBox->setFormat(format);\n        reportFileError(tr("save"), cdl2.FileName, error);',
     '        reportFileError(tr("save"), cdl2.FileName, error);'),
    # Companion windows.
    ("the viewer lists no .jpeg files", "companions/frmpreview.cpp",
     '"*.bmp;*.gif;*.jpg;*.jpeg"', '"*.bmp;*.gif;*.jpg"'),
    ("the viewer loses the path separator", "companions/frmpreview.cpp",
     "File1->Path() + QDir::separator() + File1->FileName()", "File1->Path() + File1->FileName()"),
    ("the file list does not follow the folder", "companions/frmpreview.cpp",
     "File1->setPath(Dir1->Path());", ""),
    ("Hide unloads the viewer", "companions/frmpreview.cpp",
     "platform::hideWindow(this);", "platform::unloadWindow(this);"),
    ("the blank template made read-only", "companions/referencewindow.cpp",
     "if (design.locked) {", "if (true) {"),
    ("the example made editable", "companions/referencewindow.cpp",
     "if (design.locked) {", "if (false) {"),
    # The About notes are not mutated: their interaction flags and their
    # read-only state each keep them from being edited, so dropping either
    # changes nothing a user can see.
    # Platform.
    ("a picture's file list out of order", "platform/forms/folders.cpp",
     "QDir::Name | QDir::IgnoreCase", "QDir::Time"),
    ("a truncated BMP accepted", "platform/files/picture.cpp",
     "return height <= (file.size() - pixels) / row;", "return true;"),
    ("a JPEG without its end accepted", "platform/files/picture.cpp",
     "header.complete = endsAfter(file, at + 2 + length);", "header.complete = true;"),
    ("a picture's conversion copy not counted against the budget", "platform/files/picture.cpp",
     "decodedBytes + (m_bitsPerPixel < 32 ? decodedBytes + pixels * 4 : 0)",
     "decodedBytes + (m_bitsPerPixel < 32 ? pixels * 4 : 0)"),
    ("a picture over the budget shown", "platform/files/picture.cpp",
     "if (cost > kPictureBudget)", "if (cost > 2 * kPictureBudget)"),
    ("a second instance of a window", "platform/forms/forms.cpp",
     "    if (!isLoaded()) {\n        m_window = m_factory();",
     "    if (true) {\n        m_window = m_factory();"),
    ("the close box hides instead of unloading", "platform/forms/forms.cpp",
     "m_window->setAttribute(Qt::WA_DeleteOnClose);", ""),
    ("a cancelled dialog taken as a choice", "platform/forms/commondialog.cpp",
     "if (!chosen)\n        return false;", "if (!chosen)\n        return true;"),
    ("Ctrl+Tab goes backwards", "platform/forms/textbox.cpp",
     "QWidget::focusNextPrevChild(!back);", "QWidget::focusNextPrevChild(back);"),
    ("copied lines get the wrong line break", "platform/forms/textbox_unix.cpp",
     'return QStringLiteral("\\n");', 'return QStringLiteral("\\r\\n");'),
    ("Alt with a free letter types it", "platform/forms/keyboard.cpp",
     "if (alt && !key->text().isEmpty() && key->text().front().isPrint()) {", "if (false) {"),
    ("Return on a focused button does nothing", "platform/forms/keyboard.cpp",
     "            button->click();", ""),
    ("a picture's error leaves the old picture", "platform/files/imagebox.cpp",
     "    m_shown = QPixmap();\n    m_error = reason;", "    m_error = reason;"),
    ("a dropped file skips Save Changes?", "editor/frmmaindrops.cpp",
     "if (!file.isEmpty() && settleChanges())", "if (!file.isEmpty())"),
    ("a second drop before the open opens its file twice", "editor/frmmaindrops.cpp",
     "std::exchange(m_droppedFile, QString());", "m_droppedFile;"),
    ("the open of a drop already opened reports an empty name", "editor/frmmaindrops.cpp",
     "if (!file.isEmpty() && settleChanges())", "if (settleChanges())"),
    ("the file on the command line is ignored", "app/main.cpp",
     "if (!files.isEmpty())", "if (false)"),
    ("a command line name that is not UTF-8 decoded by Qt", "app/main.cpp",
     "parser.process(platform::commandLineArguments(argc, argv));", "parser.process(app);"),
    ("the picture frame keeps no description", "platform/files/imagebox.cpp",
     "setAccessibleDescription(QFileInfo(picture.path()).fileName());", ""),
    ('Enter on the keypad no longer presses the focused push button (only Return does)',
     'platform/forms/keyboard.cpp',
     '    const bool isReturn = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;',
     '    const bool isReturn = key->key() == Qt::Key_Return;'),
    ('AltGr beeps as Alt does',
     'platform/forms/keyboard.cpp',
     '                     !modifiers.testFlag(Qt::ControlModifier) &&\n',
     ''),
    ('hiding the last visible window leaves the program running',
     'platform/forms/forms.cpp',
     'if (w->isVisible() && w->isWindow() && stillLoaded(w))',
     'if (w->isWindow() && stillLoaded(w))'),
    ('a window closed and loaded again at once comes back as it was',
     'platform/forms/forms.cpp',
     'return window != nullptr && window->testAttribute(Qt::WA_DeleteOnClose);',
     'return window != nullptr;'),
    ("a screen reader hears the picture frame described by the file's full path instead of its name",
     'platform/files/imagebox.cpp',
     '    setAccessibleDescription(QFileInfo(picture.path()).fileName());',
     '    setAccessibleDescription(picture.path());'),
    # The document's colours and its key help.
    ("an unterminated quote coloured as a string only at its quote", "odf/odfstyler.cpp",
     "close < 0 ? n : close + 1; // unterminated", "close < 0 ? at + 1 : close + 1; //"),
    ("a number with an f left plain", "odf/odfstyler.cpp",
     "(s[n - 1] == 'f' || s[n - 1] == 'F')", "(s[n - 1] == 'F')"),
    ("a lone CR not a line break to the colours", "odf/odfstyler.cpp",
     "while (end < n && s[end] != '\\r' && s[end] != '\\n')", "while (end < n && s[end] != '\\n')"),
    ("a colour under 4.5:1 contrast to the base", "odf/odfstyler.cpp",
     "if (contrast(candidate, base) >= 4.5)", "if (contrast(candidate, base) >= 3.0)"),
    ("a group's help above an empty line not found", "odf/keyhelp.cpp",
     "isEmpty() && isComment(lines[above - 2]))", "isEmpty() && false)"),
    ("a section's title taken into a key's help", "odf/keyhelp.cpp",
     "!(above > 1 && isBanner(lines[above - 2]))", "true"),
    ('the colours stay as they were when the palette changes',
     'odf/odfstyler.cpp',
     '    connect(m_box, &RichTextBox::looksChanged, this, &OdfStyler::applyColours);\n',
     ''),
    ('typing leaves the key help up',
     'odf/keyhelp.cpp',
     '    connect(m_box, &RichTextBox::Change, this, &KeyHelp::hide);\n',
     ''),
    ('a negative number such as -3 stays in the text colour instead of the number colour',
     'odf/odfstyler.cpp',
     "    qsizetype at = (n > 0 && (s[0] == '-' || s[0] == '+')) ? 1 : 0;",
     "    qsizetype at = (n > 0 && s[0] == '+') ? 1 : 0;"),
    ("a key's help shown by the resting mouse stays up when the mouse moves away (and an F1 tip vanishes instead)",
     'odf/keyhelp.cpp',
     '        if (m_byMouse)\n            hide();',
     '        if (!m_byMouse)\n            hide();'),
    # The viewer as a user meets it: drives, folders, files, the frame.
    # Not mutated: the filter of system mounts (a test cannot mount disks, and
    # Qt already leaves out the pseudo file systems every machine has).
    ("a drive that cannot be read stays picked", "platform/files/drivelistbox.cpp",
     "            setCurrentIndex(previous);\n", ""),
    ("the drive list starts at the root, not the current folder's drive",
     "platform/files/drivelistbox.cpp", "&& volumes[i].root.size() > bestLength)",
     "&& bestLength < 0)"),
    ("a drive's label taken as part of its folder", "platform/files/volumes.cpp",
     "        root.truncate(open);", "        (void)open;"),
    ("picking a drive leaves the folder list", "companions/frmpreview.cpp",
     "Dir1->setPath(Drive1->Drive());", ""),
    ("the folder list has no root at the top", "platform/files/dirlistbox.cpp",
     "if (up.isEmpty() || up.endsWith(QLatin1Char(':')))", "if (up.endsWith(QLatin1Char(':')))"),
    ("a double-click does not open a folder", "platform/files/dirlistbox.cpp",
     "    event->accept();\n    open(item->data(0, kFolderRole).toString());",
     "    event->accept();"),
    ("a file clicked with the mouse is not shown", "platform/files/filelistbox.cpp",
     "QListWidget::mousePressEvent(event);\n    clickIfSelectionMoved(before);",
     "QListWidget::mousePressEvent(event);"),
    ("a picture drawn in a corner of the frame", "platform/files/imagebox.cpp",
     "QImage image = picture.render(contentsRect().size() * ratio);",
     "QImage image = picture.render(contentsRect().size() * ratio / 2);"),
    ("the reason a picture cannot be shown not written in the frame", "platform/files/imagebox.cpp",
     "} else if (!m_error.isEmpty()) {", "} else if (false) {"),
    ("a top-down BMP refused", "platform/files/picture.cpp",
     "height = qAbs(qint64(qint32(little32(data + 22))));",
     "height = qint64(qint32(little32(data + 22)));"),
    ("a top-down BMP taken as an empty picture", "platform/files/picture.cpp",
     "picture.m_size = QSize(size.width(), qAbs(size.height()));", "picture.m_size = size;"),
    ("a picture drawn upside down", "platform/files/picture.cpp",
     "    return image;\n}\n\nStdPicture LoadPicture", "    return image.mirrored();\n}\n\nStdPicture LoadPicture"),
    ('the viewer the program builds lists no drives',
     'companions/frmpreview.h',
     'const QList<platform::Volume>& drives = platform::presentVolumes(),',
     'const QList<platform::Volume>& drives = {},'),
    ("a folder double-clicked in the viewer's folder list opens the folder above it instead",
     'platform/files/dirlistbox.cpp',
     '    event->accept();\n    open(item->data(0, kFolderRole).toString());',
     '    event->accept();\n    open(parentFolder(item->data(0, kFolderRole).toString()));'),
    ("choosing the drive already shown in the drive list throws the folder list back to that drive's root",
     'platform/files/drivelistbox.cpp',
     '        if (index == m_drive)\n            return;',
     '        if (index < 0)\n            return;'),
    ('a whole uncompressed BMP whose pixel rows end exactly at the end of the file is refused as truncated',
     'platform/files/picture.cpp',
     '    return height <= (file.size() - pixels) / row;',
     '    return height < (file.size() - pixels) / row;'),
    # Windows brought back by their menu item.
    ("Tab leaves the blank template", "platform/forms/textbox.cpp",
     "setTabChangesFocus(false);", "setTabChangesFocus(true);"),
    ("a minimized window stays down when chosen again", "platform/forms/forms.cpp",
     "if (window->isMinimized())", "if (false)"),
    ("a window chosen again stays behind", "platform/forms/forms.cpp",
     "    window->activateWindow();\n", ""),
    ('a minimized reference window or viewer stays minimized when its menu item is chosen again',
     'platform/forms/forms.cpp',
     '        window->showNormal();',
     '        window->show();'),
    # Find, Replace and Go To.
    ("find: only A-Z folded", "platform/text/textsearch.cpp",
     "return QChar::toCaseFolded(c);", "return c;"),
    ("find: _ ends a word", "platform/text/textsearch.cpp", "c == '_';", "false;"),
    ("find: a cut taken for a character", "platform/text/textsearch.cpp",
     "if (cut != cuts.end() && *cut == at) {", "if (false && cut != cuts.end() && *cut == at) {"),
    ("find: a word ends at a cut", "platform/text/textsearch.cpp",
     "const qsizetype after = isCut(cuts, at) ? at + 1 : at;", "const qsizetype after = at;"),
    ("find: a word starts after a cut", "platform/text/textsearch.cpp",
     "if (offset > base && isCut(*cuts, offset - 1))", "if (false)"),
    ("find: whole words looked at from the start only", "platform/text/textsearch.cpp",
     "if (m_wordAtEnd && after < w.end && isWordChar(w.charAt(after, length)))", "if (false)"),
    ("find: Wrap Around always on", "platform/text/textsearch.cpp",
     "if (!found.isValid() && wrap) {", "if (!found.isValid()) {"),
    ("find: Up searches down", "editor/frmfind.cpp",
     "find(optUp->isVisible() && optUp->isChecked());", "find(false);"),
    ("find: a selection of several lines fills the field", "editor/frmfind.cpp",
     "platform::search::firstLine(selected) == selected", "true"),
    ("find: the count one short", "platform/text/searchmarks.cpp",
     "m_checkpoints[size_t(passed)], start + 1)", "m_checkpoints[size_t(passed)], start)"),
    ("find: the selected match marked too", "platform/text/searchmarks.cpp",
     "if (found.start != selected)", "if (true)"),
    ("find: the marks in the highlight colour as it is", "editor/frmfind.cpp",
     "contrast(mixed, base) >= 3.0", "contrast(mixed, base) >= 1.0"),
    ("find: the marks stay after the window", "platform/text/searchmarks.cpp",
     "    if (m_box != nullptr)\n        clear();", ""),
    ("find: no search items in the context menu", "platform/text/richtextlines.cpp",
     "menu.addActions(actions());", "(void)0;"),
    ("replace all: not one Undo step", "platform/text/richtextbox.cpp",
     "    SendScintilla(SCI_BEGINUNDOACTION);\n    edit();", "    edit();"),
    ("replace all: a batch replaced front to back", "platform/text/textsearch.cpp",
     "for (auto found = batch.rbegin(); found != batch.rend(); ++found)",
     "for (auto found = batch.begin(); found != batch.end(); ++found)"),
    ("replace all: a line let grow past the limit", "platform/text/textsearch.cpp",
     "fits = growth <= 0 || size <= kMaxLineLength;", "fits = true;"),
    ("go to: the cuts counted as lines", "platform/text/textsearch.cpp",
     "SCI_GETLINECOUNT) - qsizetype(box.lineCuts().size());", "SCI_GETLINECOUNT);"),
    ("go to: a line found past the cuts", "platform/text/textsearch.cpp",
     "if (middle - (before - cuts.begin()) >= line - 1)", "if (middle >= line - 1)"),
    ("go to: line 0 taken", "editor/frmgoto.cpp", "line < 1 ||", "line < 0 ||"),
    # Written from outside: saving, search and the line limit.
    ('save as: a file changed elsewhere at the same size replaced unasked', 'editor/documentfile.cpp',
     '    else if (file.size() != m_size || file.lastModified() != m_modified)',
     '    else if (file.size() != m_size)'),
    ('save as: the replace question focuses Yes', 'editor/documentfile.cpp',
     'Style::YesNo | Style::Exclamation | Style::DefaultButton2) ==',
     'Style::YesNo | Style::Exclamation) =='),
    ('save as: no save point, so undoing back asks to save', 'editor/frmmainsave.cpp',
     '    setWindowTitle(cdl2.FileName);\n    rtfBox->setSavePoint();\n',
     '    setWindowTitle(cdl2.FileName);\n'),
    ('ctrl+y from outside the text undoes', 'editor/frmmain.cpp',
     '            &platform::RichTextBox::redo);',
     '            &platform::RichTextBox::undo);'),
    ('--version without a display opens the window system', 'app/main.cpp',
     'parser.isSet(QStringLiteral("help-all")) ||\n          parser.isSet(QStringLiteral("version"))))',
     'parser.isSet(QStringLiteral("help-all"))))'),
    ('search: lower-cased instead of case-folded (final sigma)', 'platform/text/textsearch.cpp',
     '    return QChar::toCaseFolded(c);',
     '    return QChar::toLower(c);'),
    ('search: a display cut ends a whole word', 'platform/text/textsearch.cpp',
     '        const qsizetype after = isCut(cuts, at) ? at + 1 : at;',
     '        const qsizetype after = at;'),
    ('search: searching down wraps although Wrap around is off', 'platform/text/textsearch.cpp',
     '    if (!found.isValid() && wrap) {',
     '    if (!found.isValid() && (wrap || !backward)) {'),
    ('search: the status count one short', 'platform/text/searchmarks.cpp',
     'm_matcher->count(m_checkpoints[size_t(passed)], start + 1);',
     'm_matcher->count(m_checkpoints[size_t(passed)], start);'),
    ('search: replace all in several undo steps', 'platform/text/richtextbox.cpp',
     '    SendScintilla(SCI_BEGINUNDOACTION);\n    edit();\n    SendScintilla(SCI_ENDUNDOACTION);',
     '    edit();'),
    ('go to: counts the display cuts as lines', 'platform/text/textsearch.cpp',
     '    return box.SendScintilla(Sci::SCI_GETLINECOUNT) - qsizetype(box.lineCuts().size());',
     '    return box.SendScintilla(Sci::SCI_GETLINECOUNT);'),
    ('line limit: a line of exactly the limit refused', 'platform/text/richtextlines.cpp',
     '    return bytes.size() - lineStart + tail <= kMaxLineLength;',
     '    return bytes.size() - lineStart + tail < kMaxLineLength;'),
]

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


LOG = None  # the output of the last command, kept for a look when it fails


def run(cmd, cwd, timeout=None, env=None):
    with open(LOG, "w") as log:
        try:
            return subprocess.run(cmd, cwd=cwd, stdout=log, stderr=subprocess.STDOUT,
                                  timeout=timeout, env=env).returncode
        except subprocess.TimeoutExpired:
            return -1


def copy_tree(scratch):
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                           check=True, capture_output=True).stdout.split(b"\0")
    wanted = {name.decode() for name in files if name}
    # Files gone from the tree go from the copy too (a test source left
    # behind would still be built).
    for folder, _, names in os.walk(scratch):
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), scratch)
            if rel not in wanted:
                os.remove(os.path.join(folder, name))
    for rel in sorted(wanted):
        src, dst = os.path.join(ROOT, rel), os.path.join(scratch, rel)
        if not os.path.isfile(src):
            continue
        if os.path.exists(dst) and open(src, "rb").read() == open(dst, "rb").read():
            continue  # unchanged: keep its time, so that the build stays incremental
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copy(src, dst)  # a fresh time, so that the build takes it


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-k", dest="pattern", default="",
                        help="run only the mutants whose name matches this regular expression")
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()
    chosen = [m for m in MUTANTS if re.search(args.pattern, m[0])]
    if args.list:
        for name, path, _, _ in chosen:
            print(f"{path}: {name}")
        print(f"{len(chosen)} mutants")
        return 0

    base = os.environ.get("TESSMARK_MUTANTS_DIR", "/tmp/tessmark-mutants")
    src, build = os.path.join(base, "src"), os.path.join(base, "build")
    os.makedirs(src, exist_ok=True)
    global LOG
    LOG = os.path.join(base, "last.log")
    copy_tree(src)
    # A test function that a mutant sends into a wait for ever fails after a
    # minute instead of the test's five; a mutant that crashes a test is
    # killed at once, without a debugger's stack dump.
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTEST_FUNCTION_TIMEOUT="60000",
               QTEST_DISABLE_STACK_DUMP="1")
    jobs = str(os.cpu_count() or 2)
    if run(["cmake", "-S", src, "-B", build, "-DCMAKE_BUILD_TYPE=Debug",
            "-DTESSMARK_BENCHMARKS=OFF"], ROOT) != 0:
        print("cannot configure the scratch build", file=sys.stderr)
        return 2
    build_cmd = ["cmake", "--build", build, "--parallel", jobs]
    unit = ["ctest", "--test-dir", build, "-L", "unit", "-j", jobs, "--timeout", "120",
            "--stop-on-failure"]
    # An end-to-end test that fails is run once more: on a loaded machine the
    # accessibility bus may not answer in time.
    e2e = ["ctest", "--test-dir", build, "-L", "e2e", "--timeout", "120", "--stop-on-failure",
           "--repeat", "until-pass:2"]
    print("== building and testing the unchanged program")
    if run(build_cmd, ROOT) != 0 or run(unit, ROOT, env=env) != 0 or run(e2e, ROOT) != 0:
        print(open(LOG).read()[-3000:], file=sys.stderr)
        print("the unchanged program does not build or pass its tests", file=sys.stderr)
        return 2

    killed, survivors, stale = [], [], []
    for i, (name, path, before, after) in enumerate(chosen, 1):
        target = os.path.join(src, path)
        original = open(target, encoding="utf-8").read()
        start = time.time()
        if original.count(before) != 1:
            stale.append((name, "its line is not in the code exactly once"))
            print(f"[{i}/{len(chosen)}] {name}: STALE")
            continue
        try:
            with open(target, "w", encoding="utf-8") as f:
                f.write(original.replace(before, after))
            if run(build_cmd, ROOT) != 0:
                stale.append((name, "does not build"))
                verdict = "STALE (does not build)"
            elif run(unit, ROOT, env=env) != 0:
                killed.append(name)
                verdict = "killed by a unit test"
            elif run(e2e, ROOT) != 0:
                killed.append(name)
                verdict = "killed by an end-to-end test"
            else:
                survivors.append((name, path))
                verdict = "SURVIVED"
        finally:
            with open(target, "w", encoding="utf-8") as f:
                f.write(original)
        print(f"[{i}/{len(chosen)}] {name}: {verdict} ({time.time() - start:.0f} s)", flush=True)

    run(build_cmd, ROOT)  # leave the scratch build matching the tree
    for name, why in stale:
        print(f"stale: {name}: {why}")
    for name, path in survivors:
        print(f"survivor: {path}: {name}")
    counted = len(killed) + len(survivors)
    rate = 100.0 * len(killed) / counted if counted else 0.0
    print(f"kill rate {rate:.0f}% ({len(killed)} of {counted} killed, {len(stale)} stale)")
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
