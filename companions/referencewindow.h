#pragma once

#include <QWidget>

class QPushButton;

namespace platform {
class TextBox;
}

// A window that shows an ODF text of its design for the user to read and
// copy from: the text box Text1 and a Close button. The example and the blank
// template differ only in their design values.
class ReferenceWindow : public QWidget
{
    Q_OBJECT
public:
    // Controls.
    platform::TextBox* Text1 = nullptr;
    QPushButton* cmdClose = nullptr;

    // Event procedures.
    void cmdClose_Click();

protected:
    struct Design
    {
        const char* objectName;
        QString caption;
        QString textResource;
        int textLeft, textTop, textWidth, textHeight; // twips
        bool locked;
        QString textName; // what a screen reader calls the text
    };
    explicit ReferenceWindow(const Design& design);

private:
    void createControls(const Design& design);
    void connectEvents();
};
