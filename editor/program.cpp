#include "editor/program.h"

#include "editor/frmmain.h"

Program::Program(platform::Services& services)
    : frmMain([this] { return new FrmMain(*this); }), m_services(services)
{
}

Program::~Program() = default;
