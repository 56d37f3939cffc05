#pragma once
// The stand-in's automation objects: IDispatch answered from a table of members (name, DISPID,
// the kinds of call allowed, the function that answers), and, for an object that raises events, one
// connection point for a source dispinterface.
//
// Implements: GetIDsOfNames by name without regard to case (as Outlook), Invoke by DISPID with the
// arguments in declaration order (a put's value last), a member's failure as DISP_E_EXCEPTION with
// its text (platform::Failure, std::invalid_argument) or its own HRESULT (ServedError), every
// served call and name look-up counted per "Interface.Member" in CallCounts. Advise asks the sink
// for the events' dispinterface, as a real source does (across processes that needs the
// dispinterface's registered type library). Every COM entry is one guard (CallbackGuard.h).
// Does not: give type information, take named arguments beyond a put's, or enumerate connections.

#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <ocidl.h>
#include <olectl.h>

#include "platform/win32/com/Variant.h"

namespace standin {

using platform::win32::com::ComPtr;
using platform::win32::com::Variant;

// What one Invoke handed over.
struct Call {
    WORD flags = 0;
    std::vector<Variant> args;  // declaration order; a put's value last

    bool put() const { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
    // Whether argument i was given (not left out).
    bool has(std::size_t i) const { return i < args.size() && !args[i].isMissing(); }
    // Argument i, which must be given.
    const Variant& arg(std::size_t i) const;
};

// A member that refuses with an HRESULT of its own (DISP_E_BADPARAMCOUNT, say).
struct ServedError {
    HRESULT hr;
};

// Calls served, per "Interface.Member" ("MailItem.Subject"); name look-ups count as
// "Interface.GetIDsOfNames".
class CallCounts {
public:
    void count(std::string_view interfaceName, std::string_view member);
    // One key's count; "*" gives the total.
    int of(std::string_view key) const;
    void reset() { counts_.clear(); }
    // "Interface.Member=N" lines, sorted.
    std::string report() const;

    // Outlook quits in the middle of the next call of `key` ("MailItem.Subject"): `quit` runs
    // while the call is being served, and the call then fails as a call to a server that has gone.
    void quitDuring(std::string key, std::function<void()> quit);
    // Whether the call just served was that one (its quit has run): the trap springs once.
    bool sprung(std::string_view interfaceName, std::string_view member);

private:
    std::string trap_;
    std::function<void()> trapQuit_;
    std::map<std::string, int, std::less<>> counts_;
};

// Kinds of call a member answers.
inline constexpr WORD kMethod = DISPATCH_METHOD;
inline constexpr WORD kGet = DISPATCH_PROPERTYGET;
inline constexpr WORD kPut = DISPATCH_PROPERTYPUT;

class Served : public IDispatch, public IConnectionPointContainer {
public:
    // Objects alive now, of every kind (the server ends when its clients hold none).
    static int alive();
    // Calls served by every object so far (look-ups and invocations).
    static std::uint64_t calls();
    // Event sinks connected to any object now.
    static int connectedSinks();

    ULONG references() const { return references_; }
    // Raises one event on every advised sink, arguments in declaration order. A sink whose
    // process is gone is dropped.
    void fire(DISPID id, const std::vector<Variant>& args);
    std::size_t sinks() const { return sinks_.size(); }

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

protected:
    // `events`: the source dispinterface, IID_NULL for an object without events. `counts` may be
    // nullptr (calls not counted).
    Served(std::string_view interfaceName, CallCounts* counts, const IID& events = IID_NULL);
    virtual ~Served();

    // The member's DISPID, or DISPID_UNKNOWN.
    virtual DISPID idOf(std::wstring_view name) const = 0;
    // Answers a call; throws to fail it. Sets `member` to the member's name (for the counts),
    // leaves it empty when there is no such member.
    virtual Variant serve(DISPID id, const Call& call, std::string_view& member) = 0;
    // The first sink connected and the last one gone (to start and stop listening).
    virtual void firstSink() {}
    virtual void lastSinkGone() {}

private:
    class Point;
    HRESULT invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception);

    std::string interfaceName_;
    CallCounts* counts_;
    IID events_;
    ULONG references_ = 1;
    Point* point_ = nullptr;
    std::map<DWORD, ComPtr<IDispatch>> sinks_;
    DWORD lastCookie_ = 0;
};

// One row of an object's member table.
template <class Self>
struct Member {
    std::string_view name;
    DISPID id;
    WORD kinds;
    Variant (*answer)(Self& self, const Call& call);
};

// An object whose members are the rows of a table. Self derives from ServedAs<Self>.
template <class Self>
class ServedAs : public Served {
protected:
    ServedAs(std::string_view interfaceName, CallCounts* counts, std::span<const Member<Self>> table,
             const IID& events = IID_NULL)
        : Served(interfaceName, counts, events), table_(table)
    {
    }

    DISPID idOf(std::wstring_view name) const override
    {
        for (const auto& row : table_) {
            if (sameName(row.name, name))
                return row.id;
        }
        return DISPID_UNKNOWN;
    }

    Variant serve(DISPID id, const Call& call, std::string_view& member) override
    {
        for (const auto& row : table_) {
            if (row.id != id)
                continue;
            member = row.name;
            // A property get may come as a method call too (VB's "obj.Count" with DISPATCH_METHOD |
            // DISPATCH_PROPERTYGET); a put must be a put.
            const WORD kind = call.put() ? kPut : (call.flags & row.kinds & (kMethod | kGet));
            if (!(row.kinds & kind))
                throw ServedError{DISP_E_MEMBERNOTFOUND};
            return row.answer(static_cast<Self&>(*this), call);
        }
        throw ServedError{DISP_E_MEMBERNOTFOUND};
    }

private:
    static bool sameName(std::string_view ours, std::wstring_view asked)
    {
        if (ours.size() != asked.size())
            return false;
        for (std::size_t i = 0; i < ours.size(); ++i) {
            if (asked[i] > 0x7F || std::tolower(static_cast<unsigned char>(ours[i])) !=
                                       std::tolower(static_cast<unsigned char>(asked[i])))
                return false;
        }
        return true;
    }

    std::span<const Member<Self>> table_;
};

// A new object of a ServedAs kind, as the IDispatch a result carries (the Variant holds the one
// reference).
template <class T, class... Args>
Variant served(Args&&... args)
{
    ComPtr<T> object;
    object.Attach(new T(std::forward<Args>(args)...));
    return Variant(static_cast<IDispatch*>(object.Get()));
}

} // namespace standin
