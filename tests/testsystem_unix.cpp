#include "testsystem.h"

#include <QFile>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

RefusedFiles::RefusedFiles(const QString& folder)
{
    const QString pipe = folder + u"/pipe.odf"_s;
    if (mkfifo(QFile::encodeName(pipe).constData(), 0600) != 0)
        qFatal("cannot make a pipe");
    files = {
        {pipe, {}}, {u"/dev/zero"_s, {}}, {folder + u"/caf\uFFFD.odf"_s, u"name cannot be read"_s}};
}

RefusedFiles::~RefusedFiles() = default;

// A write past the limit fails, instead of the signal ending the program.
SaveObstacle::SaveObstacle(const QString& target, int) : m_target(target)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_limit = static_cast<long long>(limit.rlim_cur);
    limit.rlim_cur = 4096;
    std::signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        qFatal("cannot limit the size of files");
}

SaveObstacle::~SaveObstacle()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_limit);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_DFL);
}

QString makeHidden(const QString& folder, const QString& name)
{
    const QString hidden = u'.' + name;
    QFile::rename(folder + u'/' + name, folder + u'/' + hidden);
    return hidden;
}

TestDrives testDrives(const QString& folder)
{
    return {{{u"/"_s, u"ROOT"_s}, {folder, {}}, {folder + u"/0"_s, {}}}, folder};
}
