#include "editor/frmmain.h"
#include "editor/program.h"
#include "platform/application.h"
#include "platform/services.h"

int main(int argc, char* argv[])
{
    platform::SystemServices services;
    platform::Application app(argc, argv, services);
    Program program(services);
    program.frmMain.Show();
    return platform::Application::exec();
}
