#include "platform/textfile.h"

#include "platform/runtimeerror.h"

#include <Qsci/qsciscintillabase.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstddef>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

QString tr(const char* text)
{
    return QCoreApplication::translate("platform::TextFile", text);
}

QString describe(const QFileDevice& file)
{
    return file.errorString().isEmpty() ? tr("Unknown error") : file.errorString();
}

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

// Whether an open file is a regular file, and not a device, a pipe or a
// socket, whose reads could go on for ever or block.
bool isRegular(const QFile& file)
{
#ifdef Q_OS_UNIX
    struct stat status = {};
    return fstat(file.handle(), &status) == 0 && S_ISREG(status.st_mode);
#else
    return QFileInfo(file).isFile();
#endif
}

// Opens a file for reading, refusing anything but a regular file.
void openRegularFile(QFile& file)
{
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile()) {
        throw RuntimeError(info.isDir() ? tr("It is a folder, not a file.")
                                        : tr("It is not a regular file."));
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw RuntimeError(describe(file));
    if (!isRegular(file))
        throw RuntimeError(tr("It is not a regular file."));
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

// Reads a file from its start into a new document, in pieces, refusing it as
// soon as it proves larger than the limit, whatever size the file system
// reports. Unconverted, the bytes go in as they are, which is right for UTF-8
// and for ASCII; the result is null when the file proves to be Windows-1252
// beyond ASCII after some of it went in that way, and the caller reads it
// again, converted.
void* readDocument(const Sci& engine, QFile& file, bool convert, TextFormat& format)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the engine returns its pointers as integers
    DocumentLoader loader(reinterpret_cast<scintilla::ILoader*>(engine.SendScintilla(
        Sci::SCI_CREATELOADER, static_cast<unsigned long>(std::min(file.size(), kMaxTextFileSize)),
        long(Sci::SC_DOCUMENTOPTION_STYLES_NONE))));
    FormatScanner scanner;
    QByteArray buffer(kPiece, Qt::Uninitialized);
    QByteArray converted;
    qint64 total = 0;
    bool asIs = !convert;
    for (qint64 n = 0; (n = readPiece(file, buffer)) > 0;) {
        total += n;
        if (total > kMaxTextFileSize)
            throw tooLarge(total);
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
            loader.add(piece);
        } else {
            converted.resize(0);
            appendCp1252AsUtf8(piece, converted);
            loader.add(converted);
        }
    }
    format = scanner.format();
    if (asIs && format.encoding != Encoding::Utf8 && !scanner.isAscii())
        return nullptr;
    return loader.take();
}

} // namespace

bool looksBinary(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false; // opening a pipe or a device could block
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !isRegular(file))
        return false;
    return file.read(qint64(64) * 1024).contains('\0');
}

void* loadTextFile(const QsciScintillaBase& engine, const QString& path, TextFormat& format)
{
    QFile file(path);
    openRegularFile(file);
    const WaitCursor wait(file.size() > kSlowSize);
    void* doc = readDocument(engine, file, false, format);
    if (doc == nullptr) {
        if (!file.seek(0))
            throw RuntimeError(describe(file));
        doc = readDocument(engine, file, true, format);
    }
    return doc;
}

void saveTextFile(const QString& path, QByteArrayView text, const TextFormat& format)
{
    const WaitCursor wait(text.size() > kSlowSize);
    const bool utf8 = format.encoding == Encoding::Utf8;
    if (!utf8 && !fitsCp1252(text)) {
        throw RuntimeError(
            tr("The text holds characters that cannot be stored in this file's encoding."));
    }

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
    if (utf8) {
        if (format.byteOrderMark)
            write("\xEF\xBB\xBF");
        write(text);
    } else {
        QByteArray piece;
        for (qsizetype at = 0; at < text.size();) {
            // A piece ends at the start of a character.
            qsizetype end = std::min<qsizetype>(at + kPiece, text.size());
            while (end < text.size() && (text[end] & 0xC0) == 0x80)
                ++end;
            piece.resize(0);
            appendUtf8AsCp1252(text.sliced(at, end - at), piece);
            write(piece);
            at = end;
        }
    }
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
}

} // namespace platform
