#pragma once
// A control's dual interface: IDispatch answered from the type library in the module's resources.
//
// Implements: DualControl<Dual>, a Control that is also `Dual` (a widl-generated dual interface).
// GetIDsOfNames and Invoke go through the interface's ITypeInfo (DispGetIDsOfNames, DispInvoke),
// so late-bound callers reach exactly the vtable methods the derived control implements, the
// inherited interfaces' members (an Outlook PropertyPage's Dirty) included. QueryInterface
// answers IDispatch and the dual interface's id with the same pointer; a derived control adds
// the ids of the interfaces `Dual` derives from (extraDualIds).
// Does not: named arguments beyond what DispInvoke supports, or a second dispatch interface.

#include <vector>

#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/activex/Control.h"
#include "platform/win32/com/activex/Entry.h"

namespace platform::win32::com::activex {

template <class Dual>
class DualControl : public Control, public Dual {
public:
    // IUnknown, one for every base.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return Control::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Control::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Control::Release(); }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        return comEntry(IID_IDispatch, [&]() -> HRESULT {
            const ComPtr<ITypeInfo>& type = dualInfo();
            *info = type.Get();
            type->AddRef();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return comEntry(IID_IDispatch, [&]() -> HRESULT { return DispGetIDsOfNames(dualInfo().Get(), names, count, ids); });
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override
    {
        return comEntry(IID_IDispatch, [&]() -> HRESULT {
            SetErrorInfo(0, nullptr);
            const HRESULT hr = DispInvoke(static_cast<Dual*>(this), dualInfo().Get(), id, flags, params, result,
                                          exception, argumentError);
            if (SUCCEEDED(hr) || hr == DISP_E_EXCEPTION || HRESULT_FACILITY(hr) == FACILITY_DISPATCH)
                return hr;
            // A member's own error (380, invalid property value, say) reaches a late-bound caller
            // as an exception with its code and text, as VB raises it.
            return exceptionOf(hr, exception);
        });
    }

protected:
    using Control::Control;

    // Interface ids besides IDispatch and __uuidof(Dual) that the dual interface answers for.
    virtual std::vector<IID> extraDualIds() const { return {}; }

    void* queryDual(REFIID iid) override
    {
        if (iid == IID_IDispatch || iid == __uuidof(Dual))
            return static_cast<Dual*>(this);
        for (const IID& extra : extraDualIds())
            if (iid == extra)
                return static_cast<Dual*>(this);
        return nullptr;
    }

    const ComPtr<ITypeInfo>& dualInfo()
    {
        if (!dualInfo_)
            check(typeLibrary()->GetTypeInfoOfGuid(__uuidof(Dual), &dualInfo_), "GetTypeInfoOfGuid");
        return dualInfo_;
    }

private:
    static HRESULT exceptionOf(HRESULT hr, EXCEPINFO* exception)
    {
        if (!exception)
            return hr;
        *exception = EXCEPINFO{};
        exception->scode = hr;
        ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, &info) == S_OK && info) {
            info->GetDescription(&exception->bstrDescription);
            info->GetSource(&exception->bstrSource);
        }
        return DISP_E_EXCEPTION;
    }

    ComPtr<ITypeInfo> dualInfo_;
};

} // namespace platform::win32::com::activex
