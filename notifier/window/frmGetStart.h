#pragma once
// The first-run dialog: a short welcome with "Show when Outlook starts". Modeless; its OK
// records the choice in GetStart and closes it; closing it any other way records nothing.

#include "notifier/core/NotifierServices.h"
#include "platform/forms/Form.h"

namespace qln {

class frmGetStart final : public forms::Form {
public:
    frmGetStart(forms::FormsHost& host, NotifierServices& services);
    ~frmGetStart() override;

    forms::CheckBox& chkShow;
    forms::CommandButton& btnOK;

protected:
    void Form_Load() override;

private:
    void btnOK_Click();

    NotifierServices& services_;
};

} // namespace qln
