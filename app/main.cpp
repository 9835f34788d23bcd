#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/application.h"
#include "platform/services.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[])
{
    platform::SystemServices services;
    platform::Application app(argc, argv, services);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edits the unit-definition (.odf) files of a space strategy game."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("The file to open at start, as File > Open does."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        QTextStream(stderr) << parser.helpText();
        return 2;
    }

    Program program(services);
    program.frmMain.Show();
    // Opened over the shown window, exactly as File > Open would open it.
    if (!files.isEmpty())
        program.frmMain->openFile(
            QDir::toNativeSeparators(QFileInfo(files.constFirst()).absoluteFilePath()));
    return platform::Application::exec();
}
