#pragma once

#include "platform/forms/forms.h"
#include "platform/text/textsearch.h"

namespace platform {
class Services;
}

class FrmMain;
class FrmExample;
class FrmPublished;
class FrmAbout;
class FrmPreview;
class FrmFind;

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
    platform::FormInstance<FrmFind> frmFind;

    // What F3 looks for again: the last search of the Find window.
    platform::SearchRequest lastSearch;
    bool lastWrap = true;

private:
    platform::Services& m_services;
};
