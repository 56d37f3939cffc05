#include "notifier/window/frmGetStart.h"

namespace qln {

frmGetStart::frmGetStart(forms::FormsHost& host, NotifierServices& services)
    : Form(host, "frmGetStart"),
      chkShow(add<forms::CheckBox>("chkShow")),
      btnOK(add<forms::CommandButton>("btnOK")),
      services_(services)
{
    setCaption("Getting Started - Quellin for Outlook 2000/XP/2003 by Korvane");
    chkShow.setCaption("Show when Outlook starts");
    btnOK.setCaption("&OK");
    btnOK.Click = [this] { btnOK_Click(); };
}

frmGetStart::~frmGetStart() { Unload(); }

void frmGetStart::Form_Load()
{
    // Every opening offers to show the dialog again, whatever was chosen before.
    chkShow.setValue(forms::CheckBox::vbChecked);
}

void frmGetStart::btnOK_Click()
{
    services_.settings.write(settings::GetStart, chkShow.Value() == forms::CheckBox::vbChecked ? 1 : 0);
    Unload();
}

} // namespace qln
