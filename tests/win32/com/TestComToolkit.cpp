// The COM toolkit: VARIANT and BSTR with UTF-8, HRESULTs as Failures, late-bound calls, event
// sinks and the busy-server message filter, against a small automation object of our own and
// against Wine's Scripting.Dictionary.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/CallbackGuard.h"
#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/Dispatch.h"
#include "platform/win32/com/EventSink.h"
#include "platform/win32/com/MessageFilter.h"
#include "platform/win32/com/Variant.h"
#include "tests/win32/com/FakeAutomation.h"

namespace {

using namespace platform::win32::com;
using comtest::Call;
using comtest::FakeAutomation;
using platform::Failure;

// {00063077-0000-0000-C000-000000000046}, Outlook's ItemsEvents.
constexpr IID itemsEvents = {0x00063077, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The object's IUnknown (it has two bases that derive from it).
IUnknown& unknown(const ComPtr<FakeAutomation>& object) { return *static_cast<IDispatch*>(object.Get()); }

class Com : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

// The Failure a call throws, for checking its number and text.
template <class F>
Failure failureOf(F&& f)
{
    try {
        f();
    } catch (const Failure& failure) {
        return failure;
    }
    ADD_FAILURE() << "no Failure thrown";
    return Failure("none");
}

// --- VARIANT and BSTR ---

TEST_F(Com, VariantsHoldOutlooksTypesAndConvertAsLateBindingDoes)
{
    EXPECT_EQ(Variant(true).type(), VT_BOOL);
    EXPECT_EQ(Variant(true).raw().boolVal, VARIANT_TRUE);  // -1, not 1
    EXPECT_EQ(Variant(43).type(), VT_I4);
    EXPECT_EQ(Variant(2.5).type(), VT_R8);
    EXPECT_EQ(Variant("x").type(), VT_BSTR);
    EXPECT_EQ(Variant::date(45000.5).type(), VT_DATE);
    EXPECT_TRUE(Variant().isEmpty());
    EXPECT_TRUE(Variant::missing().isMissing());

    // Outlook answers Size as a long, UnRead as a VARIANT_BOOL; a caller may read either way.
    EXPECT_TRUE(Variant(1).toBool());
    EXPECT_FALSE(Variant(0).toBool());
    EXPECT_EQ(Variant(true).toLong(), -1);
    EXPECT_EQ(Variant("12").toLong(), 12);
    EXPECT_EQ(Variant(7).toString(), "7");
    EXPECT_DOUBLE_EQ(Variant(3).toDouble(), 3.0);
    EXPECT_DOUBLE_EQ(Variant::date(45000.25).toDate(), 45000.25);
    EXPECT_DOUBLE_EQ(Variant::date(45000.25).toDouble(), 45000.25);
    EXPECT_EQ(Variant(2.75).toLong(), 3);  // banker's rounding of VB's CLng: 2.75 -> 3

    // Values that do not convert fail with the conversion's own HRESULT.
    EXPECT_EQ(failureOf([] { (void)Variant("abc").toLong(); }).number(), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(failureOf([] { (void)Variant(1e20).toLong(); }).number(), DISP_E_OVERFLOW);
    EXPECT_EQ(failureOf([] { (void)Variant("abc").toDispatch(); }).number(), DISP_E_TYPEMISMATCH);
}

TEST_F(Com, VariantsOwnTheirValuesAndReadThroughReferences)
{
    Variant original("Zoe");
    Variant copy = original;
    EXPECT_NE(copy.raw().bstrVal, original.raw().bstrVal);  // a deep copy
    Variant moved = std::move(copy);
    EXPECT_EQ(moved.toString(), "Zoe");
    EXPECT_EQ(copy.type(), VT_EMPTY);  // NOLINT(bugprone-use-after-move): moved-from is Empty

    // An event's argument by reference (Cancel As Boolean, or a VARIANT*) reads as its value.
    VARIANT_BOOL flag = VARIANT_TRUE;
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_BOOL | VT_BYREF;
    byRef.pboolVal = &flag;
    const Variant read = Variant::copyOf(byRef);
    EXPECT_EQ(read.type(), VT_BOOL);
    EXPECT_TRUE(read.toBool());

    // Nothing, Empty and Null read as no object; an object is shared, not copied.
    EXPECT_EQ(Variant(static_cast<IDispatch*>(nullptr)).toDispatch(), nullptr);
    EXPECT_EQ(Variant().toDispatch(), nullptr);
    ComPtr<FakeAutomation> object = FakeAutomation::create();
    Variant holder(static_cast<IDispatch*>(object.Get()));
    EXPECT_EQ(holder.toDispatch().Get(), static_cast<IDispatch*>(object.Get()));
}

TEST_F(Com, TextRoundTripsThroughBstrAndVariantAsUtf8)
{
    // Accents, a dash, characters beyond the BMP (two UTF-16 units each) and an embedded NUL.
    const std::string text = std::string("Zo\xC3\xAB \xE2\x80\x93 \xF0\x9F\x98\x80\xF0\x9D\x84\x9E") + '\0' + "end";
    const Bstr bstr(text);
    EXPECT_EQ(bstr.length(), 2u + 1 + 1 + 1 + 1 + 2 + 2 + 1 + 3);
    EXPECT_EQ(bstr.get()[6], 0xD83D);  // the emoji's high surrogate
    EXPECT_EQ(bstr.utf8(), text);
    EXPECT_EQ(Variant(text).toString(), text);

    EXPECT_EQ(Bstr::toUtf8(nullptr), "");  // a null BSTR is the empty string
    EXPECT_NE(Bstr("").get(), nullptr);
    EXPECT_EQ(Variant("").toString(), "");
    // An unpaired surrogate from the other side becomes U+FFFD, never a broken byte sequence.
    const wchar_t lone[] = {L'a', 0xD800, L'b'};
    BSTR raw = SysAllocStringLen(lone, 3);
    EXPECT_EQ(Bstr::toUtf8(raw), "a\xEF\xBF\xBD" "b");
    SysFreeString(raw);
}

// --- HRESULT to Failure ---

TEST_F(Com, FailuresKeepTheCodeAndTellTheServersTextOrTheSystems)
{
    const Failure plain = comFailure("GetNamespace", E_ACCESSDENIED);
    EXPECT_EQ(plain.number(), static_cast<std::int32_t>(E_ACCESSDENIED));
    EXPECT_NE(std::string(plain.what()).find("GetNamespace failed"), std::string::npos) << plain.what();
    EXPECT_NE(std::string(plain.what()).find("(0x80070005)"), std::string::npos) << plain.what();
    EXPECT_NE(std::string(plain.what()).find("ccess"), std::string::npos) << plain.what();  // the system's text

    // A server's exception: its own description and its scode, not DISP_E_EXCEPTION.
    EXCEPINFO info{};
    info.bstrDescription = SysAllocString(L"The item has been moved or deleted.");
    info.scode = static_cast<SCODE>(0x8004010F);
    const Failure raised = comFailure("Subject", DISP_E_EXCEPTION, &info);
    EXPECT_STREQ(raised.what(), "Subject failed: The item has been moved or deleted. (0x8004010F)");
    EXPECT_EQ(raised.number(), static_cast<std::int32_t>(0x8004010F));
    SysFreeString(info.bstrDescription);

    // A VB-style error number (wCode) is the Failure's number; without a description the text
    // is the system's for the call's HRESULT.
    EXCEPINFO vb{};
    vb.wCode = 380;
    EXPECT_EQ(comFailure("Value", DISP_E_EXCEPTION, &vb).number(), 380);

    EXPECT_TRUE(isDisconnected(RPC_E_DISCONNECTED));
    EXPECT_TRUE(isDisconnected(HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)));
    EXPECT_FALSE(isDisconnected(RPC_E_CALL_REJECTED));  // busy is not gone
}

// --- The dispatch caller ---

TEST_F(Com, DispatchGetsPutsAndCallsByNameWithArgumentsInOrder)
{
    ComPtr<FakeAutomation> item = FakeAutomation::create();
    item->property("Subject", 0x37, Variant("Lunch"));
    item->property("UnRead", 0xF01C, Variant(true));
    item->member("Display", 0xF0A6, [](const Call& call, Variant& result, EXCEPINFO&) {
        result = Variant(static_cast<std::int32_t>(call.args.size()));
        return call.flags == DISPATCH_METHOD ? S_OK : DISP_E_MEMBERNOTFOUND;
    });
    item->member("Item", 0x51, [](const Call& call, Variant& result, EXCEPINFO&) {
        result = Variant(call.args.at(0).toString() + "/" + call.args.at(1).toString());
        return S_OK;
    });
    const Dispatch mail(item);

    EXPECT_EQ(mail.get("Subject").toString(), "Lunch");
    mail.put("UnRead", Variant(false));
    EXPECT_TRUE(item->lastCall().namedPut);
    EXPECT_FALSE(item->value(0xF01C).toBool());
    EXPECT_FALSE(mail.get("unread").toBool());  // names are the server's business: any case

    EXPECT_EQ(mail.call("Display").toLong(), 0);
    EXPECT_EQ(mail.call("Display", {Variant::missing()}).toLong(), 1);
    EXPECT_TRUE(item->lastCall().args.at(0).isMissing());
    EXPECT_EQ(mail.get("Item", {Variant("first"), Variant(2)}).toString(), "first/2");
}

TEST_F(Com, DispatchAsksEachNameOncePerInterface)
{
    auto makeItem = [] {
        ComPtr<FakeAutomation> item = FakeAutomation::create();
        item->property("Subject", 0x37, Variant("s"));
        item->property("Size", 0xE08, Variant(10));
        return item;
    };
    ComPtr<FakeAutomation> first = makeItem();
    ComPtr<FakeAutomation> second = makeItem();
    auto mailItems = std::make_shared<DispIdCache>();

    const Dispatch a(first, mailItems);
    const Dispatch b(second, mailItems);
    a.get("Subject");
    a.get("Subject");
    a.get("Size");
    b.get("Subject");
    b.get("Size");
    EXPECT_EQ(first->nameLookups(), 2);
    EXPECT_EQ(second->nameLookups(), 0);
    EXPECT_EQ(mailItems->lookups(), 2);
    EXPECT_EQ(first->invocations() + second->invocations(), 5);

    // Another interface has its own cache.
    const Dispatch folder(second);
    folder.get("Size");
    EXPECT_EQ(second->nameLookups(), 1);
}

TEST_F(Com, DispatchFailuresCarryTheServersErrorAndAreNotCached)
{
    ComPtr<FakeAutomation> item = FakeAutomation::create();
    int calls = 0;
    item->member("Delete", 0xF04A, [&](const Call&, Variant&, EXCEPINFO& exception) {
        ++calls;
        return comtest::raise(exception, L"The item has been moved or deleted.", static_cast<SCODE>(0x8004010F));
    });
    item->member("Body", 0x9100, [](const Call&, Variant&, EXCEPINFO&) { return RPC_E_CALL_REJECTED; });
    const Dispatch mail(item);

    const Failure deleted = failureOf([&] { mail.call("Delete"); });
    EXPECT_STREQ(deleted.what(), "Delete failed: The item has been moved or deleted. (0x8004010F)");
    EXPECT_EQ(deleted.number(), static_cast<std::int32_t>(0x8004010F));

    EXPECT_EQ(failureOf([&] { mail.get("Body"); }).number(), RPC_E_CALL_REJECTED);

    const Failure unknown = failureOf([&] { mail.get("Sensitivity"); });
    EXPECT_EQ(unknown.number(), DISP_E_UNKNOWNNAME);
    EXPECT_NE(std::string(unknown.what()).find("Sensitivity failed"), std::string::npos);
    // A name the server did not know is asked again next time (it may know it by then).
    failureOf([&] { mail.get("Sensitivity"); });
    EXPECT_EQ(item->nameLookups(), 4);  // Delete, Body, Sensitivity twice

    EXPECT_EQ(failureOf([] { Dispatch().get("Subject"); }).number(), E_POINTER);
}

TEST_F(Com, OnceTheServerIsGoneEveryCallOnItsObjectsFailsAtOnce)
{
    ComPtr<FakeAutomation> application = FakeAutomation::create();
    ComPtr<FakeAutomation> item = FakeAutomation::create();
    bool running = true;
    auto member = [&](const Call&, Variant& result, EXCEPINFO&) {
        result = Variant(1);
        return running ? S_OK : RPC_E_SERVER_DIED_DNE;
    };
    application->member("Version", 1, member);
    item->member("Subject", 2, member);
    item->member("Size", 3, member);
    auto link = std::make_shared<ServerLink>();
    const Dispatch outlook(application, nullptr, link);
    const Dispatch mail(item, nullptr, link);
    const Dispatch unlinked(item);

    // Busy or refused is not gone.
    running = true;
    application->member("Busy", 4, [](const Call&, Variant&, EXCEPINFO&) { return RPC_E_CALL_REJECTED; });
    EXPECT_THROW(outlook.get("Busy"), Failure);
    EXPECT_FALSE(link->gone());
    mail.get("Subject");

    running = false;
    EXPECT_EQ(failureOf([&] { outlook.get("Version"); }).number(), RPC_E_SERVER_DIED_DNE);
    EXPECT_TRUE(link->gone());
    const int invoked = item->invocations();
    const int asked = item->nameLookups();
    EXPECT_EQ(failureOf([&] { mail.get("Subject"); }).number(), RPC_E_SERVER_DIED_DNE);
    EXPECT_EQ(failureOf([&] { mail.get("Size"); }).number(), RPC_E_SERVER_DIED_DNE);  // not even its name asked
    EXPECT_EQ(item->invocations(), invoked);
    EXPECT_EQ(item->nameLookups(), asked);
    // An object of no link still tries.
    EXPECT_THROW(unlinked.get("Subject"), Failure);
    EXPECT_EQ(item->invocations(), invoked + 1);
}

TEST_F(Com, DispatchDrivesWinesScriptingDictionary)
{
    CLSID clsid;
    ComPtr<IDispatch> object;
    if (FAILED(CLSIDFromProgID(L"Scripting.Dictionary", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object))))
        GTEST_SKIP() << "Scripting.Dictionary is not registered here";
    const Dispatch dictionary(object);

    dictionary.call("Add", {Variant("\xF0\x9F\x98\x80 key"), Variant(42)});
    dictionary.call("Add", {Variant("other"), Variant("Zo\xC3\xAB")});
    EXPECT_EQ(dictionary.get("Count").toLong(), 2);
    EXPECT_EQ(dictionary.get("Item", {Variant("\xF0\x9F\x98\x80 key")}).toLong(), 42);
    EXPECT_EQ(dictionary.get("Item", {Variant("other")}).toString(), "Zo\xC3\xAB");
    EXPECT_TRUE(dictionary.call("Exists", {Variant("other")}).toBool());
    EXPECT_FALSE(dictionary.call("Exists", {Variant("none")}).toBool());

    // Adding a key twice is the dictionary's error, raised through Invoke.
    const Failure twice = failureOf([&] { dictionary.call("Add", {Variant("other"), Variant(1)}); });
    EXPECT_NE(twice.number(), 0);
    EXPECT_NE(twice.number(), static_cast<std::int32_t>(DISP_E_EXCEPTION)) << twice.what();
    EXPECT_EQ(dictionary.get("Count").toLong(), 2);
}

// --- Event sinks ---

TEST_F(Com, SinksReceiveEventsByDispidWhileConnected)
{
    ComPtr<FakeAutomation> items = FakeAutomation::create(itemsEvents);
    ComPtr<FakeAutomation> mail = FakeAutomation::create();
    std::vector<std::string> seen;
    ComPtr<EventSink> sink = EventSink::create(itemsEvents);
    sink->on(0xF001, [&](const std::vector<Variant>& args) {
        ASSERT_EQ(args.size(), 1u);
        seen.push_back(args[0].toDispatch().Get() == static_cast<IDispatch*>(mail.Get()) ? "ItemAdd mail" : "ItemAdd ?");
    });
    sink->on(0xF00F, [&](const std::vector<Variant>& args) {  // two arguments, in declaration order
        seen.push_back(args.at(0).toString() + "," + args.at(1).toString());
    });
    {
        SinkConnection connection(unknown(items), sink);
        EXPECT_EQ(items->sinks(), 1u);
        EXPECT_EQ(items->fire(0xF001, {Variant(static_cast<IDispatch*>(mail.Get()))}), std::vector<HRESULT>{S_OK});
        items->fire(0xF00F, {Variant("first"), Variant(2)});
        // An event nobody handles is answered and ignored (ItemRemove here).
        EXPECT_EQ(items->fire(0xF003, {}), std::vector<HRESULT>{S_OK});
    }
    EXPECT_EQ(items->sinks(), 0u);
    EXPECT_EQ(items->fire(0xF001, {Variant(static_cast<IDispatch*>(mail.Get()))}).size(), 0u);
    EXPECT_EQ(seen, (std::vector<std::string>{"ItemAdd mail", "first,2"}));

    // A source still holding the sink after the connection ended reaches no handler.
    Variant args[1] = {Variant(static_cast<IDispatch*>(mail.Get()))};
    DISPPARAMS params{const_cast<VARIANT*>(&args[0].raw()), nullptr, 1, 0};
    EXPECT_EQ(sink->Invoke(0xF001, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(Com, ConnectingFailsCleanlyWhereTheSourceHasNoSuchEvents)
{
    ComPtr<FakeAutomation> noEvents = FakeAutomation::create();
    ComPtr<EventSink> sink = EventSink::create(itemsEvents);
    EXPECT_EQ(failureOf([&] { SinkConnection(unknown(noEvents), sink); }).number(), E_NOINTERFACE);

    const IID other = {0x0006302C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    ComPtr<FakeAutomation> application = FakeAutomation::create(other);
    EXPECT_EQ(failureOf([&] { SinkConnection(unknown(application), sink); }).number(), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(application->sinks(), 0u);

    // The sink answers for its own dispinterface, which a source checks before it advises.
    ComPtr<IDispatch> asEvents;
    EXPECT_EQ(sink->QueryInterface(itemsEvents, reinterpret_cast<void**>(asEvents.GetAddressOf())), S_OK);
}

TEST_F(Com, AHandlersExceptionStaysOnOurSideOfCom)
{
    ComPtr<FakeAutomation> items = FakeAutomation::create(itemsEvents);
    ComPtr<EventSink> sink = EventSink::create(itemsEvents);
    int handled = 0;
    sink->on(0xF002, [&](const std::vector<Variant>&) {
        ++handled;
        throw std::logic_error("bug in a handler");
    });
    SinkConnection connection(unknown(items), sink);

    EXPECT_EQ(items->fire(0xF002, {Variant(static_cast<IDispatch*>(nullptr))}), std::vector<HRESULT>{E_UNEXPECTED});
    ASSERT_TRUE(platform::win32::exceptionEscaped());
    // Held, not run again on the state the failed handler left, and rethrown on our side.
    EXPECT_EQ(items->fire(0xF002, {Variant()}), std::vector<HRESULT>{E_UNEXPECTED});
    EXPECT_EQ(handled, 1);
    EXPECT_THROW(platform::win32::rethrowEscaped(), std::logic_error);
    EXPECT_FALSE(platform::win32::exceptionEscaped());
}

// --- The message filter ---

TEST_F(Com, BusyCallsAreRetriedForABoundedTimeThenCancelled)
{
    ComPtr<MessageFilter> filter = MessageFilter::create(1000, 250);
    const DWORD cancel = static_cast<DWORD>(-1);
    // Elapsed time is COM's own count since the call was made.
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 250u);
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 500, SERVERCALL_RETRYLATER), 250u);
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 750, SERVERCALL_RETRYLATER), 250u);  // ends at the limit
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 751, SERVERCALL_RETRYLATER), cancel);
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0xFFFFFF00u, SERVERCALL_RETRYLATER), cancel);  // no wrap
    // Rejected outright: no point in waiting.
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED), cancel);
    EXPECT_EQ(filter->retries(), 3);
    EXPECT_EQ(filter->cancellations(), 3);

    // A delay below 100 ms would make COM retry at once, spinning; it is raised to 100.
    ComPtr<MessageFilter> eager = MessageFilter::create(1000, 10);
    EXPECT_EQ(eager->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 100u);
    ComPtr<MessageFilter> impatient = MessageFilter::create(0, 250);
    EXPECT_EQ(impatient->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), cancel);

    // Calls coming in are served; messages arriving while a call waits get default processing.
    EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), static_cast<DWORD>(SERVERCALL_ISHANDLED));
    EXPECT_EQ(filter->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
}

TEST_F(Com, TheFilterIsInstalledOnTheApartmentAndThePreviousOneRestored)
{
    ComPtr<MessageFilter> outer = MessageFilter::create();
    ComPtr<MessageFilter> inner = MessageFilter::create();
    auto current = [] {
        ComPtr<IMessageFilter> filter;
        CoRegisterMessageFilter(nullptr, &filter);
        CoRegisterMessageFilter(filter.Get(), nullptr);
        return filter;
    };
    {
        MessageFilterRegistration first(outer);
        EXPECT_EQ(current().Get(), static_cast<IMessageFilter*>(outer.Get()));
        {
            MessageFilterRegistration second(inner);
            EXPECT_EQ(current().Get(), static_cast<IMessageFilter*>(inner.Get()));
        }
        EXPECT_EQ(current().Get(), static_cast<IMessageFilter*>(outer.Get()));
    }
    EXPECT_EQ(current().Get(), nullptr);
}

} // namespace
