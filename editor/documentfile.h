#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

class QWidget;

namespace platform {
class Services;
}

// The document's own file: the one last opened or saved (none after New), as
// it was on disk just after. Save As replaces it without a question, unless
// another program has changed it since; any other existing file it asks
// about first.
class DocumentFile
{
    Q_DECLARE_TR_FUNCTIONS(DocumentFile)
public:
    // Takes the file, as it is on disk now, as the document's own.
    void set(const QString& path);
    void clear() { *this = DocumentFile(); }
    const QString& path() const { return m_path; }

    // Asks, No focused, before Save As replaces an existing file that is
    // not the document's own or that changed on disk; true: replace it.
    bool mayReplace(platform::Services& services, QWidget* parent, const QString& path) const;

private:
    QString m_path;
    qint64 m_size = -1;
    QDateTime m_modified;
};
