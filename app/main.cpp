#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/forms/application.h"
#include "platform/forms/filenames.h"
#include "platform/forms/services.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace {

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Edits the unit-definition (.odf) files of a space strategy game."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("The file to open at start, as File > Open does."),
                                 QStringLiteral("[file]"));
}

// --help and --version print and end before the window system is reached,
// which a terminal without a display does not have.
void answerWithoutWindows(int& argc, char** argv)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(platform::commandLineArguments(argc, argv)) ||
        !(parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")) ||
          parser.isSet(QStringLiteral("version"))))
        return;
    const QCoreApplication core(argc, argv);
    platform::Application::identify();
    parser.process(core); // prints and ends the process
}

} // namespace

int main(int argc, char* argv[])
{
    answerWithoutWindows(argc, argv);
    platform::SystemServices services;
    platform::Application app(argc, argv, services);

    QCommandLineParser parser;
    describe(parser);
    // The file's name as it was given, even where it is not UTF-8; it goes
    // through no QFileInfo, which would lose such bytes.
    parser.process(platform::commandLineArguments(argc, argv));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        QTextStream(stderr) << parser.helpText();
        return 2;
    }

    Program program(services);
    program.frmMain.Show();
    // Opened over the shown window, exactly as File > Open would open it.
    if (!files.isEmpty())
        program.frmMain->openFile(QDir::toNativeSeparators(
            QDir::cleanPath(QDir::current().absoluteFilePath(files.constFirst()))));
    return platform::Application::exec();
}
