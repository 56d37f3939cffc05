#include "shared/Settings.h"

#include <array>

namespace qln::settings {

std::string_view keyPath(StoreKey key)
{
    switch (key) {
    case StoreKey::Settings:
        return "Software\\Microsoft\\Office\\Outlook\\Addins\\QuellinAddin.Settings";
    case StoreKey::Options:
        return "Software\\Korvane\\Quellin\\Opt";
    case StoreKey::Install:
        return "Software\\Korvane\\Quellin\\Main";
    case StoreKey::OutlookPreferences:
        return "Software\\Microsoft\\Office\\10.0\\Outlook\\Preferences";
    case StoreKey::OutlookOptions:
        return "Software\\Microsoft\\Office\\10.0\\Outlook\\Options";
    }
    return {};
}

namespace {

constexpr StoreKey S = StoreKey::Settings;

// Most values have one default for both readers.
DwordValue dword(StoreKey key, const char* name, std::int32_t both) { return {key, name, both, both}; }
StringValue text(StoreKey key, const char* name, const char* both) { return {key, name, both, both}; }

} // namespace

// ---- Behaviour and actions ------------------------------------------------------------------
const DwordValue IsEnabled = dword(S, "IsEnabled", 1);
const DwordValue MarkRead = dword(S, "MarkRead", 1);
const DwordValue NotifyReports = dword(S, "NotifyReports", 1);
// The page shows no choice for a missing value and then selects its own ("Open", "Max").
const StringValue SwitchTo{S, "SwitchTo", "", "Open"};
const StringValue WinState{S, "WinState", "", "Max"};
const DwordValue Dismiss = dword(S, "Dismiss", 0);
const DwordValue DismissTime = dword(S, "DismissTime", 90);
const DwordValue MultMsgDelay = dword(S, "MultMsgDelay", 0);
const DwordValue MultMsgDelayTime = dword(S, "MultMsgDelayTime", 4);
const DwordValue ListMode = dword(S, "ListMode", 0);
const StringValue BWPath = text(S, "BWPath", "");
const StringValue AutodismissFolders = text(S, "AutodismissFolders", "");
StringValue AddInbox(int n) { return {S, "AddInbox" + std::to_string(n), "EOF", "EOF"}; }
const DwordValue Autodismiss3rdPartySpam = dword(S, "Autodismiss3rdPartySpam", 1);
const DwordValue DisableActionButtons = dword(S, "DisableActionButtons", 0);

// ---- Popup content --------------------------------------------------------------------------
const DwordValue ShowInboxSum = dword(S, "ShowInboxSum", 1);
const DwordValue ShowSenderName = dword(S, "ShowSenderName", 1);
const DwordValue ShowRecipient = dword(S, "ShowRecipient", 0);
const DwordValue ShowSubject = dword(S, "ShowSubject", 1);
const DwordValue ShowReceivedSize = dword(S, "ShowReceivedSize", 1);
const DwordValue ShowMessageBody = dword(S, "ShowMessageBody", 1);
const DwordValue BodyAmount = dword(S, "BodyAmount", 150);

// ---- Popup appearance, size and place -------------------------------------------------------
const DwordValue BackColor = dword(S, "BackColor", 14811135);  // 0xE1FFFF
const DwordValue UseTransparency = dword(S, "UseTransparency", 0);
const DwordValue TransparencyLevel = dword(S, "TransparencyLevel", 200);
const StringValue WinAppear = text(S, "WinAppear", "None");
const DwordValue WinRate = dword(S, "WinRate", 10);
const DwordValue Fade = dword(S, "Fade", 0);
const DwordValue UseSetFormSize = dword(S, "UseSetFormSize", 0);
const DwordValue SetFormWidth = dword(S, "SetFormWidth", 200);
const DwordValue SetFormHeight = dword(S, "SetFormHeight", 75);
const DwordValue WindowPosition = dword(S, "WindowPosition", 0);
const DwordValue SpaceWidth = dword(S, "SpaceWidth", 27);
const DwordValue SpaceHeight = dword(S, "SpaceHeight", 54);
const StringValue UserFontName = text(S, "UserFontName", "MS Sans Serif");
const DwordValue UserFontSize = dword(S, "UserFontSize", 8);
// Stored as the DWORD 2147483666; as a signed number that is the bit pattern 0x80000012.
const DwordValue UserFontColor = dword(S, "UserFontColor", static_cast<std::int32_t>(0x80000012u));

// ---- Hot key --------------------------------------------------------------------------------
const DwordValue HKkDismiss = dword(S, "HKkDismiss", 0);
const DwordValue HKmDismiss = dword(S, "HKmDismiss", 0);

// ---- Change flags ---------------------------------------------------------------------------
const DwordValue HKChanged = dword(S, "HKChanged", 0);
const DwordValue Preview = dword(S, "Preview", 0);
const DwordValue ReReadBList = dword(S, "ReReadBList", 0);
const DwordValue ReReadWList = dword(S, "ReReadWList", 0);
// Missing means "never looked at": the notifier reads the delay once.
const DwordValue MultMsgDelayTimeChanged = dword(S, "MultMsgDelayTimeChanged", 1);

// ---- Options key ----------------------------------------------------------------------------
const DwordValue IgnoreInbox = dword(StoreKey::Options, "IgnoreInbox", 0);
const DwordValue GetStart = dword(StoreKey::Options, "GetStart", 1);

// ---- Install key ----------------------------------------------------------------------------
const StringValue QLNPath = text(StoreKey::Install, "QLNPath", "C:\\");
const StringValue Help = text(StoreKey::Install, "Help", "");

// ---- Outlook's own values -------------------------------------------------------------------
const DwordValue MinToTray = dword(StoreKey::OutlookPreferences, "MinToTray", 0);
const DwordValue AddressBarWidth = dword(StoreKey::OutlookOptions, "AddressBarWidth", 0);

// ---- Preview twins --------------------------------------------------------------------------

namespace {

// In the order the page writes them.
const std::array<TwinnedValue, 21> kTwinSources = {{
    {&ShowInboxSum, nullptr},   {&ShowSenderName, nullptr}, {&ShowRecipient, nullptr},
    {&ShowSubject, nullptr},    {&ShowReceivedSize, nullptr}, {&ShowMessageBody, nullptr},
    {&BodyAmount, nullptr},     {&BackColor, nullptr},      {&UseTransparency, nullptr},
    {&TransparencyLevel, nullptr}, {&WinRate, nullptr},     {nullptr, &WinAppear},
    {&UseSetFormSize, nullptr}, {&SetFormWidth, nullptr},   {&SetFormHeight, nullptr},
    {nullptr, &UserFontName},   {&UserFontSize, nullptr},   {&UserFontColor, nullptr},
    {&SpaceWidth, nullptr},     {&SpaceHeight, nullptr},    {&WindowPosition, nullptr},
}};

} // namespace

std::span<const TwinnedValue> previewTwinSources() { return kTwinSources; }

DwordValue previewTwin(const DwordValue& value)
{
    DwordValue twin = value;
    twin.name = "p" + value.name;
    return twin;
}

StringValue previewTwin(const StringValue& value)
{
    StringValue twin = value;
    twin.name = "p" + value.name;
    return twin;
}

std::vector<TwinnedValue> allValues()
{
    auto d = [](const DwordValue& v) { return TwinnedValue{&v, nullptr}; };
    auto s = [](const StringValue& v) { return TwinnedValue{nullptr, &v}; };
    return {
        d(IsEnabled),        d(MarkRead),         d(NotifyReports),    s(SwitchTo),          s(WinState),
        d(Dismiss),          d(DismissTime),      d(MultMsgDelay),     d(MultMsgDelayTime),  d(ListMode),
        s(BWPath),           s(AutodismissFolders), d(Autodismiss3rdPartySpam), d(DisableActionButtons),
        d(ShowInboxSum),     d(ShowSenderName),   d(ShowRecipient),    d(ShowSubject),       d(ShowReceivedSize),
        d(ShowMessageBody),  d(BodyAmount),
        d(BackColor),        d(UseTransparency),  d(TransparencyLevel), s(WinAppear),        d(WinRate),
        d(Fade),             d(UseSetFormSize),   d(SetFormWidth),     d(SetFormHeight),     d(WindowPosition),
        d(SpaceWidth),       d(SpaceHeight),      s(UserFontName),     d(UserFontSize),      d(UserFontColor),
        d(HKkDismiss),       d(HKmDismiss),
        d(HKChanged),        d(Preview),          d(ReReadBList),      d(ReReadWList),       d(MultMsgDelayTimeChanged),
        d(IgnoreInbox),      d(GetStart),
        s(QLNPath),          s(Help),
        d(MinToTray),        d(AddressBarWidth),
    };
}

// ---- Settings -------------------------------------------------------------------------------

std::int32_t Settings::read(const DwordValue& value) const
{
    return registry_.ReadSettingDword(platform::Hive::CurrentUser, keyPath(value.key), value.name,
                                      value.defaultFor(reader_));
}

std::string Settings::read(const StringValue& value) const
{
    return registry_.ReadSettingString(platform::Hive::CurrentUser, keyPath(value.key), value.name,
                                       value.defaultFor(reader_));
}

void Settings::write(const DwordValue& value, std::int32_t number) const
{
    registry_.WriteSettingDword(platform::Hive::CurrentUser, keyPath(value.key), value.name, number);
}

void Settings::write(const StringValue& value, std::string_view text) const
{
    registry_.WriteSettingString(platform::Hive::CurrentUser, keyPath(value.key), value.name, text);
}

} // namespace qln::settings
