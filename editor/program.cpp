#include "editor/program.h"

#include "companions/frmabout.h"
#include "companions/frmexample.h"
#include "companions/frmpreview.h"
#include "companions/frmpublished.h"
#include "editor/frmfind.h"
#include "editor/frmmain.h"

Program::Program(platform::Services& services)
    : frmMain([this] { return new FrmMain(*this); }), frmExample([] { return new FrmExample; }),
      frmPublished([] { return new FrmPublished; }), frmAbout([] { return new FrmAbout; }),
      frmPreview([this] { return new FrmPreview(this->services()); }),
      frmFind([this] { return new FrmFind(*this); }), m_services(services)
{
}

Program::~Program() = default;
