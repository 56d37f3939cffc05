#pragma once
// The settings schema: every key and value the two programs share, with its type and the
// defaults of each reader, and typed access through mdlRegistry. Code reads and writes settings
// only through these descriptors, never with literal key paths or value names.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shared/mdlRegistry.h"

namespace qln::settings {

// The keys, all under HKEY_CURRENT_USER.
enum class StoreKey {
    Settings,            // shared settings, change flags and preview twins
    Options,             // the notifier's own values
    Install,             // written by the installation, read only
    OutlookPreferences,  // Outlook's own MinToTray
    OutlookOptions,      // Outlook's own AddressBarWidth
};
std::string_view keyPath(StoreKey key);

// Which program reads: each has its own defaults for a few values.
enum class Reader { Notifier, Page };

struct DwordValue {
    StoreKey key;
    std::string name;
    std::int32_t pageDefault;
    std::int32_t notifierDefault;
    std::int32_t defaultFor(Reader r) const { return r == Reader::Page ? pageDefault : notifierDefault; }
};

struct StringValue {
    StoreKey key;
    std::string name;
    std::string pageDefault;
    std::string notifierDefault;
    const std::string& defaultFor(Reader r) const { return r == Reader::Page ? pageDefault : notifierDefault; }
};

// ---- Behaviour and actions (settings key) ---------------------------------------------------
extern const DwordValue IsEnabled;               // exactly 1 = on
extern const DwordValue MarkRead;
extern const DwordValue NotifyReports;
extern const StringValue SwitchTo;               // "Open", "Switch", "Both"; page default empty
extern const StringValue WinState;               // "Normal", "Max"; page default empty
extern const DwordValue Dismiss;
extern const DwordValue DismissTime;
extern const DwordValue MultMsgDelay;
extern const DwordValue MultMsgDelayTime;
extern const DwordValue ListMode;                // 0 all, 1 blocked list, 2 allowed list
extern const StringValue BWPath;
extern const StringValue AutodismissFolders;
StringValue AddInbox(int n);                     // "AddInbox<n>", default "EOF"
extern const DwordValue Autodismiss3rdPartySpam;
extern const DwordValue DisableActionButtons;

// ---- Popup content --------------------------------------------------------------------------
extern const DwordValue ShowInboxSum;
extern const DwordValue ShowSenderName;
extern const DwordValue ShowRecipient;
extern const DwordValue ShowSubject;
extern const DwordValue ShowReceivedSize;
extern const DwordValue ShowMessageBody;
extern const DwordValue BodyAmount;

// ---- Popup appearance, size and place -------------------------------------------------------
extern const DwordValue BackColor;
extern const DwordValue UseTransparency;
extern const DwordValue TransparencyLevel;
extern const StringValue WinAppear;              // "None", "Fade", "Slide"
extern const DwordValue WinRate;
extern const DwordValue Fade;
extern const DwordValue UseSetFormSize;
extern const DwordValue SetFormWidth;            // the notifier's default depends on the system font:
inline constexpr std::int32_t SetFormWidthLargeFontsDefault = 265;  // used instead with large fonts
extern const DwordValue SetFormHeight;
extern const DwordValue WindowPosition;          // 0 bottom right, 1 bottom left, 2 top left, 3 top right
extern const DwordValue SpaceWidth;
extern const DwordValue SpaceHeight;
extern const StringValue UserFontName;
extern const DwordValue UserFontSize;
extern const DwordValue UserFontColor;           // OLE colour; 0x80000012 = button text

// ---- Hot key --------------------------------------------------------------------------------
extern const DwordValue HKkDismiss;              // virtual-key code; 0 = none
extern const DwordValue HKmDismiss;              // 1 Shift, 2 Ctrl, 4 Alt

// ---- Change flags ---------------------------------------------------------------------------
extern const DwordValue HKChanged;
extern const DwordValue Preview;
extern const DwordValue ReReadBList;
extern const DwordValue ReReadWList;
extern const DwordValue MultMsgDelayTimeChanged;  // the notifier's default is 1

// ---- Options key (notifier only) ------------------------------------------------------------
extern const DwordValue IgnoreInbox;
extern const DwordValue GetStart;                // the first-run dialog shows when exactly 1

// ---- Install key (read only) ----------------------------------------------------------------
extern const StringValue QLNPath;                // default "C:\"
extern const StringValue Help;

// ---- Outlook's own values -------------------------------------------------------------------
extern const DwordValue MinToTray;
extern const DwordValue AddressBarWidth;

// ---- Preview twins --------------------------------------------------------------------------
// The display values that have a twin, in their table order (21 of them), and the twin of each:
// the same key, type and defaults under the name with the prefix "p".
struct TwinnedValue {
    const DwordValue* dword = nullptr;     // exactly one of the two is set
    const StringValue* string = nullptr;
};
std::span<const TwinnedValue> previewTwinSources();
DwordValue previewTwin(const DwordValue& value);
StringValue previewTwin(const StringValue& value);

// Every fixed value of the schema (AddInbox n and the twins excepted), for tests and tools.
std::vector<TwinnedValue> allValues();

// Typed access for one program: reads give that program's default.
class Settings {
public:
    Settings(const mdlRegistry& registry, Reader reader) : registry_(registry), reader_(reader) {}

    std::int32_t read(const DwordValue& value) const;
    std::string read(const StringValue& value) const;
    void write(const DwordValue& value, std::int32_t number) const;
    void write(const StringValue& value, std::string_view text) const;

    const mdlRegistry& registry() const { return registry_; }
    Reader reader() const { return reader_; }

private:
    const mdlRegistry& registry_;
    Reader reader_;
};

} // namespace qln::settings
