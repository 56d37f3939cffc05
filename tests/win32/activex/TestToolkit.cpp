// The ActiveX toolkit through a control of the tests' own (Swatch): properties by name through the
// type library's IDispatch, notifications, error 380, persistence by property bag and by stream,
// events through a connection point (also from a real click), drawing through IViewObject, keys
// and access keys, ambient properties, and the class factory's count of live objects.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "Container.h"
#include "Swatch.h"
#include "platform/Failure.h"
#include "platform/win32/CallbackGuard.h"
#include "platform/win32/FormWindows.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Loop.h"
#include "platform/win32/com/Dispatch.h"
#include "platform/win32/com/activex/Server.h"
#include "tests/win32/ComTestObjects.h"

namespace activex_tests {
namespace {

namespace com = platform::win32::com;

// An event sink for DSwatchEvents that writes down what it hears.
class EventLog final : public com_tests::CountedDispatch {
public:
    EventLog() : CountedDispatch(DIID_DSwatchEvents) {}
    std::vector<std::pair<DISPID, std::vector<com::Variant>>> events;

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        std::vector<com::Variant> args;
        for (UINT i = params ? params->cArgs : 0; i > 0; --i)
            args.push_back(com::Variant::copyOf(params->rgvarg[i - 1]));
        events.emplace_back(id, std::move(args));
        return S_OK;
    }
};

class Toolkit : public ::testing::Test {
protected:
    Toolkit()
    {
        OleInitialize(nullptr);
        swatch_.Attach(Swatch::create(host, desktop));
    }
    ~Toolkit() override
    {
        swatch_.Reset();
        OleUninitialize();
    }
    Swatch& swatch() { return *swatch_.Get(); }
    com::Dispatch late()
    {
        ComPtr<IDispatch> dispatch;
        EXPECT_EQ(swatch_.As(&dispatch), S_OK);
        return com::Dispatch(dispatch);
    }
    // Places the control in a container window of its own, in-place active.
    void host_in(Site& site, HWND window, const RECT& position)
    {
        ComPtr<IOleObject> object;
        ASSERT_EQ(swatch_.As(&object), S_OK);
        ASSERT_EQ(object->SetClientSite(&site), S_OK);
        ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, window, &position), S_OK);
    }

public:
    platform::win32::Win32Loop loop;
    platform::win32::Win32Desktop desktop;
    forms::FormsHost host{desktop, loop};
    platform::win32::FormWindows windows{host, desktop};

private:
    ComPtr<Swatch> swatch_;
};

TEST_F(Toolkit, PropertiesByNameNotifyOnceEachChangeAndRefuseAnInvalidStyleWith380)
{
    ComPtr<Site> site;
    site.Attach(new Site(nullptr, RECT{}, PageSite::None));
    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&points)), S_OK);
    ComPtr<IConnectionPoint> notify;
    ASSERT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, &notify), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(notify->Advise(static_cast<IPropertyNotifySink*>(site.Get()), &cookie), S_OK);

    com::Dispatch control = late();
    control.put("Caption", "Inbox");
    control.put("Caption", "Inbox");  // the same value: no change, no notification
    control.put("Style", 2);
    control.put("Lit", com::Variant(true));
    EXPECT_EQ(control.get("Caption").toString(), "Inbox");
    EXPECT_EQ(control.get("Style").toLong(), 2);
    EXPECT_TRUE(control.get("Lit").toBool());
    EXPECT_EQ(swatch().swatch().lblCaption.Caption(), "Inbox");
    EXPECT_EQ(site->changedProperties, (std::vector<DISPID>{0, 1, 2}));

    try {
        control.put("Style", 7);
        ADD_FAILURE() << "Style 7 was taken";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), static_cast<std::int32_t>(CTL_E_INVALIDPROPERTYVALUE));
        EXPECT_NE(std::string(failure.what()).find("Invalid property value"), std::string::npos) << failure.what();
    }
    EXPECT_EQ(control.get("Style").toLong(), 2);
    EXPECT_EQ(site->changedProperties.size(), 3u);

    ASSERT_EQ(notify->Unadvise(cookie), S_OK);
    control.put("Caption", "Later");
    EXPECT_EQ(site->changedProperties.size(), 3u);
    EXPECT_EQ(notify->Unadvise(cookie), CONNECT_E_NOCONNECTION);
}

TEST_F(Toolkit, ABugInAMethodNeverCrossesCOMAndLeavesTheControlInert)
{
    ComPtr<ISwatch> direct;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&direct)), S_OK);
    EXPECT_EQ(direct->put_Caption(com::Bstr("#bug").get()), E_UNEXPECTED);
    // The bug is held, not absorbed: every guarded entry answers at once without running.
    EXPECT_EQ(direct->put_Caption(com::Bstr("After").get()), E_UNEXPECTED);
    EXPECT_EQ(swatch().swatch().lblCaption.Caption(), "Swatch");
    EXPECT_THROW(platform::win32::rethrowEscaped(), std::logic_error);
    EXPECT_EQ(direct->put_Caption(com::Bstr("After").get()), S_OK);
    EXPECT_EQ(swatch().swatch().lblCaption.Caption(), "After");
}

TEST_F(Toolkit, APropertyBagAndAStreamGiveBackTheStateTheyWereSavedFrom)
{
    com::Dispatch control = late();
    control.put("Caption", "Saved");
    control.put("Style", 1);
    control.put("Lit", com::Variant(true));

    ComPtr<IPersistPropertyBag> bagged;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&bagged)), S_OK);
    MemoryBag bag;
    ASSERT_EQ(bagged->Save(&bag, TRUE, TRUE), S_OK);
    ASSERT_EQ(bag.values.size(), 3u);
    EXPECT_EQ(bag.values[L"Caption"].toString(), "Saved");
    EXPECT_EQ(bag.values[L"Style"].toLong(), 1);

    // A new control starts from the defaults, and the bag brings the saved state back.
    ASSERT_EQ(bagged->InitNew(), S_OK);
    EXPECT_EQ(control.get("Caption").toString(), "Swatch");
    EXPECT_EQ(control.get("Style").toLong(), 0);
    EXPECT_FALSE(control.get("Lit").toBool());
    ASSERT_EQ(bagged->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(control.get("Caption").toString(), "Saved");
    EXPECT_EQ(control.get("Style").toLong(), 1);
    EXPECT_TRUE(control.get("Lit").toBool());

    // A name missing from the bag reads as its default.
    bag.values.erase(L"Caption");
    ASSERT_EQ(bagged->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(control.get("Caption").toString(), "Swatch");

    // A stream, as hosts that store controls in documents use.
    control.put("Caption", "Streamed \xE2\x9C\x89");  // an envelope: text beyond Latin-1 survives
    ComPtr<IPersistStreamInit> streamed;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&streamed)), S_OK);
    EXPECT_EQ(streamed->IsDirty(), S_OK);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(streamed->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(streamed->IsDirty(), S_FALSE);
    ASSERT_EQ(streamed->InitNew(), S_OK);
    ASSERT_EQ(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(streamed->Load(stream.Get()), S_OK);
    EXPECT_EQ(control.get("Caption").toString(), "Streamed \xE2\x9C\x89");
    EXPECT_EQ(control.get("Style").toLong(), 1);
    EXPECT_TRUE(control.get("Lit").toBool());

    // A stored value the control refuses fails the load with the control's error.
    bag.values[L"Style"] = com::Variant(std::int32_t{9});
    EXPECT_EQ(bagged->Load(&bag, nullptr), CTL_E_INVALIDPROPERTYVALUE);
}

TEST_F(Toolkit, EventsReachAdvisedSinksAlsoFromARealClickAndNotWhileFrozen)
{
    ContainerWindow container(300, 300, 200, 100);
    ComPtr<Site> site;
    site.Attach(new Site(container.handle(), RECT{10, 10, 170, 70}, PageSite::None));
    host_in(*site.Get(), container.handle(), RECT{10, 10, 170, 70});
    pump(200);

    ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&points)), S_OK);
    ComPtr<IConnectionPoint> events;
    ASSERT_EQ(points->FindConnectionPoint(DIID_DSwatchEvents, &events), S_OK);
    ComPtr<EventLog> log;
    log.Attach(new EventLog);
    DWORD cookie = 0;
    ASSERT_EQ(events->Advise(log.Get(), &cookie), S_OK);
    ComPtr<IProvideClassInfo2> info;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&info)), S_OK);
    GUID source{};
    ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID_DSwatchEvents);

    late().call("Ring", {com::Variant(std::int32_t{3})});
    ASSERT_EQ(log->events.size(), 1u);
    EXPECT_EQ(log->events[0].first, 2);
    ASSERT_EQ(log->events[0].second.size(), 1u);
    EXPECT_EQ(log->events[0].second[0].toLong(), 3);

    // The label sits at 20,20 - 140,40 of the swatch, which sits at 10,10 in the container.
    clickAt(POINT{300 + 10 + 50, 300 + 10 + 30});
    pump(300);
    ASSERT_EQ(log->events.size(), 2u);
    EXPECT_EQ(log->events[1].first, 1);
    EXPECT_TRUE(site->uiActive);

    ComPtr<IOleControl> control;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&control)), S_OK);
    ASSERT_EQ(control->FreezeEvents(TRUE), S_OK);
    late().call("Ring", {com::Variant(std::int32_t{1})});
    ASSERT_EQ(control->FreezeEvents(FALSE), S_OK);
    EXPECT_EQ(log->events.size(), 2u);

    ASSERT_EQ(events->Unadvise(cookie), S_OK);
    ComPtr<IOleObject> object;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&object)), S_OK);
    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(site->inPlaceActive);
}

TEST_F(Toolkit, DrawThroughIViewObjectPaintsWhatTheFormRenders)
{
    late().put("Style", 1);
    ComPtr<IViewObject2> view;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&view)), S_OK);
    SIZEL extent{};
    ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
    EXPECT_EQ(extent.cx, 4233);  // 160 pixels of 96 dpi in HIMETRIC
    EXPECT_EQ(extent.cy, 1588);

    MemoryCanvas canvas(160, 60);
    const RECTL bounds{0, 0, 160, 60};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0),
              S_OK);
    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0),
              DV_E_DVASPECT);
    const std::vector<std::uint32_t> drawn = canvas.pixels();
    const draw::Surface expected = swatch().swatch().render();
    EXPECT_EQ(drawn, expected.bits());
    EXPECT_EQ(drawn[0], 0x00A0E0A0u);  // Style 1's colour, 0x00BBGGRR read back as 0x00RRGGBB
}

TEST_F(Toolkit, KeysTheContainerWouldTakeStayWithTheControlAndAmbientsAreRead)
{
    ContainerWindow container(300, 300, 200, 100);
    ComPtr<Site> site;
    site.Attach(new Site(container.handle(), RECT{0, 0, 160, 60}, PageSite::None));
    host_in(*site.Get(), container.handle(), RECT{0, 0, 160, 60});
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&active)), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(active->GetWindow(&window), S_OK);
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, DLGC_WANTTAB);

    // The swatch has no tab stops: Tab is the dialog's, to move on past it.
    MSG tab{window, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(active->TranslateAccelerator(&tab), S_FALSE);
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) & DLGC_WANTTAB, 0);
    MSG enter{window, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_EQ(active->TranslateAccelerator(&enter), S_OK);
    MSG escape{window, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_EQ(active->TranslateAccelerator(&escape), S_FALSE);  // the dialog's Cancel
    MSG letter{window, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_EQ(active->TranslateAccelerator(&letter), S_FALSE);
    MSG elsewhere{container.handle(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(active->TranslateAccelerator(&elsewhere), S_FALSE);

    ComPtr<IOleControl> control;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&control)), S_OK);
    CONTROLINFO info{};
    info.cb = sizeof info;
    ASSERT_EQ(control->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cAccel, 1);
    ASSERT_NE(info.hAccel, nullptr);
    ACCEL accel{};
    ASSERT_EQ(CopyAcceleratorTableW(info.hAccel, &accel, 1), 1);
    EXPECT_EQ(accel.key, 'S');
    EXPECT_EQ(accel.fVirt & FALT, FALT);

    EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE), S_OK);
    EXPECT_EQ(swatch().ambientChanges, (std::vector<DISPID>{DISPID_AMBIENT_USERMODE}));
    EXPECT_TRUE(swatch().userMode);

    // Hidden and shown again by the container's verbs.
    ComPtr<IOleObject> object;
    ASSERT_EQ(swatch().QueryInterface(IID_PPV_ARGS(&object)), S_OK);
    const RECT position{0, 0, 160, 60};
    ASSERT_EQ(object->DoVerb(OLEIVERB_HIDE, nullptr, site.Get(), 0, container.handle(), &position), S_OK);
    EXPECT_FALSE(IsWindowVisible(window));
    ASSERT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, site.Get(), 0, container.handle(), &position), S_OK);
    EXPECT_TRUE(IsWindowVisible(window));

    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(IsWindow(window));
}

TEST(ModuleWindowClasses, AClassRemovedWithOneDesktopIsRegisteredAgainByAnother)
{
    // Two desktops of one module (two pages of one DLL): the first registers the class, the second
    // finds it there; the first goes and takes the class with it; the second must register it
    // again rather than trust that it is still there.
    platform::WindowSpec spec;
    spec.className = "Quellin.Test.SharedClass";
    auto first = std::make_unique<platform::win32::Win32Desktop>();
    first->destroyWindow(first->createWindow(spec));
    platform::win32::Win32Desktop second;
    second.destroyWindow(second.createWindow(spec));
    first.reset();
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), L"Quellin.Test.SharedClass", &info));
    platform::WindowHandle window = platform::NoWindow;
    EXPECT_NO_THROW(window = second.createWindow(spec));
    EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(window)));
}

// While a message box is up: whether the container was disabled and who owns the box; then OK.
struct BoxSeen {
    HWND container = nullptr;
    bool containerEnabled = true;
    HWND owner = nullptr;
};
BoxSeen boxSeen;

void CALLBACK answerBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND box = FindWindowW(L"#32770", L"Quellin Options");
    if (!box)
        return;
    KillTimer(nullptr, timer);
    boxSeen.containerEnabled = IsWindowEnabled(boxSeen.container) != FALSE;
    boxSeen.owner = GetWindow(box, GW_OWNER);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(ControlWindows, AMessageBoxOfAControlKeepsTheWholeDialogAwayUntilAnswered)
{
    // A control's message box names the control's (child) window as its owner, as the page does;
    // the dialog around it must not take input meanwhile (a second Apply from its OK button).
    platform::win32::Win32Desktop desktop;
    ContainerWindow container(200, 200, 300, 200);
    platform::WindowSpec spec;
    spec.className = "Quellin.Test.Control";
    const platform::WindowHandle control = desktop.createWindow(spec);
    desktop.setParent(control, reinterpret_cast<platform::WindowHandle>(container.handle()));
    EXPECT_EQ(GetParent(reinterpret_cast<HWND>(control)), container.handle());
    EXPECT_EQ(GetWindowLongPtrW(reinterpret_cast<HWND>(control), GWL_STYLE) & (WS_CHILD | WS_POPUP), WS_CHILD);

    boxSeen = BoxSeen{container.handle()};
    SetTimer(nullptr, 0, 100, answerBox);
    EXPECT_EQ(desktop.messageBox(control, "Invalid value", "Quellin Options", MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_FALSE(boxSeen.containerEnabled);
    EXPECT_EQ(boxSeen.owner, container.handle());
    EXPECT_TRUE(IsWindowEnabled(container.handle()));
}

// The class table of a DLL of one class: the swatch, on a world of the test's own.
Toolkit* currentToolkit = nullptr;
IUnknown* makeSwatch()
{
    return static_cast<IOleObject*>(Swatch::create(currentToolkit->host, currentToolkit->desktop));
}
const platform::win32::com::activex::ControlClass kSwatchClass{CLSID_Swatch, L"QuellinTest.Swatch", L"Swatch",
                                                               LIBID_QuellinSwatchTest, 0, &makeSwatch};

TEST_F(Toolkit, TheClassFactoryMakesControlsAndTheModuleCountsThemForUnloading)
{
    namespace activex = platform::win32::com::activex;
    currentToolkit = this;
    const std::span<const activex::ControlClass> classes(&kSwatchClass, 1);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(activex::getClassObject(classes, CLSID_Swatch, IID_PPV_ARGS(&factory)), S_OK);
    EXPECT_EQ(activex::getClassObject(classes, IID_IUnknown, IID_PPV_ARGS(&factory)), CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(activex::getClassObject(classes, CLSID_Swatch, IID_PPV_ARGS(&factory)), S_OK);

    ComPtr<IDispatch> made;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&made)), S_OK);
    EXPECT_EQ(com::Dispatch(made).get("Caption").toString(), "Swatch");
    ComPtr<IUnknown> outer;
    EXPECT_EQ(factory->CreateInstance(made.Get(), IID_PPV_ARGS(&outer)), CLASS_E_NOAGGREGATION);

    EXPECT_EQ(activex::canUnloadNow(), S_FALSE);  // the fixture's swatch, this one and the factory
    made.Reset();
    factory->LockServer(TRUE);
    factory.Reset();
    ComPtr<IClassFactory> again;
    ASSERT_EQ(activex::getClassObject(classes, CLSID_Swatch, IID_PPV_ARGS(&again)), S_OK);
    again->LockServer(FALSE);
    again.Reset();
    EXPECT_EQ(activex::canUnloadNow(), S_FALSE);  // the fixture's swatch still lives
}

} // namespace
} // namespace activex_tests
