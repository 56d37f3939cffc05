// A COM add-in of the tests' own for the Outlook stand-in (ProgID "QuellinStandinTest.Addin"): on
// connection it listens to the application's events; on OptionsPagesAdd it adds the options page
// ("KorvaneQLNOptions.QLNOptions", "Quellin") and a page whose ProgID is not registered. It notes
// every call the host makes, in order, in HKCU\Software\Quellin Tests\Standin add-in, value "Log"
// ("OnConnection 1;OnAddInsUpdate;Startup;..."). Registers itself under HKLM (regsvr32), as Wine's
// COM reads classes only from there.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "tests/win32/ComTestObjects.h"

namespace {

constexpr CLSID kClsid = {0x6C1D2A49, 0x93B8, 0x4E0F, {0xA5, 0x1C, 0x2F, 0x7E, 0x90, 0x4B, 0x3D, 0x61}};
constexpr wchar_t kClsidText[] = L"{6C1D2A49-93B8-4E0F-A51C-2F7E904B3D61}";
constexpr wchar_t kProgId[] = L"QuellinStandinTest.Addin";
constexpr wchar_t kLogKey[] = L"Software\\Quellin Tests\\Standin add-in";
constexpr IID IID_IDTExtensibility2 = {0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};
constexpr IID IID_ApplicationEvents_11 = {0x0006302C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HMODULE self = nullptr;
LONG objects = 0;

void note(const std::wstring& entry)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kLogKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    wchar_t log[4096] = {};
    DWORD size = sizeof log - sizeof(wchar_t);
    RegGetValueW(key, nullptr, L"Log", RRF_RT_REG_SZ, nullptr, log, &size);
    const std::wstring text = std::wstring(log) + entry + L";";
    RegSetValueExW(key, L"Log", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// Outlook's IDTExtensibility2 (dual), as an add-in implements it.
struct IDTExtensibility2 : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int mode, IDispatch* addInInst,
                                                   SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDisconnection(int mode, SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

// Calls Pages.Add(page, title) by name.
void addPage(IDispatch* pages, const wchar_t* page, const wchar_t* title)
{
    LPOLESTR name = const_cast<LPOLESTR>(L"Add");
    DISPID id = 0;
    if (FAILED(pages->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
        return;
    VARIANT args[2];
    args[0].vt = VT_BSTR;
    args[0].bstrVal = SysAllocString(title);
    args[1].vt = VT_BSTR;
    args[1].bstrVal = SysAllocString(page);
    DISPPARAMS params{args, nullptr, 2, 0};
    const HRESULT hr = pages->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    note(std::wstring(L"Add ") + page + (SUCCEEDED(hr) ? L"" : L" failed"));
    VariantClear(&args[0]);
    VariantClear(&args[1]);
}

class Connect final : public IDTExtensibility2 {
public:
    Connect() { InterlockedIncrement(&objects); }
    ~Connect() { InterlockedDecrement(&objects); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IDTExtensibility2)
            *object = static_cast<IDTExtensibility2*>(this);
        else if (iid == IID_ApplicationEvents_11)
            *object = &sink_;
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int mode, IDispatch* addInInst, SAFEARRAY**) override
    {
        note(L"OnConnection " + std::to_wstring(mode) + (addInInst ? L"" : L" without COMAddIn"));
        IConnectionPointContainer* container = nullptr;
        if (!application || FAILED(application->QueryInterface(IID_IConnectionPointContainer,
                                                                reinterpret_cast<void**>(&container))))
            return E_FAIL;
        container->FindConnectionPoint(IID_ApplicationEvents_11, &point_);
        container->Release();
        if (!point_ || FAILED(point_->Advise(&sink_, &cookie_)))
            return E_FAIL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(int mode, SAFEARRAY**) override
    {
        note(L"OnDisconnection " + std::to_wstring(mode));
        if (point_) {
            point_->Unadvise(cookie_);
            point_->Release();
            point_ = nullptr;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override
    {
        note(L"OnAddInsUpdate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override
    {
        note(L"OnStartupComplete");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override
    {
        note(L"OnBeginShutdown");
        return S_OK;
    }

private:
    // The application's events (ApplicationEvents_11), part of this object.
    class Sink final : public IDispatch {
    public:
        explicit Sink(Connect& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
        {
            if (!object)
                return E_POINTER;
            *object = nullptr;
            if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_ApplicationEvents_11)
                return E_NOINTERFACE;
            *object = this;
            AddRef();
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
        HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
        {
            *count = 0;
            return S_OK;
        }
        HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
        {
            return DISP_E_UNKNOWNNAME;
        }
        HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                         UINT*) override
        {
            if (id == 0xF006) {
                note(L"Startup");
            } else if (id == 0xF005 && params && params->cArgs == 1 && params->rgvarg[0].vt == VT_DISPATCH) {
                note(L"OptionsPagesAdd");
                addPage(params->rgvarg[0].pdispVal, L"KorvaneQLNOptions.QLNOptions", L"Quellin");
                addPage(params->rgvarg[0].pdispVal, L"QuellinStandinTest.NoSuchPage", L"Missing");
            } else if (id == 0xF007) {
                note(L"Quit");
            }
            return S_OK;
        }

    private:
        Connect& owner_;
    };

    LONG references_ = 1;
    Sink sink_{*this};
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
};

class Factory final : public com_tests::Uncounted<IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Connect* connect = new (std::nothrow) Connect();
        if (!connect)
            return E_OUTOFMEMORY;
        const HRESULT hr = connect->QueryInterface(iid, object);
        connect->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

bool setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        self = instance;
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != kClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return objects == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    const std::wstring clsidKey = std::wstring(L"Software\\Classes\\CLSID\\") + kClsidText;
    const std::wstring progIdKey = std::wstring(L"Software\\Classes\\") + kProgId;
    const bool ok = setValue(clsidKey, nullptr, L"Outlook stand-in test add-in") &&
                    setValue(clsidKey + L"\\InprocServer32", nullptr, std::wstring(path, length)) &&
                    setValue(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                    setValue(clsidKey + L"\\ProgID", nullptr, kProgId) && setValue(progIdKey + L"\\CLSID", nullptr, kClsidText);
    return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\CLSID\\") + kClsidText).c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\") + kProgId).c_str());
    return S_OK;
}
