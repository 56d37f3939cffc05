#pragma once
// The add-in interface of Office hosts, IDTExtensibility2 (dual; Office calls it through the
// vtable, script hosts through IDispatch), and the Outlook ids the add-in uses. MinGW has no
// header for it; the layout is Office's: five methods after IDispatch's seven slots.

#include <windows.h>
#include <oaidl.h>

namespace qln::addin {

// ext_ConnectMode and ext_DisconnectMode (passed as 32-bit enums).
enum ConnectMode : int { kAfterStartup = 0, kStartup = 1, kExternal = 2, kCommandLine = 3 };
enum DisconnectMode : int { kHostShutdown = 0, kUserClosed = 1 };

// {B65AD801-ABAF-11D0-BB8B-00A0C90F2744}
inline constexpr IID IID_IDTExtensibility2 = {0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};
// The members' dispatch ids, in vtable order.
enum ExtensibilityId : DISPID {
    kOnConnection = 1,
    kOnDisconnection = 2,
    kOnAddInsUpdate = 3,
    kOnStartupComplete = 4,
    kOnBeginShutdown = 5,
};

struct IDTExtensibility2 : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ConnectMode mode, IDispatch* addInInst,
                                                   SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDisconnection(DisconnectMode mode, SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

// Outlook's application events: source dispinterface ApplicationEvents_11 (Outlook 2003 and
// later), ApplicationEvents_10 (Outlook 2002) with the same ids for the events used here.
inline constexpr IID DIID_ApplicationEvents_11 = {0x0006302C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID DIID_ApplicationEvents_10 = {0x0006300E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kOptionsPagesAdd = 0xF005;  // (Pages As PropertyPages)
inline constexpr DISPID kStartupEvent = 0xF006;     // ()

// The add-in's class, ProgID QuellinAddin.Connect: {17F5CCDC-CE07-4664-B117-DE090D5C8FC0}
inline constexpr CLSID CLSID_QuellinAddin = {0x17F5CCDC, 0xCE07, 0x4664, {0xB1, 0x17, 0xDE, 0x09, 0x0D, 0x5C, 0x8F, 0xC0}};
inline constexpr wchar_t kAddinProgId[] = L"QuellinAddin.Connect";
// What it adds to Outlook's Options dialog.
inline constexpr char kPageProgId[] = "KorvaneQLNOptions.QLNOptions";
inline constexpr char kPageCaption[] = "Quellin";

} // namespace qln::addin
