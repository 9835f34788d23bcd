#pragma once

#include "editor/documentfile.h"
#include "platform/forms/commondialog.h"

#include <QMainWindow>

class Program;
class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace platform {
class RichTextBox;
class RuntimeError;
} // namespace platform

// The editor's one document window and the program's start-up window.
class FrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit FrmMain(Program& program, QWidget* parent = nullptr);

    // Controls.
    platform::RichTextBox* rtfBox = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdMinimize = nullptr;
    // Above the text while the document is a file with lines too long to edit,
    // or after an edit that would have made such a line was refused.
    QLabel* lblReadOnly = nullptr;
    platform::CommonDialog cdl1; // Open
    platform::CommonDialog cdl2; // Save As

    // Menus.
    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuFileSep1 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuCut = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuEditSep1 = nullptr;
    QAction* mnuSelectAll = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuHardpointViewer = nullptr;
    QMenu* mnuInsert = nullptr;
    QAction* mnuInclude = nullptr;
    QAction* mnuItemSeparator = nullptr;
    QAction* mnudoubleslash = nullptr;
    QAction* mnuhash = nullptr;
    QMenu* mnuProgramExtras = nullptr;
    QAction* mnuOpenExample = nullptr;
    QAction* mnuOpenPublished = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    // On keys and the document's context menu only: the menu bar keeps its
    // design.
    QAction* mnuFind = nullptr;
    QAction* mnuReplace = nullptr;
    QAction* mnuGoTo = nullptr;
    QAction* mnuFindNext = nullptr;
    QAction* mnuFindPrevious = nullptr;

    // Document state.
    QString strLastsave;
    QString strLastopen;
    bool blnChanged = false;
    QString strInclude;
    QString strItemSeparator;
    QString strDoubleSlash;
    QString strHash;

    // Event procedures.
    void rtfBox_Change();
    void cmdClear_Click();
    void cmdMinimize_Click();
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSaveAs_Click();
    void mnuExit_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuSelectAll_Click();
    void mnuHardpointViewer_Click();
    void mnuInclude_Click();
    void mnuItemSeparator_Click();
    void mnudoubleslash_Click();
    void mnuhash_Click();
    void mnuOpenExample_Click();
    void mnuOpenPublished_Click();
    void mnuAbout_Click();
    void mnuGoTo_Click();

    // What Open does once its dialog has named a file: asks before a file
    // with NUL bytes, loads it, names it in the caption and remembers it. A
    // file that cannot be read is reported and the document stays as it was.
    void openFile(const QString& path);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void createSearchKeys();
    void createUndoKeys();
    void connectEvents();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});

    // Asks "Save Changes?" when the document has unsaved changes; false means
    // the command that asked must not go on.
    bool settleChanges();
    // Takes a drag and drop of files, anywhere in the window, the document
    // included; a drop of text is left to the control under it.
    bool takeFileDrop(QEvent* event);
    Q_INVOKABLE void openDroppedFile();
    bool saveAs();
    void writeText(const QString& text);
    void showReadOnlyNotice();
    void refuseLongLine();
    void showNotice(const QString& text);
    void reportFileError(const QString& what, const QString& path,
                         const platform::RuntimeError& error);

    static constexpr QLatin1String kOdfFilter{"ODF files (.odf)|*.odf"};

    Program& m_program;
    DocumentFile m_file;
    bool m_writing = false; // the program, not the user, is changing the text
    QString m_droppedFile;  // the last drop's file, until it is opened
};
