#pragma once
// The object-model proxies of the simulated Outlook and the MAPI helper library's objects.
// Private to platform/sim: the system sees them only as the seam's interfaces.
//
// A proxy refers to its store record by identity and checks, at every call, the named fault, then
// that Outlook still runs in the session the proxy was made in, then that its folder or item still
// exists.

#include <memory>

#include "platform/Outlook.h"
#include "platform/sim/SimOutlookState.h"

namespace platform::sim {

std::shared_ptr<outlook::Application> makeApplicationObject(std::shared_ptr<SimOutlook::State> state);
std::shared_ptr<outlook::MAPIFolder> makeFolderObject(std::shared_ptr<SimOutlook::State> state,
                                                      SimOutlook::State::Folder& folder);
std::shared_ptr<outlook::Item> makeItemObject(std::shared_ptr<SimOutlook::State> state,
                                              SimOutlook::State::Item& item);
std::shared_ptr<mapi::SafeMailItem> makeSafeMailItemObject(std::shared_ptr<SimOutlook::State> state);
std::shared_ptr<mapi::MAPIUtils> makeMAPIUtilsObject(std::shared_ptr<SimOutlook::State> state);

} // namespace platform::sim
