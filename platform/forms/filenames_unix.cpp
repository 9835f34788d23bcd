#include "platform/forms/filenames.h"

#include <QUrl>

namespace platform {
namespace {

// Where the bytes that are not UTF-8 go: byte b becomes U+DC00 + b.
constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;

// The length of the valid UTF-8 character that the bytes start with, or 0.
qsizetype characterLength(QByteArrayView bytes)
{
    const auto lead = static_cast<unsigned char>(bytes.front());
    const qsizetype length = lead < 0x80   ? 1
                             : lead < 0xC2 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 0;
    if (length == 0 || length > bytes.size())
        return 0;
    return bytes.first(length).isValidUtf8() ? length : 0;
}

} // namespace

QString fileNameFromBytes(const QByteArray& bytes)
{
    if (QByteArrayView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    QString name;
    qsizetype run = 0; // the start of the valid bytes not yet converted
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = characterLength(QByteArrayView(bytes).sliced(at));
        if (length > 0) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + run, at - run);
        name += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes.at(at))));
        run = ++at;
    }
    return name + QString::fromUtf8(bytes.constData() + run, bytes.size() - run);
}

QByteArray fileNameBytes(const QString& name)
{
    QByteArray bytes;
    qsizetype run = 0; // the start of the characters not yet converted
    for (qsizetype at = 0; at < name.size(); ++at) {
        const char16_t c = name.at(at).unicode();
        if (QChar::isHighSurrogate(c) && at + 1 < name.size() && name.at(at + 1).isLowSurrogate())
            ++at; // a character beyond the BMP, not an escaped byte
        else if (c >= kFirstEscape && c <= kLastEscape) {
            bytes += QStringView(name).sliced(run, at - run).toUtf8();
            bytes += char(c - kEscapeBase);
            run = at + 1;
        }
    }
    return bytes + QStringView(name).sliced(run).toUtf8();
}

QString localFileName(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    // The URL keeps the name's bytes percent-encoded; Qt's decoding would
    // replace those that are not UTF-8.
    if (url.host().isEmpty()) {
        return fileNameFromBytes(
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    }
    return url.toLocalFile();
}

QStringList commandLineArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << fileNameFromBytes(QByteArray(argv[i])); // NOLINT(*-pointer-arithmetic)
    return arguments;
}

bool isUnreadableName(const QString& name)
{
    return name.contains(QChar::ReplacementCharacter);
}

} // namespace platform
