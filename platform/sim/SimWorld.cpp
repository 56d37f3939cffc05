#include "platform/sim/SimWorld.h"

namespace platform::sim {

SimWorld::SimWorld()
{
    auto& hooks = outlook.observers();
    hooks.displayed = [this](const std::string& entryID, const std::string& title) { openItemWindow(entryID, title); };
    hooks.newMailIcon = [this] { showNewMailIcon(); };
}

void SimWorld::outlookStart()
{
    outlook.start();
    if (outlookMainWindow() != NoWindow)
        return;
    // Outlook's hidden helper window exists before its main window appears.
    outlookTray_ = desktop.addWindow(WorldWindow{OutlookTrayName, OutlookWindowClass, "", false, NoWindow});
    outlookMain_ =
        desktop.addWindow(WorldWindow{OutlookMainName, OutlookWindowClass, OutlookMainTitle, true, NoWindow});
    desktop.setForeground(outlookMain_);
}

void SimWorld::outlookQuit()
{
    outlook.quit();
    // Item windows go first, as Outlook closes its inspectors before its explorer.
    for (WindowHandle window : desktop.zOrder())
        if (desktop.nameOf(window).starts_with("item:"))
            desktop.closeWindow(window);
    for (WindowHandle* window : {&outlookMain_, &outlookTray_}) {
        if (desktop.exists(*window))
            desktop.closeWindow(*window);
        *window = NoWindow;
    }
}

WindowHandle SimWorld::outlookMainWindow() const { return desktop.exists(outlookMain_) ? outlookMain_ : NoWindow; }

WindowHandle SimWorld::outlookTrayWindow() const { return desktop.exists(outlookTray_) ? outlookTray_ : NoWindow; }

void SimWorld::openItemWindow(const std::string& entryID, const std::string& title)
{
    // Outlook keeps one inspector per item and window kind: displaying again brings it up.
    const std::string base = "item:" + entryID;
    std::string name = base;
    for (int n = 2;; ++n) {
        WindowHandle existing = desktop.window(name);
        if (existing == NoWindow)
            break;
        if (desktop.title(existing) == title) {
            ShowState state = desktop.showState(existing);
            if (state == ShowState::Hidden || state == ShowState::Minimized)
                desktop.show(existing, sw::ShowNoActivate);
            desktop.raise(existing);
            return;
        }
        name = base + "#" + std::to_string(n);
    }
    desktop.addWindow(WorldWindow{name, OutlookWindowClass, title, true, NoWindow});
}

void SimWorld::showNewMailIcon()
{
    if (WindowHandle owner = outlookTrayWindow(); owner != NoWindow)
        desktop.addTrayIcon(owner, 0);
}

} // namespace platform::sim
