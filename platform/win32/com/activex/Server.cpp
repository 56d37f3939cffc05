#include "platform/win32/com/activex/Server.h"

#include <atomic>
#include <string>

#include <objbase.h>

#include "platform/win32/ThisModule.h"
#include "platform/win32/Win32Failure.h"
#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/activex/Entry.h"

namespace platform::win32::com::activex {

namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(const ControlClass& type) : type_(type) { objectCreated(); }
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return comEntry(IID_IClassFactory, [&] {
            IUnknown* made = type_.create();
            const HRESULT hr = made->QueryInterface(iid, object);
            made->Release();
            return hr;
        });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            ++serverLocks;
        else
            --serverLocks;
        return S_OK;
    }

private:
    ~ClassFactory() { objectDestroyed(); }

    const ControlClass& type_;
    std::atomic<ULONG> references_{1};
};

// One key of the registration, written or removed under the scope's Software\Classes.
class ClassesKey {
public:
    explicit ClassesKey(Scope scope) : root_(scope == Scope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE) {}

    void set(const std::wstring& path, const wchar_t* name, const std::wstring& value) const
    {
        HKEY key = nullptr;
        const std::wstring full = L"Software\\Classes\\" + path;
        LSTATUS status = RegCreateKeyExW(root_, full.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS)
            throw win32Failure("RegCreateKeyExW", static_cast<DWORD>(status));
        status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        if (status != ERROR_SUCCESS)
            throw win32Failure("RegSetValueExW", static_cast<DWORD>(status));
    }
    // A key with no value of its own (a marker such as Control).
    void mark(const std::wstring& path) const
    {
        HKEY key = nullptr;
        const std::wstring full = L"Software\\Classes\\" + path;
        const LSTATUS status =
            RegCreateKeyExW(root_, full.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS)
            throw win32Failure("RegCreateKeyExW", static_cast<DWORD>(status));
        RegCloseKey(key);
    }
    // Removes the key and all below it; a key that is not there is fine.
    void remove(const std::wstring& path) const
    {
        const std::wstring full = L"Software\\Classes\\" + path;
        const LSTATUS status = RegDeleteTreeW(root_, full.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            throw win32Failure("RegDeleteTreeW", static_cast<DWORD>(status));
        RegDeleteKeyW(root_, full.c_str());
    }

private:
    HKEY root_;
};

std::wstring folderOf(const std::wstring& path)
{
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

#ifdef _WIN64
constexpr wchar_t kPlatform[] = L"win64";
#else
constexpr wchar_t kPlatform[] = L"win32";
#endif

} // namespace

void objectCreated() { ++liveObjects; }
void objectDestroyed() { --liveObjects; }

std::wstring guidText(const GUID& guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
    return text;
}

HRESULT getClassObject(std::span<const ControlClass> classes, REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    return comEntry([&]() -> HRESULT {
        for (const ControlClass& type : classes) {
            if (type.clsid != clsid)
                continue;
            IClassFactory* factory = new ClassFactory(type);
            const HRESULT hr = factory->QueryInterface(iid, object);
            factory->Release();
            return hr;
        }
        return CLASS_E_CLASSNOTAVAILABLE;
    });
}

HRESULT canUnloadNow() { return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE; }

HRESULT registerServer(std::span<const ControlClass> classes, Scope scope)
{
    return comEntry([&]() -> HRESULT {
        const ClassesKey root(scope);
        const std::wstring path = thisModulePath();
        for (const ControlClass& type : classes) {
            const std::wstring clsid = L"CLSID\\" + guidText(type.clsid);
            const std::wstring libId = guidText(type.libId);
            root.set(clsid, nullptr, type.description);
            root.set(clsid + L"\\InprocServer32", nullptr, path);
            root.set(clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
            root.set(clsid + L"\\ProgID", nullptr, type.progId);
            root.mark(clsid + L"\\Control");
            root.set(clsid + L"\\MiscStatus", nullptr, L"0");
            root.set(clsid + L"\\MiscStatus\\1", nullptr, std::to_wstring(type.miscStatus));
            root.set(clsid + L"\\TypeLib", nullptr, libId);
            root.set(clsid + L"\\Version", nullptr, L"1.0");
            root.set(type.progId, nullptr, type.description);
            root.set(std::wstring(type.progId) + L"\\CLSID", nullptr, guidText(type.clsid));
            const std::wstring lib = L"TypeLib\\" + libId + L"\\1.0";
            root.set(lib, nullptr, type.description);
            root.set(lib + L"\\0\\" + kPlatform, nullptr, path);
            root.set(lib + L"\\FLAGS", nullptr, L"0");
            root.set(lib + L"\\HELPDIR", nullptr, folderOf(path));
        }
        return S_OK;
    });
}

HRESULT unregisterServer(std::span<const ControlClass> classes, Scope scope)
{
    return comEntry([&]() -> HRESULT {
        const ClassesKey root(scope);
        for (const ControlClass& type : classes) {
            root.remove(L"CLSID\\" + guidText(type.clsid));
            root.remove(type.progId);
            root.remove(L"TypeLib\\" + guidText(type.libId));
        }
        return S_OK;
    });
}

HRESULT install(std::span<const ControlClass> classes, BOOL installing, LPCWSTR commandLine)
{
    Scope scope = Scope::User;
    if (commandLine && *commandLine) {
        if (CompareStringOrdinal(commandLine, -1, L"machine", -1, TRUE) == CSTR_EQUAL)
            scope = Scope::Machine;
        else if (CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) != CSTR_EQUAL)
            return E_INVALIDARG;
    }
    return installing ? registerServer(classes, scope) : unregisterServer(classes, scope);
}

} // namespace platform::win32::com::activex
