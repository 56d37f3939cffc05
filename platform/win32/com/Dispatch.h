#pragma once
// Late-bound calls on an IDispatch object by member name, as a script or VB would make them.
//
// Implements: property get (with arguments, for indexed properties such as Items.Item(1)),
// property put, and method calls with optional arguments (Variant::missing()). Each member's
// DISPID comes from GetIDsOfNames once, then from a DispIdCache: objects of one interface share
// one cache (every mail item has the same ids), so a name costs one round trip per interface.
// A failed call throws platform::Failure with the server's own error text (see ComFailure.h).
// Objects of one server may share a ServerLink: once a call finds the server gone (its process
// ended, the object disconnected), every later call on any of them fails at once with the same
// error, without another attempt to reach it.
// Does not: use type information, named arguments beyond the put's, or arguments by reference.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32/com/Variant.h"

namespace platform::win32::com {

// Member name (as spelled by the caller) to DISPID, for the objects of one interface.
class DispIdCache {
public:
    // The cached id, or asks the object once.
    DISPID idOf(IDispatch& object, const std::string& name);
    // How many names were asked of an object (for tests and call counts).
    int lookups() const { return lookups_; }

private:
    std::unordered_map<std::string, DISPID> ids_;
    int lookups_ = 0;
};

// Whether the server behind a set of objects is known to be gone, and how it went.
class ServerLink {
public:
    bool gone() const { return FAILED(goneWith_); }
    HRESULT goneWith() const { return goneWith_; }
    // Notes a failed call's HRESULT: the link is gone from the first disconnection on.
    void noteFailure(HRESULT hr);

private:
    HRESULT goneWith_ = S_OK;
};

class Dispatch {
public:
    Dispatch() = default;
    // A fresh cache of its own unless one is shared in; no link unless one is shared in.
    explicit Dispatch(ComPtr<IDispatch> object, std::shared_ptr<DispIdCache> cache = nullptr,
                      std::shared_ptr<ServerLink> link = nullptr);

    IDispatch* raw() const { return object_.Get(); }
    const ComPtr<IDispatch>& object() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    const std::shared_ptr<DispIdCache>& cache() const { return cache_; }

    Variant get(const std::string& name, const std::vector<Variant>& args = {}) const;
    void put(const std::string& name, const Variant& value) const;
    Variant call(const std::string& name, const std::vector<Variant>& args = {}) const;

    // The same by DISPID, for members a caller knows by id.
    Variant invoke(DISPID id, WORD flags, const std::vector<Variant>& args, const std::string& name) const;

private:
    DISPID idOf(const std::string& name) const;

    void ensureReachable(const std::string& name) const;
    [[noreturn]] void fail(const std::string& name, HRESULT hr, const EXCEPINFO* info = nullptr) const;

    ComPtr<IDispatch> object_;
    std::shared_ptr<DispIdCache> cache_;
    std::shared_ptr<ServerLink> link_;
};

} // namespace platform::win32::com
