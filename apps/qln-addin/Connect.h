#pragma once
// QuellinAddin.Connect: the Outlook add-in that brings the options page and starts the notifier.
//
// Implements: IDTExtensibility2 with its IDispatch (names and ids of its five methods, no type
// library). OnConnection keeps the Application and listens to its ApplicationEvents_11 (Outlook
// 2002: ApplicationEvents_10) through the connection point: OptionsPagesAdd adds the page,
// Pages.Add("KorvaneQLNOptions.QLNOptions", "Quellin"); Startup starts QLN.exe unless one runs
// (NotifierStarter.h). Connected after Outlook had started (the user ticked the add-in in the COM
// Add-ins dialog), it starts QLN.exe at once, as no Startup will come. OnDisconnection lets go of
// the events and the Application.
// Every COM entry is guarded (activex::comEntry): a Failure of Outlook's (no connection point) is
// the call's error; inside an event it ends that event's work (a refused Pages.Add leaves the
// dialog without the page); anything else is a bug, held, and the entry answers E_UNEXPECTED.
// Does not: keep anything else, or do slow work on Outlook's thread (starting a process does not
// wait for it).

#include <atomic>
#include <memory>

#include "apps/qln-addin/Extensibility.h"
#include "platform/win32/com/EventSink.h"

namespace qln::addin {

class Connect final : public IDTExtensibility2 {
public:
    // A new add-in object holding the one reference the caller receives.
    static IUnknown* create();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;
    // IDTExtensibility2
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ConnectMode mode, IDispatch* addInInst,
                                           SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(DisconnectMode mode, SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override;

private:
    Connect();
    ~Connect();
    Connect(const Connect&) = delete;
    Connect& operator=(const Connect&) = delete;

    void connect(IDispatch& application, ConnectMode mode);
    void disconnect();

    std::atomic<ULONG> references_{1};
    platform::win32::com::ComPtr<IDispatch> application_;
    std::unique_ptr<platform::win32::com::SinkConnection> events_;
};

} // namespace qln::addin
