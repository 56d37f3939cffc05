// The system's colour and font dialogs as the forms open them: the colour dialog carries the
// picker's title and opens with the current colour; OK answers the choice, Cancel nothing.

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/win32/CommonDialogs.h"

namespace {

// What the "user" does once a dialog is up: its title is noted and the button pressed.
struct Answer {
    int button = IDOK;
    std::wstring title;
};
Answer answer;

// A thread timer: it runs inside the dialog's own modal loop.
void CALLBACK pressButton(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND dialog = GetActiveWindow();
    wchar_t className[32] = {};
    if (!dialog || !GetClassNameW(dialog, className, 32) || std::wstring(className) != L"#32770")
        return;
    KillTimer(nullptr, timer);
    wchar_t title[128] = {};
    GetWindowTextW(dialog, title, 128);
    answer.title = title;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(answer.button, BN_CLICKED), 0);
}

template <class Open>
auto withUser(int button, Open open)
{
    answer = Answer{button, {}};
    SetTimer(nullptr, 0, 100, pressButton);
    return open();
}

TEST(CommonDialogs, TheColourDialogCarriesItsTitleAndAnswersOkWithTheColourOrCancelWithNothing)
{
    const auto chosen = withUser(IDOK, [] { return platform::win32::chooseColour("Select a Color", 0x00336699); });
    EXPECT_EQ(answer.title, L"Select a Color");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, 0x00336699u);

    // A system colour opens as its value today.
    const auto system = withUser(IDOK, [] { return platform::win32::chooseColour("Select a Color", 0x80000005); });
    ASSERT_TRUE(system.has_value());
    EXPECT_EQ(*system, static_cast<draw::OleColour>(GetSysColor(COLOR_WINDOW)));

    EXPECT_EQ(withUser(IDCANCEL, [] { return platform::win32::chooseColour("Select a Color", 0x00336699); }),
              std::nullopt);
}

TEST(CommonDialogs, TheFontDialogAnswersAChoiceOnOkAndNothingOnCancel)
{
    forms::FontChoice current;
    current.FontName = "Tahoma";
    current.FontSize = 10;
    current.Color = 0x000000FF;
    // Wine's dialog does not preselect the font it is given (it offers the first of its list), so
    // only the shape of the answer is checked here.
    const auto chosen = withUser(IDOK, [&] { return platform::win32::chooseFont(0x103, current); });
    EXPECT_EQ(answer.title, L"Font");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_FALSE(chosen->FontName.empty());
    EXPECT_GT(chosen->FontSize, 0);
    EXPECT_EQ(chosen->Color, 0x000000FFu);  // the effects section opened with the colour
    EXPECT_EQ(withUser(IDCANCEL, [&] { return platform::win32::chooseFont(0x103, current); }), std::nullopt);
}

} // namespace
