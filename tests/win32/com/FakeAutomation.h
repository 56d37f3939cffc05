#pragma once
// A small automation object for tests: members by name and DISPID, answered by the test's own
// functions, and one connection point raising a source dispinterface's events to its sinks.
// It counts the names it was asked (GetIDsOfNames) and the calls it served (Invoke).

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <ocidl.h>
#include <olectl.h>

#include "platform/win32/com/Variant.h"

namespace comtest {

using platform::win32::com::ComPtr;
using platform::win32::com::Variant;

struct Call {
    WORD flags = 0;
    std::vector<Variant> args;  // declaration order (a put's value last)
    bool namedPut = false;      // the put's value came as DISPID_PROPERTYPUT
};

// Answers one call: the result, or a failed HRESULT (DISP_E_EXCEPTION fills `exception`).
using Member = std::function<HRESULT(const Call& call, Variant& result, EXCEPINFO& exception)>;

class FakeAutomation : public IDispatch, public IConnectionPointContainer {
public:
    static ComPtr<FakeAutomation> create(const IID& events = IID_NULL);

    // Adds a member answering to `name` (matched without regard to case, as Outlook does).
    void member(const std::string& name, DISPID id, Member answer);
    // A property that holds a value: get reads it, put stores it.
    void property(const std::string& name, DISPID id, Variant initial);
    const Variant& value(DISPID id) const { return values_.at(id); }

    // Raises an event on every advised sink, arguments in declaration order; returns the
    // HRESULTs the sinks answered.
    std::vector<HRESULT> fire(DISPID id, std::vector<Variant> args);
    std::size_t sinks() const;

    int nameLookups() const { return nameLookups_; }
    ULONG references() const { return references_; }
    int invocations() const { return invocations_; }
    // The most recent call's arguments, flags and put form.
    const Call& lastCall() const { return lastCall_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override;
    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    class Point;
    explicit FakeAutomation(const IID& events);
    HRESULT invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception);
    virtual ~FakeAutomation();

    ULONG references_ = 1;
    IID events_;
    Point* point_ = nullptr;
    std::map<std::wstring, DISPID> names_;
    std::map<DISPID, Member> members_;
    std::map<DISPID, Variant> values_;
    int nameLookups_ = 0;
    int invocations_ = 0;
    Call lastCall_;
};

// An EXCEPINFO as a server raising an error fills it.
HRESULT raise(EXCEPINFO& exception, const wchar_t* description, SCODE scode, WORD wCode = 0);

} // namespace comtest
