#include "tests/win32/outlook-standin/AddIns.h"

#include <oleauto.h>

#include "platform/win32/Wide.h"

namespace standin {

namespace {

using platform::win32::toUtf8;
using platform::win32::toWide;

constexpr wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins";
constexpr IID IID_IDTExtensibility2 = {0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};
constexpr int ext_cm_Startup = 1;
constexpr int ext_dm_HostShutdown = 0;
constexpr DWORD kLoadAtStartup = 2;

// IDTExtensibility2 as Outlook calls it: slots 7 to 11 after IDispatch's, written as the C vtable
// it is (nothing in this program implements it).
struct ExtensibilitySlots {
    void* dispatch[7];
    HRESULT(STDMETHODCALLTYPE* OnConnection)(IUnknown* self, IDispatch* application, int mode, IDispatch* addInInst,
                                             SAFEARRAY** custom);
    HRESULT(STDMETHODCALLTYPE* OnDisconnection)(IUnknown* self, int mode, SAFEARRAY** custom);
    HRESULT(STDMETHODCALLTYPE* OnAddInsUpdate)(IUnknown* self, SAFEARRAY** custom);
    HRESULT(STDMETHODCALLTYPE* OnStartupComplete)(IUnknown* self, SAFEARRAY** custom);
    HRESULT(STDMETHODCALLTYPE* OnBeginShutdown)(IUnknown* self, SAFEARRAY** custom);
};

const ExtensibilitySlots& slots(IUnknown* addIn) { return **reinterpret_cast<ExtensibilitySlots* const*>(addIn); }

// The `custom` argument: an empty array of variants, as Outlook passes.
class Custom {
public:
    Custom() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
    ~Custom() { SafeArrayDestroy(array_); }
    Custom(const Custom&) = delete;
    Custom& operator=(const Custom&) = delete;
    SAFEARRAY** get() { return &array_; }

private:
    SAFEARRAY* array_;
};

// Office's COMAddIn object for one add-in, by name: ProgId, Description, Connect.
class AddInObject final : public ServedAs<AddInObject> {
public:
    AddInObject(std::string progId, std::string description);

    // Read by the member table below the class.
    std::string progId_;
    std::string description_;
};

constexpr Member<AddInObject> kAddInObjectMembers[] = {
    {"Description", 0, kGet, [](AddInObject& self, const Call&) { return Variant(self.description_); }},
    {"ProgId", 3, kGet, [](AddInObject& self, const Call&) { return Variant(self.progId_); }},
    {"Connect", 6, kGet, [](AddInObject&, const Call&) { return Variant(true); }},
};

AddInObject::AddInObject(std::string progId, std::string description)
    : ServedAs("COMAddIn", nullptr, kAddInObjectMembers), progId_(std::move(progId)), description_(std::move(description))
{
}

struct Listed {
    std::wstring progId;
    std::wstring description;
};

std::wstring textValue(HKEY key, const wchar_t* name)
{
    wchar_t value[512] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

// The add-ins of one root that load at start-up, in the registry's order.
void listFrom(HKEY root, std::vector<Listed>& listed)
{
    HKEY addins = nullptr;
    if (RegOpenKeyExW(root, kAddinsKey, 0, KEY_READ, &addins) != ERROR_SUCCESS)
        return;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(addins, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY key = nullptr;
        if (RegOpenKeyExW(addins, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        DWORD behavior = 0, size = sizeof behavior;
        const bool atStartup = RegGetValueW(key, nullptr, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &behavior,
                                            &size) == ERROR_SUCCESS &&
                               (behavior & kLoadAtStartup);
        if (atStartup) {
            std::wstring description = textValue(key, L"FriendlyName");
            if (description.empty())
                description = textValue(key, L"Description");
            bool seen = false;
            for (const Listed& earlier : listed)
                seen = seen || lstrcmpiW(earlier.progId.c_str(), name) == 0;
            if (!seen)
                listed.push_back({name, description});
        }
        RegCloseKey(key);
    }
    RegCloseKey(addins);
}

} // namespace

AddIns::~AddIns() { disconnect(); }

void AddIns::start(IDispatch& application, const std::function<void()>& raiseStartup)
{
    if (started_)
        return;
    started_ = true;
    std::vector<Listed> listed;
    listFrom(HKEY_CURRENT_USER, listed);
    listFrom(HKEY_LOCAL_MACHINE, listed);
    for (const Listed& entry : listed) {
        const std::string progId = toUtf8(entry.progId);
        states_[progId] = "failed";
        CLSID clsid{};
        ComPtr<IUnknown> addIn;
        if (FAILED(CLSIDFromProgID(entry.progId.c_str(), &clsid)) ||
            FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDTExtensibility2,
                                    reinterpret_cast<void**>(addIn.GetAddressOf()))) ||
            !addIn)
            continue;
        ComPtr<IDispatch> instance;
        instance.Attach(new AddInObject(progId, toUtf8(entry.description)));
        Custom custom;
        if (FAILED(slots(addIn.Get()).OnConnection(addIn.Get(), &application, ext_cm_Startup, instance.Get(), custom.get())))
            continue;
        states_[progId] = "connected";
        loaded_.push_back({progId, std::move(addIn), std::move(instance)});
    }
    for (Loaded& one : loaded_) {
        Custom custom;
        slots(one.addIn.Get()).OnAddInsUpdate(one.addIn.Get(), custom.get());
    }
    raiseStartup();
    for (Loaded& one : loaded_) {
        Custom custom;
        slots(one.addIn.Get()).OnStartupComplete(one.addIn.Get(), custom.get());
    }
}

void AddIns::disconnect()
{
    std::vector<Loaded> leaving = std::move(loaded_);
    loaded_.clear();
    for (Loaded& one : leaving) {
        Custom custom;
        slots(one.addIn.Get()).OnBeginShutdown(one.addIn.Get(), custom.get());
    }
    for (Loaded& one : leaving) {
        Custom custom;
        slots(one.addIn.Get()).OnDisconnection(one.addIn.Get(), ext_dm_HostShutdown, custom.get());
        states_[one.progId] = "disconnected";
    }
}

std::string AddIns::state(const std::string& progId) const
{
    for (const auto& [name, state] : states_) {
        if (lstrcmpiW(toWide(name).c_str(), toWide(progId).c_str()) == 0)
            return state;
    }
    return {};
}

} // namespace standin
