#include "platform/win32/com/activex/Entry.h"

#include <oleauto.h>

#include "platform/win32/Wide.h"
#include "platform/win32/com/Variant.h"

namespace platform::win32::com::activex {

HRESULT hresultOf(const Failure& failure)
{
    const std::int32_t number = failure.number();
    if (number < 0)
        return static_cast<HRESULT>(number);
    if (number > 0 && number <= 0xFFFF)
        return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
    return E_FAIL;
}

HRESULT raise(const Failure& failure, const IID& from)
{
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetGUID(from);
        const std::wstring text = toWide(failure.what());
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.As(&info)))
            SetErrorInfo(0, info.Get());
    }
    return hresultOf(failure);
}

} // namespace platform::win32::com::activex
