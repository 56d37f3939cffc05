#pragma once
// BSTR and VARIANT owned by C++, with the system's UTF-8 text.
//
// Implements: Bstr (one BSTR, freed on destruction; UTF-8 in and out, embedded NULs and
// characters beyond the BMP kept) and Variant (one VARIANT, cleared on destruction, copied with
// VariantCopy) holding the types Outlook's members use: VT_BOOL, VT_I4, VT_R8, VT_DATE, VT_BSTR,
// VT_DISPATCH, and "missing" for an optional argument left out. The readers convert like a
// late-bound caller does (VariantChangeType: "12" reads as 12, 1 as true), reading through
// VT_BYREF, and throw platform::Failure (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW...) when the value
// does not convert.
// Does not: handle arrays (SAFEARRAY) or records.

#include <cstdint>
#include <string>
#include <string_view>

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>
#include <wrl/client.h>

namespace platform::win32::com {

using Microsoft::WRL::ComPtr;

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : bstr_(other.release()) {}
    Bstr& operator=(Bstr&& other) noexcept;
    ~Bstr() { SysFreeString(bstr_); }

    BSTR get() const { return bstr_; }
    // Hands the BSTR over (to a VARIANT, an out parameter); the caller frees it.
    BSTR release() noexcept;
    // For an out parameter: frees the current string and gives its address.
    BSTR* receive();
    // Length in UTF-16 code units, as SysStringLen.
    std::size_t length() const { return SysStringLen(bstr_); }
    std::string utf8() const { return toUtf8(bstr_); }

    // A BSTR's text (nullptr reads as ""), its length taken from the BSTR, not from a NUL.
    static std::string toUtf8(BSTR bstr);

private:
    BSTR bstr_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    explicit Variant(bool value);
    Variant(std::int32_t value);
    Variant(double value);
    Variant(std::string_view utf8);
    Variant(const char* utf8) : Variant(std::string_view(utf8)) {}
    Variant(const std::string& utf8) : Variant(std::string_view(utf8)) {}
    // Holds a reference of its own; nullptr is VT_DISPATCH "Nothing".
    Variant(IDispatch* object);
    Variant(const ComPtr<IDispatch>& object) : Variant(object.Get()) {}
    // An OLE automation date (days since 1899-12-30, the fraction the time of day).
    static Variant date(double oleDate);
    // An optional argument that is left out (VT_ERROR DISP_E_PARAMNOTFOUND).
    static Variant missing();
    // A copy of a VARIANT someone else owns (an event's argument, say); VT_BYREF is read through.
    static Variant copyOf(const VARIANT& value);

    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;
    ~Variant() { VariantClear(&v_); }

    VARTYPE type() const { return v_.vt; }
    bool isEmpty() const { return v_.vt == VT_EMPTY || v_.vt == VT_NULL; }
    bool isMissing() const { return v_.vt == VT_ERROR && v_.scode == DISP_E_PARAMNOTFOUND; }

    bool toBool() const;
    std::int32_t toLong() const;
    double toDouble() const;
    double toDate() const;
    std::string toString() const;
    // The object, or nullptr for Nothing, Empty and Null. Other types fail.
    ComPtr<IDispatch> toDispatch() const;

    const VARIANT& raw() const { return v_; }
    // For an out parameter or a result: clears the value and gives its address.
    VARIANT* receive();

private:
    VARIANT converted(VARTYPE type) const;
    VARIANT v_;
};

} // namespace platform::win32::com
