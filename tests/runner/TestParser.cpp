#include <gtest/gtest.h>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Parser.h"
#include "tests/runner/RunnerTestSupport.h"

namespace qln::runner {
namespace {

TEST(Parser, AcceptsEveryAvailableForm)
{
    const std::string_view scenario = R"(# every command of the world, once
clock "2026-12-07 10:00:00"
screen 1280 1024
dpi 120
system-font large
os 9x 4
user "Bob Smith"
user none
program-folder "C:\Apps\Quellin"
fonts real
locale en-US
mapi-library absent
reg set settings IsEnabled dword 1
reg set settings UserFontColor dword 0x80000012
reg set options GetStart dword -1
reg set install QLNPath sz "C:\Apps\\"
reg set "Software\Other" Name "text without a type"
reg set "HKEY_CURRENT_USER\Software\Other" Bin raw 3 "01 02 ff"
reg delete outlook-prefs MinToTray
reg delete "Software\Other"
file write "C:\q\blist.qln" "a@b\r\n"
file delete "C:\q\blist.qln"
outlook start
outlook title "Inbox - Microsoft Outlook"
store Archive
folder Inbox/Spam
folder Calendar/Work class IPM.Appointment
folder Old store Archive class IPM.Note
mail a in Inbox from a@b sender-name A pr-sender-name B to me subject S pr-subject T )"
                                       R"(body x pr-body y size 10 received "2026-12-07 09:59:00" )"
                                       R"(attachments 2 class 46 read unsent no-newmail
mail b in Archive:Old
move a Inbox/Spam
mark-read @a
mark-unread a
delete a
purge b
folder-delete Inbox/Spam
pick-folder Inbox
pick-folder cancel
fail GetItemFromID
fail Display times 2
fail RegSetValueEx times 0
fail writeFile
fail RegisterHotKey
batch
mail c in Inbox
end
advance 250ms
window w class Notepad title "t" hidden
window v class X
foreground w
tray-icon w 3
tray-icon outlook-tray 0
screensaver on
screensaver off
hotkey-taken 0x7A 6
press 0x7A 6
window-close w
expect reg settings IsEnabled dword 1
expect reg settings IsEnabled sz "1"
expect reg settings Nope missing
expect file "C:\q\blist.qln" "a@b\r\n"
expect file "C:\q\blist.qln" missing
expect item a read
expect item a not displayed
expect item b gone
expect item a in "Deleted Items"
expect outlook window maximized
expect outlook window front
expect tray-icon shown
expect tray-icon removed
expect outlook-message 0x407 1
expect foreground popup
expect foreground none
expect foreground @a
expect foreground v
expect hotkey 0x7A 6
expect hotkey none
expect window outlook front
)";
    const Scenario parsed = Parser::parse(scenario, "all.qls");
    EXPECT_EQ(parsed.steps.size(), 77u);
    EXPECT_EQ(parsed.steps.front().line, 2);
    EXPECT_EQ(parsed.steps.front().source, "clock \"2026-12-07 10:00:00\"");
}

TEST(Parser, ReportsFileLineAndReason)
{
    const struct {
        std::string_view text;
        std::string error;
    } cases[] = {
        {"advance 1s\n\n  bogus 1\n", "t.qls:3: unknown command 'bogus' (see qln-sim --help)"},
        {"\"advance\" 1s", "t.qls:1: unknown command '\"advance\"' (see qln-sim --help)"},
        {"reg frob", "t.qls:1: unknown reg operation 'frob' after 'reg' (see qln-sim --help)"},
        {"reg", "t.qls:1: reg: missing reg operation (one of set, delete)"},
        {"expect tray-icn shown", "t.qls:1: expect: unknown check 'tray-icn' (see qln-sim --help) (column 8)"},
        {"advance", "t.qls:1: advance: missing DURATION (usage: advance DURATION)"},
        {"advance 5", "t.qls:1: advance: bad duration 5 for DURATION (like 250ms, 5s, 2m or 1h) (column 9)"},
        {"advance 876000h\nadvance 1ms",
         "t.qls:2: advance: the scenario would run past 876000h (100 years) of virtual time"},
        {"advance 5s 6s", "t.qls:1: advance: unexpected '6s' (usage: advance DURATION) (column 12)"},
        {"advance 5s # wait",
         "t.qls:1: advance: unexpected '#'; a comment takes a whole line (usage: advance DURATION) (column 12)"},
        {"screen 10x 20",
         "t.qls:1: screen: bad number 10x for W (decimal like -12 or hexadecimal like 0x80000012) (column 8)"},
        {"dpi 0", "t.qls:1: dpi: N 0 is out of range (1 to 10000) (column 5)"},
        {"reg set settings X dword 0x100000000",
         "t.qls:1: reg set: N 0x100000000 is out of range (-2147483648 to 4294967295) (column 26)"},
        {"clock 2026-12-07", "t.qls:1: clock: bad date-time 2026-12-07 for DATETIME (like \"2026-12-07 10:00:00\") "
                             "(column 7)"},
        {"system-font huge", "t.qls:1: system-font: size must be small|large, not huge (column 13)"},
        {"outlook title \"abc", "t.qls:1: unterminated quote (column 15)"},
        {"reg set setings X dword 1", "t.qls:1: reg set: unknown registry key 'setings' (settings, options, install, "
                                      "outlook-prefs, outlook-options, or a path in quotes) (column 9)"},
        {"reg set settings X raw 3 0g", "t.qls:1: reg set: bad HEXBYTES 0g (pairs of hexadecimal digits, like "
                                        "01ff00) (column 26)"},
        {"file write relative\\x \"\"",
         "t.qls:1: file write: relative\\x is not an absolute Windows path (C:\\...) (column 12)"},
        // Names must exist before they are used, and are checked before anything runs.
        {"expect item a read", "t.qls:1: expect item: no item named 'a' (an item is named by an earlier 'mail a in "
                               "...' line) (column 13)"},
        {"reg set settings X \"${item:a}\"", "t.qls:1: reg set: no item named 'a' (an item is named by an earlier "
                                             "'mail a in ...' line) (column 20)"},
        {"mail a in Inbox subject @a", "t.qls:1: mail: no item named 'a' (an item is named by an earlier 'mail a in "
                                       "...' line) (column 25)"},
        {"mail a in Inbox\nmail a in Inbox", "t.qls:2: mail: item 'a' is already named at line 1 (column 6)"},
        {"mail a on Inbox", "t.qls:1: mail: 'in' must be in, not on (column 8)"},
        {"mail a in Inbox colour red", "t.qls:1: mail: unknown option 'colour' (from, sender-name, pr-sender-name, "
                                       "to, subject, pr-subject, body, pr-body, size, received, attachments, class, "
                                       "read, unsent, no-newmail) (column 17)"},
        {"mail a in Inbox read read", "t.qls:1: mail: option 'read' given twice (column 22)"},
        {"mail a in Inbox\nexpect item a seen", "t.qls:2: expect item: unknown state 'seen' (read, unread, displayed, "
                                                "replied, forwarded, gone, or in PATH) (column 15)"},
        {"fail Frobnicate", "t.qls:1: fail: unknown operation 'Frobnicate' (qln-sim --help lists them) (column 6)"},
        {"window w class X\nwindow w class Y", "t.qls:2: window: 'w' is already open (line 1) (column 8)"},
        {"window popup class X", "t.qls:1: window: 'popup' is a name of its own (outlook, outlook-tray, popup, "
                                 "none) (column 8)"},
        {"window w class X\nwindow-close w\nforeground w",
         "t.qls:3: foreground: no window named 'w' is open (a window is named by an earlier 'window NAME class ...' "
         "line; Outlook's are outlook and outlook-tray, an item's @REF) (column 12)"},
        // batch ... end
        {"batch\nadvance 1s\nend", "t.qls:2: 'advance' cannot run inside the batch opened at line 1"},
        {"batch\nbatch\nend", "t.qls:2: batch inside the batch opened at line 1 (batches do not nest)"},
        {"end", "t.qls:1: end without batch"},
        {"advance 1s\nbatch\nmail a in Inbox\n", "t.qls:2: batch without end (the file ends inside it)"},
        {"expect frmFoo.lbl caption x",
         "t.qls:1: expect: unknown form 'frmFoo' (frmNewMail, frmGetStart, QLNOptions, frmWinPos) (column 8)"},
        {"expect lblSubject colour x",
         "t.qls:1: expect lblSubject: unknown property 'colour' (visible, enabled, caption, text, value, left, top, "
         "width, height, backcolor, forecolor, fontname, fontsize, fontbold, rows, listindex, tooltip, activecontrol)"},
        // Bytes no scenario holds.
        {std::string_view("advance 1s\n\0\0\0", 14), "t.qls:2: control character byte 0x00 in the line (column 1); "
                                                     "scenarios are text (write it as \\xHH inside quotes)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseError(c.text), c.error) << c.text;
}

TEST(Parser, LineEndingsCommentsAndLimits)
{
    // CRLF, a byte-order mark, comments and a last line without a line break.
    const Scenario s = Parser::parse("\xEF\xBB\xBF# c\r\nadvance 1s\r\n\r\n  # c\r\nadvance 2s", "t.qls");
    ASSERT_EQ(s.steps.size(), 2u);
    EXPECT_EQ(s.steps[0].line, 2);
    EXPECT_EQ(s.steps[1].line, 5);
    EXPECT_EQ(s.steps[1].source, "advance 2s");

    // A 10 MB line is refused at once, naming the line.
    const std::string huge = "advance 1s\nfile write \"C:\\a\" \"" + std::string(10u << 20, 'a') + "\"\n";
    EXPECT_EQ(parseError(huge), "t.qls:2: line longer than 1048576 bytes; not a scenario line");
    // A long token is clipped in messages.
    const std::string error = parseError("mail " + std::string(100000, 'a') + "% in Inbox");
    EXPECT_LT(error.size(), 800u);
    EXPECT_EQ(error.substr(0, 20), "t.qls:1: mail: REF '");
    EXPECT_EQ(error.substr(error.size() - 14), "... (column 6)");
    // A line just under the limit is fine.
    const std::string big = "file write \"C:\\a\" \"" + std::string(Parser::kMaxLineBytes - 40, 'a') + "\"";
    EXPECT_EQ(Parser::parse(big, "t.qls").steps.size(), 1u);
}

TEST(CommandTable, EveryRowIsDocumented)
{
    // --help is built from the rows: each must say how it is written.
    const std::string help = commandTable().help();
    for (const CommandSpec& spec : commandTable().specs()) {
        const auto check = [&](const CommandSpec& row, const std::string& path) {
            EXPECT_FALSE(row.usage.empty()) << path;
            EXPECT_EQ(row.usage.substr(0, path.size()), path) << row.usage;
            EXPECT_NE(help.find(std::string(row.usage.substr(0, row.usage.find('\n')))), std::string::npos) << path;
        };
        if (!spec.sub) {
            check(spec, std::string(spec.name));
            continue;
        }
        for (const CommandSpec& sub : spec.sub->specs()) {
            const std::string path(spec.name);
            check(sub, sub.name.empty() ? path : path + " " + std::string(sub.name));
        }
    }
}

} // namespace
} // namespace qln::runner
