#pragma once
// The COM add-ins registered for Outlook, loaded and connected as Outlook does at its start.
//
// Implements: the add-ins listed under Software\Microsoft\Office\Outlook\Addins\<ProgID> of HKCU,
// then of HKLM (a ProgID listed in both is loaded once), whose LoadBehavior has the "load at
// start-up" bit (2; the usual 3); each is created in-process by its ProgID and connected through
// IDTExtensibility2: OnConnection(Application, ext_cm_Startup, its COMAddIn object, custom), then,
// once all are connected, OnAddInsUpdate on each, the Application's Startup event, and
// OnStartupComplete on each. disconnect() (Outlook quitting) calls OnBeginShutdown on each, then
// OnDisconnection(ext_dm_HostShutdown) and lets them go. An add-in whose ProgID is not registered,
// that is no IDTExtensibility2 or whose OnConnection fails is skipped and noted "failed" (its
// LoadBehavior is left as it is); nothing an add-in does ends the stand-in.
// Does not: load add-ins on demand (LoadBehavior 8, 16), nor offer the COM Add-ins dialog.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/win32/outlook-standin/Served.h"

namespace standin {

class AddIns {
public:
    AddIns() = default;
    ~AddIns();
    AddIns(const AddIns&) = delete;
    AddIns& operator=(const AddIns&) = delete;

    // Loads and connects the registered add-ins; `raiseStartup` raises the Application's Startup
    // event between OnAddInsUpdate and OnStartupComplete. Only the first call does anything.
    void start(IDispatch& application, const std::function<void()>& raiseStartup);
    // Outlook's shutdown of its add-ins; the second call does nothing.
    void disconnect();

    // "connected", "failed", "disconnected", or "" for a ProgID the stand-in never saw listed.
    std::string state(const std::string& progId) const;

private:
    struct Loaded {
        std::string progId;
        ComPtr<IUnknown> addIn;  // its IDTExtensibility2
        ComPtr<IDispatch> instance;  // the COMAddIn object handed to it
    };

    bool started_ = false;
    std::vector<Loaded> loaded_;
    std::map<std::string, std::string> states_;
};

} // namespace standin
