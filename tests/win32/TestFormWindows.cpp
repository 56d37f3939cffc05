// Forms on real windows: what the screen shows is the form's own rendering, and a change repaints.

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/CheckBox.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/Label.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/Slider.h"
#include "platform/forms/TabStrip.h"
#include "platform/forms/TextBox.h"
#include "platform/forms/UserControl.h"
#include "platform/win32/FormWindows.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Loop.h"

namespace {

class NoticeForm : public forms::Form {
public:
    explicit NoticeForm(forms::FormsHost& host) : Form(host, "frmNotice")
    {
        forms::Label& label = add<forms::Label>("lblText");
        label.move(150, 150, 2400, 300);
        label.setCaption("New mail from Zoe");
        move(150 * 15, 120 * 15, 240 * 15, 100 * 15);  // twips at 96 dpi
        setBackColor(0x00E1FFFF);                       // a pale yellow, 0x00BBGGRR
    }
};

// The screen's pixels under the rectangle, each 0x00RRGGBB, row by row from the top.
std::vector<std::uint32_t> screenPixels(const platform::WindowRect& r)
{
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = r.width;
    info.bmiHeader.biHeight = -r.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.width, r.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + r.width * r.height);
    for (auto& p : pixels)
        p &= 0x00FFFFFFu;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Forms on the real desktop, with the thread's message loop.
class FormWindows : public ::testing::Test {
protected:
    platform::win32::Win32Loop loop;
    platform::win32::Win32Desktop desktop;
    forms::FormsHost host{desktop, loop};
    platform::win32::FormWindows windows{host, desktop};
};

TEST_F(FormWindows, TheScreenShowsTheFormsRenderingAndFollowsItsChanges)
{
    NoticeForm form(host);
    form.Show();
    EXPECT_EQ(windows.formOf(form.hWnd()), &form);
    loop.runFor(300);

    const platform::WindowRect bounds = desktop.getWindowRect(form.hWnd());
    ASSERT_EQ(bounds, (platform::WindowRect{150, 120, 240, 100}));
    draw::Surface expected = form.render();
    EXPECT_EQ(screenPixels(bounds), expected.bits());

    form.setBackColor(0x00FFE1E1);  // pale blue: the window repaints by itself
    loop.runFor(300);
    expected = form.render();
    EXPECT_EQ(screenPixels(bounds), expected.bits());
    EXPECT_EQ(expected.pixel(1, 1)->packed(), 0x00E1E1FFu);

    form.Unload();
    EXPECT_EQ(windows.formOf(form.hWnd()), nullptr);
}

// A user control that writes down the mouse as it gets it.
class MouseLog : public forms::UserControl {
public:
    using UserControl::UserControl;
    std::vector<std::string> events;

protected:
    void onMouseDown(int button, int shift, int x, int y) override { log("down", button, shift, x, y); }
    void onMouseMove(int button, int shift, int x, int y) override { log("move", button, shift, x, y); }
    void onMouseUp(int button, int shift, int x, int y) override { log("up", button, shift, x, y); }

private:
    void log(const char* what, int button, int shift, int x, int y)
    {
        events.push_back(std::string(what) + " " + std::to_string(button) + " " + std::to_string(shift) + " " +
                         std::to_string(x) + "," + std::to_string(y));
    }
};

class ClickForm : public forms::Form {
public:
    explicit ClickForm(forms::FormsHost& host)
        : Form(host, "frmClicks"), label(add<forms::Label>("lblLink")), log(add<MouseLog>("ucLog"))
    {
        move(100 * 15, 100 * 15, 300 * 15, 200 * 15);
        label.move(10 * 15, 10 * 15, 100 * 15, 20 * 15);  // pixels 10,10 to 110,30
        label.setCaption("Open");
        label.Click = [this] { ++clicks; };
        log.move(50 * 15, 100 * 15, 80 * 15, 40 * 15);   // pixels 50,100 to 130,140
    }
    forms::Label& label;
    MouseLog& log;
    int clicks = 0;
};

void mouse(platform::WindowHandle window, UINT message, WPARAM keys, int x, int y)
{
    PostMessageW(reinterpret_cast<HWND>(window), message, keys, MAKELPARAM(x, y));
}

// A left press and release at one point of the window.
void press(platform::WindowHandle window, int x, int y)
{
    mouse(window, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    mouse(window, WM_LBUTTONUP, 0, x, y);
}

TEST_F(FormWindows, TheMouseReachesTheControlUnderItAndStaysWithItWhileHeld)
{
    ClickForm form(host);
    form.Show();
    const platform::WindowHandle window = form.hWnd();

    // A click on the label; then a press on it released elsewhere, which is no click.
    mouse(window, WM_LBUTTONDOWN, MK_LBUTTON, 20, 15);
    mouse(window, WM_LBUTTONUP, 0, 21, 16);
    mouse(window, WM_LBUTTONDOWN, MK_LBUTTON, 20, 15);
    mouse(window, WM_LBUTTONUP, 0, 200, 150);
    loop.runFor(100);
    EXPECT_EQ(form.clicks, 1);

    // The user control gets the mouse in its own pixels, and keeps it while the button is held,
    // outside it too; a move over nothing with no button held reaches nobody.
    mouse(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 55, 104);
    mouse(window, WM_MOUSEMOVE, MK_LBUTTON, 160, 90);
    mouse(window, WM_LBUTTONUP, 0, 160, 90);
    mouse(window, WM_MOUSEMOVE, 0, 200, 20);
    mouse(window, WM_MOUSEMOVE, 0, 60, 110);
    loop.runFor(100);
    EXPECT_EQ(form.log.events, (std::vector<std::string>{"down 1 1 5,4", "move 1 0 110,-10", "up 1 0 110,-10",
                                                         "move 0 0 10,10"}));
    EXPECT_EQ(form.clicks, 1);
}

TEST_F(FormWindows, AUserControlKnowsWhereItIsOnTheScreenInsideAnotherWindowToo)
{
    ClickForm form(host);
    form.Show();
    EXPECT_EQ(form.log.screenOrigin(), (draw::Point{150, 200}));  // the form at 100,100

    // The form's window becomes a child of a dialog's window at 300,250, placed 20,30 inside it
    // (as an ActiveX control's is): the control is where Windows shows it, whatever the form's
    // own bounds say.
    platform::WindowSpec spec;
    spec.className = "QuellinTestDialog";
    spec.left = 300;
    spec.top = 250;
    spec.width = 400;
    spec.height = 300;
    spec.visible = true;
    const platform::WindowHandle dialog = desktop.createWindow(spec);
    desktop.setParent(form.hWnd(), dialog);
    form.move(20 * 15, 30 * 15, 300 * 15, 200 * 15);
    loop.runFor(50);
    RECT shown{};
    GetWindowRect(reinterpret_cast<HWND>(form.hWnd()), &shown);
    EXPECT_EQ(form.log.screenOrigin(), (draw::Point{static_cast<int>(shown.left) + 50, static_cast<int>(shown.top) + 100}));
    EXPECT_EQ(shown.left, 320);
    form.Unload();
    desktop.destroyWindow(dialog);
}

class TwoBoxes : public forms::Form {
public:
    explicit TwoBoxes(forms::FormsHost& host)
        : Form(host, "frmBoxes"), first(add<forms::TextBox>("txtFirst")), second(add<forms::TextBox>("txtSecond"))
    {
        move(100 * 15, 100 * 15, 300 * 15, 200 * 15);
        first.move(10 * 15, 10 * 15, 150 * 15, 25 * 15);   // pixels 10,10 to 160,35
        second.move(10 * 15, 50 * 15, 150 * 15, 25 * 15);  // pixels 10,50 to 160,75
        first.LostFocus = [this] { log += "first lost "; };
        second.GotFocus = [this] { log += "second got "; };
        second.Validate = [this](bool& cancel) { cancel = second.Text().empty(); };
    }
    forms::TextBox& first;
    forms::TextBox& second;
    std::string log;
};

void key(platform::WindowHandle window, WPARAM vk)
{
    PostMessageW(reinterpret_cast<HWND>(window), WM_KEYDOWN, vk, 1);
    PostMessageW(reinterpret_cast<HWND>(window), WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

TEST_F(FormWindows, KeysGoToTheFocusedBoxAndAPressMovesTheFocusUnlessValidateRefuses)
{
    TwoBoxes form(host);
    form.Show();
    const platform::WindowHandle window = form.hWnd();

    key(window, 'X');  // no box has the focus yet: nobody types
    press(window, 20, 20);
    key(window, 'H');
    key(window, 'I');
    loop.runFor(100);
    EXPECT_TRUE(form.first.hasFocus());
    EXPECT_EQ(form.first.Text(), "hi");

    // Into the second box; it refuses to let go while empty.
    press(window, 20, 60);
    press(window, 20, 20);
    key(window, 'Q');
    loop.runFor(100);
    EXPECT_EQ(form.log, "first lost second got ");
    EXPECT_FALSE(form.first.hasFocus());
    EXPECT_TRUE(form.second.hasFocus());
    EXPECT_EQ(form.second.Text(), "q");
    EXPECT_EQ(form.first.Text(), "hi");

    press(window, 20, 20);  // now it lets go
    loop.runFor(100);
    EXPECT_TRUE(form.first.hasFocus());
    EXPECT_FALSE(form.second.hasFocus());
}

// A dialog worked from the real keyboard: keys typed with SendInput reach the window that has the
// focus, as the user's would.
class KeyForm : public forms::Form {
public:
    explicit KeyForm(forms::FormsHost& host, std::string name, int top)
        : Form(host, std::move(name)), lblName(add<forms::Label>("lblName")), txtName(add<forms::TextBox>("txtName")),
          chkMail(add<forms::CheckBox>("chkMail")), btnGo(add<forms::CommandButton>("btnGo"))
    {
        move(100 * 15, top * 15, 300 * 15, 150 * 15);
        lblName.move(10 * 15, 10 * 15, 60 * 15, 20 * 15);
        lblName.setCaption("&Name:");
        txtName.move(80 * 15, 10 * 15, 150 * 15, 25 * 15);
        txtName.KeyDown = [this](int& code, int) { keyDowns += std::to_string(code) + " "; };
        chkMail.move(10 * 15, 50 * 15, 150 * 15, 20 * 15);
        chkMail.setCaption("&Mail");
        btnGo.move(10 * 15, 90 * 15, 80 * 15, 25 * 15);
        btnGo.setCaption("&Go");
        btnGo.Click = [this] { ++goClicks; };
    }
    // Shown as the popup shows itself: without taking the focus.
    void appearInactive()
    {
        Load();
        host().desktop().showWindow(hWnd(), platform::sw::ShowNoActivate);
        setVisibleState(true);
    }
    std::string focus() const { return ActiveControl() ? ActiveControl()->Name() : "(none)"; }

    forms::Label& lblName;
    forms::TextBox& txtName;
    forms::CheckBox& chkMail;
    forms::CommandButton& btnGo;
    std::string keyDowns;
    int goClicks = 0;
};

// Presses and releases `vk` with the modifiers held (VK_SHIFT, VK_MENU, ...), as the keyboard does.
void type(std::initializer_list<WORD> held, WORD vk)
{
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD code, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD modifier : held)
        add(modifier, false);
    add(vk, false);
    add(vk, true);
    for (WORD modifier : held)
        add(modifier, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST_F(FormWindows, TabAccessKeysAndSpaceFromTheKeyboardWhileAnInactiveFormGetsNone)
{
    KeyForm dialog(host, "frmDialog", 100);
    dialog.Show();
    SetForegroundWindow(reinterpret_cast<HWND>(dialog.hWnd()));
    loop.runFor(200);
    ASSERT_EQ(GetForegroundWindow(), reinterpret_cast<HWND>(dialog.hWnd()));

    // A second form appears the popup's way: the keyboard stays with the dialog.
    KeyForm popup(host, "frmPopup", 300);
    popup.appearInactive();
    loop.runFor(200);
    EXPECT_EQ(GetForegroundWindow(), reinterpret_cast<HWND>(dialog.hWnd()));

    type({}, VK_TAB);
    type({}, 'H');
    type({}, 'M');  // a letter in a text box types; it is no access key there
    loop.runFor(200);
    EXPECT_EQ(dialog.focus(), "txtName");
    EXPECT_EQ(dialog.txtName.Text(), "hm");
    EXPECT_EQ(dialog.keyDowns, "72 77 ");  // Tab reached no KeyDown

    type({}, VK_TAB);
    type({}, VK_SPACE);
    loop.runFor(200);
    EXPECT_EQ(dialog.focus(), "chkMail");
    EXPECT_EQ(dialog.chkMail.Value(), forms::CheckBox::vbChecked);

    type({VK_SHIFT}, VK_TAB);
    loop.runFor(200);
    EXPECT_EQ(dialog.focus(), "txtName");

    type({VK_MENU}, 'G');
    loop.runFor(200);
    EXPECT_EQ(dialog.goClicks, 1);
    EXPECT_EQ(dialog.focus(), "btnGo");
    type({}, 'M');  // alone, now that a button has the focus
    loop.runFor(200);
    EXPECT_EQ(dialog.focus(), "chkMail");
    EXPECT_EQ(dialog.chkMail.Value(), forms::CheckBox::vbUnchecked);
    type({VK_MENU}, 'N');  // the label's key: the box after it
    loop.runFor(200);
    EXPECT_EQ(dialog.focus(), "txtName");
    EXPECT_EQ(dialog.txtName.Text(), "hm");

    EXPECT_EQ(popup.focus(), "(none)");
    EXPECT_EQ(popup.goClicks, 0);
    EXPECT_EQ(popup.chkMail.Value(), forms::CheckBox::vbUnchecked);
    EXPECT_EQ(GetForegroundWindow(), reinterpret_cast<HWND>(dialog.hWnd()));
}


class TabsForm : public forms::Form {
public:
    explicit TabsForm(forms::FormsHost& host) : Form(host, "frmTabs"), strip(add<forms::TabStrip>("tabPages"))
    {
        move(100 * 15, 100 * 15, 300 * 15, 200 * 15);
        strip.move(10 * 15, 10 * 15, 280 * 15, 150 * 15);
        strip.setCaption("About|Actions|Display");
        strip.Switch = [this](int from, int to, bool&) { log += std::to_string(from) + ">" + std::to_string(to) + " "; };
    }
    forms::TabStrip& strip;
    std::string log;
};

TEST_F(FormWindows, APressOnATabTurnsTheStripToIt)
{
    TabsForm form(host);
    form.Show();
    const platform::WindowHandle window = form.hWnd();
    const draw::Rect strip = form.strip.clientBounds();
    const auto pressOn = [&](int tab) {
        const draw::Rect box = form.strip.tabBounds(tab);
        const int x = strip.left + (box.left + box.right) / 2, y = strip.top + (box.top + box.bottom) / 2;
        press(window, x, y);
    };
    pressOn(2);
    loop.runFor(100);
    EXPECT_EQ(form.strip.CurrentTab(), 2);
    pressOn(1);
    pressOn(1);  // the current tab again: nothing
    // A press on the body below the tabs turns nothing.
    press(window, strip.left + 100, strip.top + 100);
    loop.runFor(100);
    EXPECT_EQ(form.strip.CurrentTab(), 1);
    EXPECT_EQ(form.log, "0>2 2>1 ");
}

class PickForm : public forms::Form {
public:
    explicit PickForm(forms::FormsHost& host)
        : Form(host, "frmPick"), slider(add<forms::Slider>("sliLevel")), list(add<forms::ListBox>("lstRows"))
    {
        move(100 * 15, 100 * 15, 300 * 15, 200 * 15);
        slider.move(10 * 15, 10 * 15, 168 * 15, 28 * 15);
        slider.setMax(50);
        slider.Change = [this] { log += "v" + std::to_string(slider.Value()) + " "; };
        list.move(10 * 15, 60 * 15, 100 * 15, 69 * 15);
        for (const char* row : {"a", "b", "c"})
            list.AddItem(row);
        list.Click = [this] { log += "r" + std::to_string(list.ListIndex()) + " "; };
    }
    forms::Slider& slider;
    forms::ListBox& list;
    std::string log;
};

TEST_F(FormWindows, ThePressPutsTheSliderThumbUnderThePointerAndSelectsTheListRowUnderIt)
{
    PickForm form(host);
    form.Show();
    const platform::WindowHandle window = form.hWnd();
    const draw::Rect sliderBox = form.slider.clientBounds();
    const draw::Point at30 = form.slider.pointOf(30, sliderBox);
    const draw::Point at40 = form.slider.pointOf(40, sliderBox);
    mouse(window, WM_LBUTTONDOWN, MK_LBUTTON, at30.x, at30.y);
    // Held, the thumb follows the pointer; let go, it stays.
    mouse(window, WM_MOUSEMOVE, MK_LBUTTON, at40.x, at40.y + 30);
    mouse(window, WM_LBUTTONUP, 0, at40.x, at40.y);
    mouse(window, WM_MOUSEMOVE, 0, at30.x, at30.y);
    // The right button does not move it.
    mouse(window, WM_RBUTTONDOWN, MK_RBUTTON, at30.x, at30.y);
    mouse(window, WM_RBUTTONUP, 0, at30.x, at30.y);

    const draw::Rect listBox = form.list.clientBounds();
    const auto pressRow = [&](int y) {
        press(window, listBox.left + 20, y);
    };
    pressRow(form.list.rowBounds(2, listBox)->top + 3);
    pressRow(form.list.rowBounds(4, listBox)->top + 3);  // below the last row: nothing
    pressRow(form.list.rowBounds(0, listBox)->top + 3);
    loop.runFor(200);
    EXPECT_EQ(form.slider.Value(), 40);
    EXPECT_EQ(form.list.ListIndex(), 0);
    EXPECT_EQ(form.log, "v30 v40 r2 r0 ");
}

} // namespace
