#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>

class QColor;
class QPalette;

namespace platform {

class RichTextBox;

// Colours the parts of ODF text in a text control: comment lines and banners,
// include lines with their file name, [Section] headers, key names, numbers and
// quoted strings; everything else keeps the text colour. Only the colours
// change: every style has the control's font, and the text is never touched.
//
// Each line is coloured from its own start with nothing carried over from the
// line before, so an edit recolours its own lines and never throws the rest of
// the document out of step. The engine asks for the lines it is about to
// paint, a few milliseconds' worth at a time. A document whose lines were
// too long to edit, and were cut for showing, stays plain. Of a line
// longer than kLongLine bytes only the first kLongLine are coloured, so the
// cost of a paint stays bounded whatever the shape of the file.
class OdfStyler : public QObject
{
    Q_OBJECT
public:
    enum Style : char { Plain, Comment, Include, Section, Key, Number, String, StyleCount };
    static constexpr qsizetype kLongLine = qsizetype(64) * 1024;

    explicit OdfStyler(RichTextBox* box);

    // The styles of the bytes of text that starts at the start of a line.
    static void style(QByteArrayView text, char* styles);
    // The key name of a key line ("name = value"), empty for any other line.
    static QByteArrayView keyOf(QByteArrayView line);
    // A style's colour on a palette: a hue of its own, brought towards the
    // palette's text colour as far as it takes to keep a contrast of at least
    // 4.5:1 against the palette's base (window) colour.
    static QColor colour(Style style, const QPalette& palette);
    static double contrast(const QColor& a, const QColor& b);

private:
    void applyColours();
    void styleNeeded(long position);
    void styleLines(long first, long last);
    void beforeChange(long position, int type, long length);
    void setPlain(long start, long end);

    RichTextBox* m_box;
    QByteArray m_styles;
};

} // namespace platform
