#pragma once
// The base of our ActiveX controls: a form of ours (platform/forms) as an in-place control in any
// container's window, without ATL.
//
// Implements, for what real containers use (Office's dialogs, VB-style forms, ATL's AtlAxWin):
// - IOleObject: the client site (ambient properties through its IDispatch, IOleControlSite),
//   extents in HIMETRIC (the form's design size until the container sets one), DoVerb with
//   in-place and UI activation (OLEIVERB_PRIMARY, SHOW, UIACTIVATE, INPLACEACTIVATE, HIDE), Close,
//   advise holders, the miscellaneous status the class registers.
// - IOleInPlaceObject / IOleWindow: the control's window is the form's own window made a child of
//   the site's window (Win32Desktop::setParent), placed by SetObjectRects; the form follows the
//   rectangle's size. In-place deactivation unloads the form's window; the form itself lives on.
// - IOleInPlaceActiveObject: TranslateAccelerator walks the form's tab stops with Tab and
//   Shift+Tab (KeyboardNavigator, Wrap::Stop) and answers S_FALSE at either end, so the container
//   moves its own focus on; WM_GETDLGCODE wants Tab only while it stays inside, and focus tabbed in
//   lands on the first (Shift: the last) stop. The arrow keys and Enter stay inside the control
//   while its window has the focus (a dialog would take them for its own navigation): they go to
//   the form's window, whose key handling (FormWindows) acts. Ctrl+Tab and Esc are the container's.
// - IOleControl: GetControlInfo with the form's access keys (by default those of its controls
//   within the user's reach) as an accelerator table, OnMnemonic
//   (to the form's window as the Alt key press it is), OnAmbientPropertyChange, FreezeEvents.
// - IViewObject2: Draw renders the form with our painters into the container's DC (stretched to
//   the bounds), SetAdvise/GetAdvise for view changes, GetExtent.
// - IPersistStreamInit and IPersistPropertyBag over the control's persisted properties (name,
//   default, get, set; objects as objects or bytes): missing properties read as their defaults,
//   InitNew sets every default.
// - IQuickActivate: the client site, the property-notify and event sinks and the view sink at
//   once.
// - IConnectionPointContainer with IPropertyNotifySink (propertyChanged() tells every sink
//   OnChanged, marks the control dirty and repaints it) and, when the control has one, its event
//   interface (raiseEvent()).
// - IProvideClassInfo2 from the type library in the module's resources.
// The dual interface (IDispatch by the type library) comes from DualControl.h. Every method is a
// guarded entry (Entry.h).
// Does not: windowless activation, IViewObjectEx, IDataObject, property pages of its own,
// IOleControlSite::TranslateAccelerator (keys beyond the control are the container's own),
// enumeration of connection points.

#include <atomic>
#include <functional>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <ocidl.h>
#include <olectl.h>

#include "platform/forms/Form.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/com/Variant.h"
#include "platform/win32/com/activex/ConnectionPoint.h"

namespace platform::win32::com::activex {

// A property saved and loaded by name: its text in a property bag or stream, its default when
// missing.
//
// An object's property (a picture, a font) has toBytes and fromBytes: get answers the object
// (VT_UNKNOWN or VT_DISPATCH; an empty Variant for none) and set takes one, or an empty Variant
// for the property's default. A property bag keeps the object itself (VT_UNKNOWN, as hosts store
// objects) or its bytes (VT_ARRAY | VT_UI1); a stream keeps toBytes of it, or that there is none.
struct PersistedProperty {
    std::wstring name;
    Variant byDefault;
    std::function<Variant()> get;
    std::function<void(const Variant&)> set;
    std::function<std::vector<std::uint8_t>(const Variant&)> toBytes = {};
    std::function<Variant(std::span<const std::uint8_t>)> fromBytes = {};

    bool isObject() const { return static_cast<bool>(toBytes); }
};

class Control : public IOleObject,
                public IOleInPlaceObject,
                public IOleInPlaceActiveObject,
                public IOleControl,
                public IViewObject2,
                public IPersistStreamInit,
                public IPersistPropertyBag,
                public IQuickActivate,
                public IConnectionPointContainer,
                public IProvideClassInfo2 {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The control's window while it is in-place active, else 0.
    HWND window() const;
    bool inPlaceActive() const { return inPlaceActive_; }
    bool uiActive() const { return uiActive_; }
    IOleClientSite* clientSite() const { return clientSite_.Get(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                                     LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow (through IOleInPlaceObject and IOleInPlaceActiveObject)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC target,
                                   HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                                   BOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR), ULONG_PTR argument) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                          HDC target, LOGPALETTE** colours) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersist (through both persistence interfaces)
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    // IPersistPropertyBag (InitNew is shared with IPersistStreamInit)
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IQuickActivate
    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

protected:
    // `events` is the control's source dispinterface, or GUID_NULL for none.
    Control(const CLSID& clsid, DWORD miscStatus, const IID& events = GUID_NULL);
    virtual ~Control();

    // The form that is the control's face, and the desktop its window lives on.
    virtual forms::Form& form() = 0;
    virtual Win32Desktop& desktop() = 0;
    // The dual interface and IDispatch (DualControl), or nullptr for other ids.
    virtual void* queryDual(REFIID iid) = 0;
    // The properties saved and loaded by name, in their order.
    virtual std::vector<PersistedProperty> persistedProperties() { return {}; }
    // A new instance with no saved state (InitNew): the default sets every persisted property to
    // its default; a control with a first initialisation of its own runs that instead.
    virtual void initProperties() { setDefaults(); }

    // Hooks: a site was set (nullptr: taken away); an ambient property changed (the default
    // repaints); an access key of the control was pressed (the default hands the key press to
    // the form's window).
    virtual void onSiteChanged(IOleClientSite* /*site*/) {}
    // The container placed the form (its size may have changed).
    virtual void onPlaced() {}
    virtual void onAmbientChanged(DISPID id);
    virtual void onMnemonic(const MSG& msg);
    // The access keys (letters and digits) the container routes to OnMnemonic.
    // By default those of the form's controls within the user's reach (KeyboardNavigator).
    virtual std::wstring accessKeys() const;

    // The access keys changed (a caption with another "&" letter): the accelerator table is made
    // again when next asked for, and the container is told to ask (OnControlInfoChanged).
    void controlInfoChanged();
    // A property changed: every IPropertyNotifySink hears OnChanged(id), the control becomes dirty
    // and is drawn again.
    void propertyChanged(DISPID id);
    // The container's ambient property, read from the site's IDispatch; an empty Variant when the
    // site has none or no such property.
    Variant ambient(DISPID id) const;
    // Raises an event of the control's source dispinterface on every sink, the arguments in
    // declaration order; nothing while the container has frozen events (FreezeEvents). A sink's
    // failure is its own business.
    void raiseEvent(DISPID id, const std::vector<Variant>& args = {});
    bool eventsFrozen() const { return freezeCount_ > 0; }
    // The type library in this module's resources.
    ComPtr<ITypeLib> typeLibrary() const;
    // Tells the view sink and the window that the picture changed.
    void viewChanged();
    // Every persisted property set to its default.
    void setDefaults();

private:
    HRESULT activate(bool uiActivate);
    void createWindow(HWND parent, const RECT& position);
    // Whether Tab (Shift+Tab when `backwards`) would move the focus to another of the form's tab
    // stops rather than out of the form.
    bool tabStaysInside(bool backwards);
    static bool shiftDown();
    void place(const RECT& position);
    void uiDeactivate();
    void inPlaceDeactivate();
    std::intptr_t windowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam);
    SIZEL designExtent();

    CLSID clsid_;
    DWORD miscStatus_;
    IID events_;
    std::atomic<ULONG> references_{1};

    ComPtr<IOleClientSite> clientSite_;
    ComPtr<IOleControlSite> controlSite_;
    ComPtr<IDispatch> ambients_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> uiWindow_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewFlags_ = 0;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool dirty_ = false;
    int freezeCount_ = 0;
    SIZEL extent_{0, 0};
    bool extentSet_ = false;
    HACCEL accelerators_ = nullptr;
    WindowProc formProcedure_;  // the form window's procedure before ours

    ConnectionPoint propertyNotify_;
    std::unique_ptr<ConnectionPoint> eventPoint_;
};

} // namespace platform::win32::com::activex
