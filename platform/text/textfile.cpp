#include "platform/text/textfile.h"

#include "platform/forms/runtimeerror.h"
#include "platform/text/textfile_system.h"

#include <Qsci/qsciscintillabase.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstddef>
#include <utility>

namespace platform::scintilla {

// The engine's document loader. The Qt package ships no declaration of it, so
// here is one that matches the engine's own. It must keep external linkage:
// with internal linkage the compiler may conclude that nothing implements it
// and turn the calls into pure-virtual traps.
class ILoader
{
public:
    virtual int Release() = 0;
    // Returns one of the SC_STATUS_* codes.
    virtual int AddData(const char* data, std::ptrdiff_t length) = 0;
    virtual void* ConvertToDocument() = 0;

protected:
    ~ILoader() = default;
};

// The loader carries the engine's own type information, which the undefined
// behaviour sanitizer's check of dynamic types cannot match to the declaration
// above; the calls go through these.
#if defined(__GNUC__) || defined(__clang__)
#define TESSMARK_ENGINE_CALL __attribute__((no_sanitize("vptr")))
#else
#define TESSMARK_ENGINE_CALL
#endif

TESSMARK_ENGINE_CALL int addData(ILoader* loader, QByteArrayView bytes)
{
    return loader->AddData(bytes.data(), bytes.size());
}

TESSMARK_ENGINE_CALL void release(ILoader* loader)
{
    loader->Release();
}

TESSMARK_ENGINE_CALL void* convertToDocument(ILoader* loader)
{
    return loader->ConvertToDocument();
}

} // namespace platform::scintilla

namespace platform {
namespace {

using Sci = QsciScintillaBase;

constexpr qint64 kMiB = 1024LL * 1024;
// Files are read, converted and written in pieces of this size.
constexpr qint64 kPiece = 4 * kMiB;
// Loads and saves of more than this take long enough to show a wait cursor.
constexpr qint64 kSlowSize = 4 * kMiB;

RuntimeError tooLarge(qint64 size)
{
    return RuntimeError(tr("The file is too large to edit (%1 MB; the limit is %2 MB).")
                            .arg(size / kMiB)
                            .arg(kMaxTextFileSize / kMiB));
}

RuntimeError outOfMemory()
{
    return RuntimeError(tr("There is not enough memory to open the file."));
}

// Reads up to a buffer's size; fewer bytes only at the end of the file.
qint64 readPiece(QFile& file, QByteArray& buffer)
{
    qint64 total = 0;
    while (total < buffer.size()) {
        const qint64 n = file.read(buffer.data() + total, buffer.size() - total);
        if (n < 0)
            throw RuntimeError(describe(file));
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

// A new document that the engine fills piece by piece; released unless taken.
class DocumentLoader
{
public:
    explicit DocumentLoader(scintilla::ILoader* loader) : m_loader(loader)
    {
        if (m_loader == nullptr)
            throw outOfMemory();
    }
    ~DocumentLoader()
    {
        if (m_loader != nullptr)
            scintilla::release(m_loader);
    }
    DocumentLoader(const DocumentLoader&) = delete;
    DocumentLoader& operator=(const DocumentLoader&) = delete;

    void add(QByteArrayView bytes)
    {
        if (scintilla::addData(m_loader, bytes) != Sci::SC_STATUS_OK)
            throw outOfMemory();
    }
    void* take() { return scintilla::convertToDocument(std::exchange(m_loader, nullptr)); }

private:
    scintilla::ILoader* m_loader;
};

// Shows the wait cursor for the length of a scope, if the work is large.
class WaitCursor
{
public:
    explicit WaitCursor(bool large) : m_shown(large && qobject_cast<QApplication*>(qApp) != nullptr)
    {
        if (m_shown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_shown;
};

// Passes text on to a loader, cutting each line longer than kMaxLineLength
// into pieces of that length at the start of a character. Ordinary lines cost
// a look at the end of each stretch of kMaxLineLength bytes: a line break is
// searched from there backwards, and the next stretch starts after it.
class LineCutter
{
public:
    explicit LineCutter(DocumentLoader& loader) : m_loader(loader) {}

    void add(QByteArrayView text)
    {
        qsizetype done = 0;                  // bytes of the text passed on
        qsizetype lineStart = -m_lineLength; // where the current line began
        for (;;) {
            // The current line must end at this byte at the latest.
            const qsizetype last = lineStart + kMaxLineLength;
            if (last >= text.size())
                break;
            const qsizetype first = std::max<qsizetype>(lineStart, 0);
            qsizetype at = last;
            while (at >= first && text[at] != '\n' && text[at] != '\r')
                --at;
            if (at >= first) {
                lineStart = at + 1;
                continue;
            }
            // Too long: cut before the first byte of a character, backwards
            // if it can be done in this text, or else forwards.
            qsizetype cut = std::max(last, done);
            while (cut > done && (text[cut] & 0xC0) == 0x80)
                --cut;
            while (cut < text.size() && (text[cut] & 0xC0) == 0x80)
                ++cut;
            if (cut == text.size())
                break;
            m_loader.add(text.sliced(done, cut - done));
            m_written += cut - done;
            m_loader.add("\n");
            cuts.push_back(m_written++);
            done = lineStart = cut;
        }
        m_lineLength = text.size() - lineStart;
        m_loader.add(text.sliced(done));
        m_written += text.size() - done;
    }

    LineCuts cuts;

private:
    DocumentLoader& m_loader;
    qsizetype m_lineLength = 0;
    qsizetype m_written = 0;
};

// The room to make in a new document for a file's text: more than the file
// with a cut in every kMaxLineLength bytes. The engine grows a full buffer
// (the text and the style bytes) by copying it, which would double the peak
// memory at the end of the load.
qint64 roomFor(qint64 fileSize)
{
    const qint64 size = std::min(fileSize, kMaxTextFileSize);
    return size + size / kMaxLineLength + 1;
}

// Reads a file from its start into a new document, in pieces, refusing it as
// soon as it proves larger than the limit, whatever size the file system
// reports. Unconverted, the bytes go in as they are, which is right for UTF-8
// and for ASCII; the result is null when the file proves to be Windows-1252
// beyond ASCII after some of it went in that way, and the caller reads it
// again, converted.
void* readDocument(const Sci& engine, QFile& file, bool convert, TextFormat& format, LineCuts& cuts)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the engine returns its pointers as integers
    DocumentLoader loader(reinterpret_cast<scintilla::ILoader*>(engine.SendScintilla(
        Sci::SCI_CREATELOADER, static_cast<unsigned long>(roomFor(file.size())),
        engine.SendScintilla(Sci::SCI_GETDOCUMENTOPTIONS))));
    LineCutter cutter(loader);
    FormatScanner scanner;
    QByteArray buffer(kPiece, Qt::Uninitialized);
    QByteArray converted;
    qint64 total = 0;
    bool asIs = !convert;
    for (qint64 n = 0; (n = readPiece(file, buffer)) > 0;) {
        total += n;
        if (total > kMaxTextFileSize)
            throw tooLarge(std::max(total, file.size()));
        QByteArrayView piece(buffer.constData(), n);
        const bool asciiBefore = scanner.isAscii();
        scanner.add(piece);
        if (asIs && !scanner.mayBeUtf8()) {
            if (!asciiBefore)
                return nullptr;
            asIs = false; // what went in reads the same in Windows-1252
        }
        if (asIs) {
            if (total == n && scanner.hasByteOrderMark())
                piece = piece.sliced(3);
            cutter.add(piece);
        } else {
            converted.resize(0);
            appendCp1252AsUtf8(piece, converted);
            cutter.add(converted);
        }
    }
    format = scanner.format();
    if (asIs && format.encoding != Encoding::Utf8 && !scanner.isAscii())
        return nullptr;
    cuts = std::move(cutter.cuts);
    return loader.take();
}

} // namespace

bool looksBinary(const QString& path)
{
    QFile file;
    try {
        openRegularFile(file, path);
    } catch (const RuntimeError&) {
        return false;
    }
    return file.read(qint64(64) * 1024).contains('\0');
}

void* loadTextFile(const QsciScintillaBase& engine, const QString& path, TextFormat& format,
                   LineCuts& cuts)
{
    QFile file;
    openRegularFile(file, path);
    const WaitCursor wait(file.size() > kSlowSize);
    void* doc = readDocument(engine, file, false, format, cuts);
    if (doc == nullptr) {
        if (!file.seek(0))
            throw RuntimeError(describe(file));
        doc = readDocument(engine, file, true, format, cuts);
    }
    return doc;
}

void saveTextFile(const QString& path, QByteArrayView text, const TextFormat& format,
                  const LineCuts& cuts)
{
    const WaitCursor wait(text.size() > kSlowSize);
    const bool utf8 = format.encoding == Encoding::Utf8;
    const KeptAttributes kept(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeError(describe(file));
    const auto write = [&file](QByteArrayView bytes) {
        if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
            const QString reason = describe(file);
            file.cancelWriting();
            throw RuntimeError(reason);
        }
    };
    if (utf8 && format.byteOrderMark)
        write("\xEF\xBB\xBF");
    QByteArray piece;
    // Each stretch between two cuts begins and ends with a whole character.
    const auto writeStretch = [&](QByteArrayView stretch) {
        if (utf8)
            return write(stretch);
        for (qsizetype at = 0; at < stretch.size();) {
            // A piece ends at the start of a character.
            qsizetype end = std::min<qsizetype>(at + kPiece, stretch.size());
            while (end < stretch.size() && (stretch[end] & 0xC0) == 0x80)
                ++end;
            piece.resize(0);
            if (!appendUtf8AsCp1252(stretch.sliced(at, end - at), piece)) {
                file.cancelWriting();
                throw RuntimeError(
                    tr("The text holds characters that cannot be stored in this file's encoding."));
            }
            write(piece);
            at = end;
        }
    };
    qsizetype from = 0;
    for (const qsizetype cut : cuts) {
        writeStretch(text.sliced(from, cut - from));
        from = cut + 1;
    }
    writeStretch(text.sliced(from));
    // What is still in the file's buffer reaches the disk only when flushed,
    // and commit() does not report a flush that fails (a full disk): the
    // flush is checked here, or a truncated file would replace the old one.
    if (!file.flush()) {
        const QString reason = describe(file);
        file.cancelWriting();
        throw RuntimeError(reason);
    }
    if (!file.commit())
        throw RuntimeError(describe(file));
    kept.restore();
}

} // namespace platform
