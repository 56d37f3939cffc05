// Outlook (the stand-in) starts where Quellin is installed: it loads the installed add-in, which
// starts QLN.exe from the installation; QLN.exe attaches and reads a new mail to show it; Outlook's
// Options dialog shows the "Quellin" page; Outlook quits. Run by installer.sh with cscript.
// Wine's cscript ends with 0 after an uncaught error: every error is caught and fails the run. It
// also does not survive WScript.Sleep once QLN.exe shows its popup: the waits after the mail poll.
function fail(why) {
    WScript.Echo("FAIL " + why);
    WScript.Quit(1);
}
function waitFor(what, test, ms) {
    var end = new Date().getTime() + ms;
    while (new Date().getTime() < end)
        if (test())
            return;
    fail(what + " within " + ms + " ms");
}
var step = "Outlook starts";
try {
    var outlook = new ActiveXObject("OutlookStandin.Control");
    outlook.IdleLimit(0);
    step = "the add-in's state";
    var addin = outlook.AddIn("QuellinAddin.Connect");
    if (addin != "connected")
        fail("Outlook's add-in is " + (addin || "not listed"));
    // The add-in listens to the application's events; QLN.exe, which it started at Outlook's
    // Startup, attaches to the Inbox's items and the application: two more.
    step = "QLN.exe attaching";
    var addinSinks = 1;
    waitFor("QLN.exe attached", function () { return outlook.Sinks >= addinSinks + 2; }, 20000);
    step = "a new mail";
    outlook.ResetCalls();
    outlook.AddMail("Inbox", "from", "ann@example.com", "subject", "Agenda");
    waitFor("the new mail read by QLN.exe", function () { return outlook.Calls("MailItem.Subject") >= 1; }, 10000);
    step = "the Options dialog";
    var pages = outlook.OpenOptions();
    if (pages != 1)
        fail(pages + " page(s) in the Options dialog, not 1");
    if (outlook.PageTitle(0) != "Quellin")
        fail("the page is titled \"" + outlook.PageTitle(0) + "\"");
    outlook.CloseOptions();
    step = "Outlook quits";
    outlook.Quit();
    WScript.Echo("Outlook loaded the add-in, which started QLN.exe; QLN.exe read the new mail; the Options " +
                 "dialog showed the Quellin page");
    WScript.Quit(0);
} catch (e) {
    fail(step + ": " + (e.message || "an error") + " (0x" + (e.number >>> 0).toString(16) + ")");
}
