#include "editor/documentfile.h"

#include "platform/forms/services.h"

#include <QFileInfo>

using platform::MsgBox::Answer;
using platform::MsgBox::Style;

void DocumentFile::set(const QString& path)
{
    const QFileInfo file(path);
    m_path = path;
    m_size = file.exists() ? file.size() : -1;
    m_modified = file.lastModified();
}

bool DocumentFile::mayReplace(platform::Services& services, QWidget* parent,
                              const QString& path) const
{
    const QFileInfo file(path);
    QString prompt;
    if (m_path.isEmpty() || file != QFileInfo(m_path))
        prompt = tr("%1 already exists.\nDo you want to replace it?"); // as Qt's own dialog asks
    else if (file.size() != m_size || file.lastModified() != m_modified)
        prompt = tr("%1 has been changed by another program since it was opened or saved "
                    "here.\nDo you want to replace it?");
    else
        return true;
    return services.msgBox(parent, prompt.arg(file.fileName()),
                           Style::YesNo | Style::Exclamation | Style::DefaultButton2) ==
           Answer::Yes;
}
