#pragma once
// The Outlook seam over COM: Outlook's object model by late binding.
//
// Implements: outlook::Application, NameSpace, MAPIFolder, Items and Item over IDispatch, each
// member called by its name through com::Dispatch (ids asked once per name and interface, shared
// by every object of that interface), ItemsEvents through a connection point with Outlook's own
// interface id and dispatch ids (ItemAdd 0xF001, ItemChange 0xF002, ItemRemove 0xF003). Events are
// posted to the message loop, as the seam promises, so a handler never runs inside another
// handler's call to Outlook; one already posted is dropped when its connection has gone meanwhile.
// Every failure is a platform::Failure carrying Outlook's error text and code; once one call
// finds Outlook gone (RPC server unavailable, object disconnected), every later call on any object
// of that attach fails at once with the same error. An object member that answers Nothing where
// an object is required fails too.
// asMailItem checks the item's Class (olMail), as a typed assignment in VB would fail otherwise.
// Does not: register a message filter (the caller installs com::MessageFilter on its thread), or
// the MAPI helper's objects (ComMapi.h).

#include <memory>

#include "platform/MessageLoop.h"
#include "platform/Outlook.h"
#include "platform/win32/com/Variant.h"

namespace platform::win32 {

// Creates "Outlook.Application" by its ProgID as a local server: attaches to the running Outlook
// (COM starts it when none runs). Throws platform::Failure when it is not registered or cannot
// be reached.
com::ComPtr<IDispatch> createOutlookObject();

// The seam's Application over an automation object that answers Outlook's member names (the
// object created above, or one of a test's own). Holds its own reference.
std::shared_ptr<outlook::Application> comOutlookApplication(IDispatch* application, MessageLoop& loop);

// The Outlook object behind a seam item made here (no reference added), or nullptr for any other
// implementation's item.
IDispatch* comObjectOf(outlook::Item& item);

// An OLE automation date (days since 1899-12-30, the fraction the time of day, as Outlook's dates
// come) to local wall-clock seconds, to the nearest second.
DateTime fromOleDate(double oleDate);

} // namespace platform::win32
