#pragma once
// IUnknown and IDispatch for the COM objects the tests write by hand (event sinks, property bags,
// stand-ins for a host's objects), so that each of them spells out only what it does.

#include <windows.h>
#include <oaidl.h>

namespace com_tests {

// IUnknown for an object that answers IUnknown and `Interface`, and `also` as `Interface` (the
// event interface a sink is advised on). Made with new, holding one reference; the last Release
// deletes it.
template <class Interface>
class Counted : public Interface {
public:
    explicit Counted(const IID& also = IID_NULL) : also_(also) {}
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != __uuidof(Interface) && (also_ == IID_NULL || iid != also_))
            return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~Counted() = default;

private:
    IID also_;
    ULONG references_ = 1;
};

// IUnknown for an object the test itself owns (on its stack, or for the whole run): it answers
// IUnknown and `Interface`, counts no references and is never deleted through them.
template <class Interface>
class Uncounted : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != __uuidof(Interface))
            return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// A counted IDispatch without type information; it knows no names unless it says otherwise, and
// answers only Invoke.
class CountedDispatch : public Counted<IDispatch> {
public:
    using Counted::Counted;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

} // namespace com_tests
