#include "platform/win32/com/Variant.h"

#include <utility>

#include "platform/win32/Wide.h"
#include "platform/win32/com/ComFailure.h"

namespace platform::win32::com {

Bstr::Bstr(std::string_view utf8)
{
    const std::wstring wide = platform::win32::toWide(utf8);
    bstr_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!bstr_)
        throw comFailure("SysAllocStringLen", E_OUTOFMEMORY);
}

Bstr& Bstr::operator=(Bstr&& other) noexcept
{
    if (this != &other) {
        SysFreeString(bstr_);
        bstr_ = other.release();
    }
    return *this;
}

BSTR Bstr::release() noexcept { return std::exchange(bstr_, nullptr); }

BSTR* Bstr::receive()
{
    SysFreeString(std::exchange(bstr_, nullptr));
    return &bstr_;
}

std::string Bstr::toUtf8(BSTR bstr)
{
    if (!bstr)
        return {};
    return platform::win32::toUtf8(std::wstring_view(bstr, SysStringLen(bstr)));
}

Variant::Variant(bool value)
{
    VariantInit(&v_);
    v_.vt = VT_BOOL;
    v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(std::int32_t value)
{
    VariantInit(&v_);
    v_.vt = VT_I4;
    v_.lVal = value;
}

Variant::Variant(double value)
{
    VariantInit(&v_);
    v_.vt = VT_R8;
    v_.dblVal = value;
}

Variant::Variant(std::string_view utf8)
{
    VariantInit(&v_);
    Bstr text(utf8);
    v_.vt = VT_BSTR;
    v_.bstrVal = text.release();
}

Variant::Variant(IDispatch* object)
{
    VariantInit(&v_);
    v_.vt = VT_DISPATCH;
    v_.pdispVal = object;
    if (object)
        object->AddRef();
}

Variant Variant::date(double oleDate)
{
    Variant result;
    result.v_.vt = VT_DATE;
    result.v_.date = oleDate;
    return result;
}

Variant Variant::missing()
{
    Variant result;
    result.v_.vt = VT_ERROR;
    result.v_.scode = DISP_E_PARAMNOTFOUND;
    return result;
}

Variant Variant::copyOf(const VARIANT& value)
{
    Variant result;
    check(VariantCopyInd(&result.v_, const_cast<VARIANT*>(&value)), "VariantCopyInd");
    return result;
}

Variant::Variant(const Variant& other)
{
    VariantInit(&v_);
    check(VariantCopy(&v_, const_cast<VARIANT*>(&other.v_)), "VariantCopy");
}

Variant& Variant::operator=(const Variant& other)
{
    if (this != &other) {
        Variant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

// A VARIANT is plain data: moving it is copying the bits and leaving VT_EMPTY behind.
Variant::Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }

Variant& Variant::operator=(Variant&& other) noexcept
{
    if (this != &other) {
        VariantClear(&v_);
        v_ = other.v_;
        VariantInit(&other.v_);
    }
    return *this;
}

VARIANT* Variant::receive()
{
    VariantClear(&v_);
    return &v_;
}

VARIANT Variant::converted(VARTYPE type) const
{
    VARIANT out;
    VariantInit(&out);
    // VariantChangeType reads through VT_BYREF itself.
    const HRESULT hr = VariantChangeType(&out, const_cast<VARIANT*>(&v_), 0, type);
    if (FAILED(hr))
        throw comFailure("VariantChangeType", hr);
    return out;
}

bool Variant::toBool() const
{
    if (v_.vt == VT_BOOL)
        return v_.boolVal != VARIANT_FALSE;
    return converted(VT_BOOL).boolVal != VARIANT_FALSE;
}

std::int32_t Variant::toLong() const
{
    if (v_.vt == VT_I4)
        return v_.lVal;
    return converted(VT_I4).lVal;
}

double Variant::toDouble() const
{
    if (v_.vt == VT_R8)
        return v_.dblVal;
    return converted(VT_R8).dblVal;
}

double Variant::toDate() const
{
    if (v_.vt == VT_DATE)
        return v_.date;
    return converted(VT_DATE).date;
}

std::string Variant::toString() const
{
    if (v_.vt == VT_BSTR)
        return Bstr::toUtf8(v_.bstrVal);
    VARIANT out = converted(VT_BSTR);
    std::string text = Bstr::toUtf8(out.bstrVal);
    VariantClear(&out);
    return text;
}

ComPtr<IDispatch> Variant::toDispatch() const
{
    const VARIANT* value = &v_;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal)
        value = value->pvarVal;
    ComPtr<IDispatch> object;
    switch (value->vt) {
    case VT_EMPTY:
    case VT_NULL:
        return object;
    case VT_DISPATCH:
        object = value->pdispVal;
        return object;
    case VT_DISPATCH | VT_BYREF:
        if (value->ppdispVal)
            object = *value->ppdispVal;
        return object;
    case VT_UNKNOWN:
        if (value->punkVal)
            check(value->punkVal->QueryInterface(IID_PPV_ARGS(&object)), "QueryInterface(IDispatch)");
        return object;
    default:
        throw comFailure("VariantChangeType", DISP_E_TYPEMISMATCH);
    }
}

} // namespace platform::win32::com
