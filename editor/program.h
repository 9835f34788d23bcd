#pragma once

#include "platform/forms/forms.h"

namespace platform {
class Services;
}

class FrmMain;
class FrmExample;
class FrmPublished;
class FrmAbout;
class FrmPreview;

// The program's windows, one instance of each reached by its name, and the
// services they share. Lives for the whole run.
class Program
{
public:
    explicit Program(platform::Services& services);
    ~Program();

    platform::Services& services() const { return m_services; }

    platform::FormInstance<FrmMain> frmMain;
    platform::FormInstance<FrmExample> frmExample;
    platform::FormInstance<FrmPublished> frmPublished;
    platform::FormInstance<FrmAbout> frmAbout;
    platform::FormInstance<FrmPreview> frmPreview;

private:
    platform::Services& m_services;
};
