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
    ("cp1252: 0x9F decoded as a control", "platform/textcodec.cpp",
     "(b >= 0x80 && b < 0xA0) ? kHighControls", "(b >= 0x80 && b < 0x9F) ? kHighControls"),
    ("cp1252: byte 0xFF cannot be saved", "platform/textcodec.cpp",
     "(c >= 0xA0 && c <= 0xFF)", "(c >= 0xA0 && c <= 0xFE)"),
    ("cp1252: euro sign saved as the wrong byte", "platform/textcodec.cpp",
     "? -1 : 0x80 + int(found", "? -1 : 0x81 + int(found"),
    # Not mutated: the table's undefined bytes mapped to other C1 controls
    # still round-trip and look the same (nothing).
    ("utf-8 without a mark read as Windows-1252", "platform/textcodec.cpp",
     "if ((bom || !asciiText) && m_utf8", "if (bom && m_utf8"),
    ("the byte-order mark read as text", "platform/textfile.cpp",
     "piece = piece.sliced(3);", "piece = piece.sliced(0);"),
    ("a CR LF across two pieces not counted", "platform/textcodec.cpp",
     "if (m_endsInCr && p[0] == '\\n')", "if (false)"),
    ("a character across two pieces taken as invalid", "platform/textcodec.cpp",
     "const qsizetype cut = cutLength(piece);", "const qsizetype cut = 0;"),
    ("a 4-byte character cut after its third byte taken as invalid", "platform/textcodec.cpp",
     "k <= std::min<qsizetype>(3, text.size())", "k <= std::min<qsizetype>(2, text.size())"),
    ("a character completed by the next piece takes one byte too many", "platform/textcodec.cpp",
     "std::min(length - m_cut.size(), piece.size())",
     "std::min(length - m_cut.size() + 1, piece.size())"),
    ("the byte-order mark cut from every piece", "platform/textfile.cpp",
     "if (total == n && scanner.hasByteOrderMark())", "if (scanner.hasByteOrderMark())"),
    ("a Windows-1252 save piece ends inside a character", "platform/textfile.cpp",
     "while (end < text.size() && (text[end] & 0xC0) == 0x80)",
     "if (end < text.size() && (text[end] & 0xC0) == 0x80)"),
    ("CR LF not counted beyond the first 64 bytes", "platform/textcodec.cpp",
     "        m_crlf += crlf;\n", ""),
    ("the wait cursor stays after a large file", "platform/textfile.cpp",
     "QApplication::restoreOverrideCursor();", "(void)0;"),
    ("Windows-1252 found late left unconverted", "platform/textfile.cpp",
     "if (!asciiBefore)", "if (false)"),
    ("a CR file types LF", "platform/textcodec.cpp",
     "if (cr > crlf && cr > lf)\n        return LineEnding::Cr;",
     "if (cr > crlf && cr > lf)\n        return LineEnding::Lf;"),
    ("an LF file types CR LF", "platform/textcodec.cpp",
     "if (lf > crlf && lf >= cr)", "if (lf > crlf + 1 && lf >= cr)"),
    # The document control.
    ("a lone CR written as LF", "platform/textcodec.cpp",
     'case LineEnding::Cr:\n        return u"\\r";', 'case LineEnding::Cr:\n        return u"\\n";'),
    ("utf-8 always saved with a byte-order mark", "platform/textfile.cpp",
     "if (format.byteOrderMark)", "if (true)"),
    ("size limit not enforced", "platform/textfile.cpp",
     "if (total > kMaxTextFileSize)", "if (total > 4 * kMaxTextFileSize)"),
    ("a pipe or a device read as a file", "platform/textfile.cpp",
     "if (info.exists() && !info.isFile()) {", "if (false) {"),
    ("a save cut short by a full disk reported as done", "platform/textfile.cpp",
     "    if (!file.flush()) {", "    if (false) {"),
    ("a snippet inserted at the caret", "platform/richtextbox.cpp",
     "SendScintilla(SCI_BEGINUNDOACTION);\n    SendScintilla(SCI_APPENDTEXT",
     "SendScintilla(SCI_BEGINUNDOACTION);\n    SendScintilla(SCI_ADDTEXT"),
    ("the text typed before a snippet undone with it", "platform/richtextbox.cpp",
     "    SendScintilla(SCI_BEGINUNDOACTION);\n    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>"
     "(bytes.size()), bytes.constData());\n    SendScintilla(SCI_ENDUNDOACTION);\n}",
     "    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.constData());\n}"),
    ("no Change event", "platform/richtextbox.cpp",
     "    m_changeQueued = false;\n    emit Change();", "    m_changeQueued = false;"),
    ("Return types LF in a CR LF file", "platform/richtextbox.cpp",
     "SendScintilla(SCI_SETEOLMODE, long(eolMode(format.lineEnding)));", ""),
    # Not mutated: the engine's paste-conversion setting. Our Paste converts
    # the clipboard's text itself, and the engine's own drop and middle-click
    # paste convert line breaks whatever the setting says (the drop row of
    # tst_editor checks it).
    ("the caret stops inside a noncharacter", "platform/richtextbox.cpp",
     "        keepSelectionOffCharacters(anchor, caret);\n", ""),
    ("Backspace takes one byte of a noncharacter", "platform/richtextbox.cpp",
     "if (end == caret &&\n", "if (false &&\n"),
    ("Ctrl+Tab in the document goes backwards", "platform/richtextbox.cpp",
     "QWidget::focusNextPrevChild(!back); // NOLINT", "QWidget::focusNextPrevChild(back); // NOLINT"),
    ("the engine's own key bindings left in place", "platform/richtextbox.cpp",
     "SendScintilla(SCI_CLEARCMDKEY, long(key));", "(void)key;"),
    ("NUL bytes not noticed", "platform/textfile.cpp",
     "contains('\\0')", "contains('\\1')"),
    # The main window's commands.
    ("Cut enabled in an empty document", "editor/frmmain.cpp",
     "mnuCut->setEnabled(hasText);", "mnuCut->setEnabled(true);"),
    ("Copy never enabled", "editor/frmmain.cpp",
     "mnuCopy->setEnabled(hasText);", "mnuCopy->setEnabled(false);"),
    ("a program write marks the document changed", "editor/frmmain.cpp",
     "if (!m_writing)\n        blnChanged = true;", "blnChanged = true;"),
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
    ("Save As never offers UTF-8", "editor/frmmain.cpp",
     "utf8.encoding = platform::Encoding::Utf8;", ""),
    ("Save As puts the bare file name in the caption", "editor/frmmain.cpp",
     "setWindowTitle(cdl2.FileName);", "setWindowTitle(QFileInfo(cdl2.FileName).fileName());"),
    ("Save As leaves the document marked changed", "editor/frmmain.cpp",
     "    blnChanged = false;\n    strLastsave = cdl2.FileName;",
     "    strLastsave = cdl2.FileName;"),
    ("a cancelled save still discards the changes", "editor/frmmain.cpp",
     "return saveAs();", "return saveAs() || true;"),
    ("No to Save Changes? stops the command", "editor/frmmain.cpp",
     "case Answer::No:\n        return true;", "case Answer::No:\n        return false;"),
    ("Save Changes? asked of an unchanged document", "editor/frmmain.cpp",
     "if (!blnChanged)\n        return true;", "if (blnChanged)\n        return true;"),
    ("Include Line leaves the document unchanged to Save Changes?", "editor/frmmain.cpp",
     "rtfBox->appendText(strInclude);",
     "const FlagGuard guard(m_writing);\n    rtfBox->appendText(strInclude);"),
    ("a failed save after the UTF-8 offer leaves the document UTF-8", "editor/frmmain.cpp",
     "        rtfBox->setFormat(format);\n", ""),
    ("a document saved as UTF-8 goes back to Windows-1252", "editor/frmmain.cpp",
     "    setWindowTitle(cdl2.FileName);", "    rtfBox->setFormat(format);\n    setWindowTitle(cdl2.FileName);"),
    ("Save As starts in the folder of the last file opened", "editor/frmmain.cpp",
     "cdl2.InitDir = strLastsave;", "cdl2.InitDir = strLastopen;"),
    ("the file dialogs show every file", "editor/frmmain.cpp",
     '"ODF files (.odf)|*.odf"', '"ODF files (.odf)|*"'),
    ("Cut leaves Paste disabled", "editor/frmmain.cpp",
     "rtfBox->Cut();\n    mnuPaste->setEnabled(true);", "rtfBox->Cut();"),
    ("Minimize hides the main window", "editor/frmmain.cpp",
     "platform::minimizeWindow(this);", "platform::hideWindow(this);"),
    ("Escape or the close box answers No to Save Changes?", "platform/services.cpp",
     "box.setEscapeButton(QMessageBox::Cancel);", "box.setEscapeButton(QMessageBox::No);"),
    ("Escape answers Yes to Quit?", "platform/services.cpp",
     "box.setEscapeButton(QMessageBox::No);", "box.setEscapeButton(QMessageBox::Yes);"),
    ("Yes to Quit? does not end", "editor/frmmain.cpp", "services.end();", "(void)0;"),
    ("Copy leaves Paste disabled", "editor/frmmain.cpp",
     "clipboard->setText(rtfBox->selectedPlainText());\n    mnuPaste->setEnabled(true);",
     "clipboard->setText(rtfBox->selectedPlainText());"),
    ("include line without its dot", "editor/frmmain.cpp",
     'QChar(34) + QStringLiteral(".odf")', 'QChar(34) + QStringLiteral("odf")'),
    ("item separator one asterisk short", "editor/frmmain.cpp",
     "QString(53, QLatin1Char('*'))", "QString(52, QLatin1Char('*'))"),
    ("the text control's shortcut beats the menu's", "platform/richtextbox.cpp",
     "    default:\n        return QsciScintillaBase::event(event);",
     "    default:\n        if (event->type() == QEvent::ShortcutOverride)\n            event->accept();\n        return QsciScintillaBase::event(event);"),
    ("Select All selects nothing", "editor/frmmain.cpp", "rtfBox->selectAll();", ""),
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
    ("a picture's file list out of order", "platform/folders.cpp",
     "QDir::Name | QDir::IgnoreCase", "QDir::Time"),
    ("a truncated BMP accepted", "platform/picture.cpp",
     "return height <= (file.size() - pixels) / row;", "return true;"),
    ("a JPEG without its end accepted", "platform/picture.cpp",
     "header.complete = endsAfter(file, at + 2 + length);", "header.complete = true;"),
    ("a picture's conversion copy not counted against the budget", "platform/picture.cpp",
     "decodedBytes + (m_bitsPerPixel < 32 ? decodedBytes + pixels * 4 : 0)",
     "decodedBytes + (m_bitsPerPixel < 32 ? pixels * 4 : 0)"),
    ("a picture over the budget shown", "platform/picture.cpp",
     "if (cost > kPictureBudget)", "if (cost > 2 * kPictureBudget)"),
    ("a second instance of a window", "platform/forms.cpp",
     "    if (!isLoaded()) {\n        m_window = m_factory();",
     "    if (true) {\n        m_window = m_factory();"),
    ("the close box hides instead of unloading", "platform/forms.cpp",
     "m_window->setAttribute(Qt::WA_DeleteOnClose);", ""),
    ("a cancelled dialog taken as a choice", "platform/commondialog.cpp",
     "if (!chosen)\n        return false;", "if (!chosen)\n        return true;"),
    ("Ctrl+Tab goes backwards", "platform/textbox.cpp",
     "QWidget::focusNextPrevChild(!back);", "QWidget::focusNextPrevChild(back);"),
    ("copied lines get the wrong line break", "platform/textbox.cpp",
     'return QStringLiteral("\\n");\n#endif', 'return QStringLiteral("\\r\\n");\n#endif'),
    ("Alt with a free letter types it", "platform/keyboard.cpp",
     "if (alt && !key->text().isEmpty() && key->text().front().isPrint()) {", "if (false) {"),
    ("Return on a focused button does nothing", "platform/keyboard.cpp",
     "            button->click();", ""),
    ("a picture's error leaves the old picture", "platform/imagebox.cpp",
     "    m_shown = QPixmap();\n    m_error = reason;", "    m_error = reason;"),
    ("a dropped file skips Save Changes?", "editor/frmmain.cpp",
     "if (settleChanges())\n        openFile(m_droppedFile);", "openFile(m_droppedFile);"),
    ("the file on the command line is ignored", "app/main.cpp",
     "if (!files.isEmpty())", "if (false)"),
    ("the picture frame keeps no description", "platform/imagebox.cpp",
     "setAccessibleDescription(QFileInfo(picture.path()).fileName());", ""),
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
    # minute instead of the test's five.
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QTEST_FUNCTION_TIMEOUT="60000")
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
