#include "benchsupport.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <map>

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QByteArray odfText(qint64 bytes)
{
    static const QByteArray block = "//**********************************************************"
                                    "************\r\n"
                                    "//SHIP NAMES\r\n"
                                    "\r\n"
                                    "unitName = \"Kestrel Lancer\"\r\n"
                                    "buildTime = 25.0\r\n"
                                    "possibleCraftNames = \r\n"
                                    "\t\"Kestrel Ash\" \"Kestrel Birch\" \"Kestrel Cedar\"\r\n"
                                    "weaponHardpoints1 = \"hp01\" \"hp02\" \"hp03\" \"hp04\"\r\n"
                                    "attackPower = 0.25f\r\n";
    QByteArray text;
    text.reserve(bytes + block.size());
    while (text.size() < bytes)
        text += block;
    return text;
}

QByteArray shortLinesText(qint64 bytes)
{
    static const QByteArray block = "hp01 = 1\nhp012 = 2\n";
    QByteArray text;
    text.reserve(bytes + block.size());
    while (text.size() < bytes)
        text += block;
    return text;
}

QString odfFile(qint64 bytes, bool shortLines)
{
    static std::map<std::pair<qint64, bool>, QString> made;
    auto it = made.find({bytes, shortLines});
    if (it != made.end())
        return it->second;
    QString path = workDir().filePath(
        QStringLiteral("doc-%1%2.odf").arg(bytes).arg(QLatin1String(shortLines ? "-short" : "")));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(shortLines ? shortLinesText(bytes) : odfText(bytes)) < 0)
        qFatal("cannot write %s", qPrintable(path));
    made[{bytes, shortLines}] = path;
    return path;
}

double peakMemoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

int runBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
