// A script host creates FlairButton by its ProgID (no site, no window) and sets every property by
// name; each reads back as set, and an invalid enumerated value raises error 380.
var failures = 0;
function check(what, got, wanted) {
    if (got !== wanted) {
        WScript.Echo("FAIL " + what + ": got " + got + ", wanted " + wanted);
        failures++;
    }
}
function refused(name, value) {
    try {
        b[name] = value;
        check(name + " = " + value + " raises", "nothing", "error 380");
    } catch (e) {
        check(name + " = " + value + " raises", e.number & 0xFFFF, 380);
    }
}

// Wine's cscript ends with 0 after an uncaught error: every error is caught and fails the run.
var b;
try {
    b = new ActiveXObject("DorveltFlairButton.FlairButton");
    var values = {
        Caption: "&Browse", CaptionDetail: "Ctrl+B", Style: 1, Image: 9, ImageOver: 10, ImageDisabled: 9,
        Checked: true, BackColor: 0xC0FFEE, ForeColor: 0x000080, Hyperlink: "http://example.com/", State: 2,
        Locked: true
    };
    for (var name in values) {
        b[name] = values[name];
        check(name, b[name], values[name]);
    }
    b.Font = b.Font;
    // The image lists: the built-in one, as an object of the image-list component's shape, given
    // back to each of the three.
    var list = b.ImageList;
    check("ImageList.Tag", list.Tag, "dorveltimagelist");
    check("ImageList.ListImages.Count", list.ListImages.Count, 48);
    check("ImageList.ListImages(1).Picture.Width > 0", list.ListImages(1).Picture.Width > 0, true);
    b.ImageListOver = list;
    b.ImageListDisabled = list;
    b.ImageList = list;
    check("ImageListOver.Tag", b.ImageListOver.Tag, "dorveltimagelist");
    check("ImageListDisabled.ListImages.Count", b.ImageListDisabled.ListImages.Count, 48);
    b.Refresh();
    check("hWnd without a site", b.hWnd, 0);
    refused("Style", 4);
    refused("State", 6);
    check("Style kept", b.Style, 1);
    check("State kept", b.State, 2);
    WScript.Echo(failures ? failures + " failed" : "FlairButton: every property set by name");
    WScript.Quit(failures ? 1 : 0);
} catch (e) {
    WScript.Echo("FAIL: " + e.description + " (" + (e.number & 0xFFFF) + ")");
    WScript.Quit(2);
}
