// A script host creates GlintButton by its ProgID (no site, no window) and sets every property by
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
    b = new ActiveXObject("btGlintButton.GlintButton");
    var values = {
        Appearance: 0, AutoMask: false, AutoSize: false, BackColor: 0x336699, BackStyle: 1, BorderColor: 0xFF0000,
        Caption: "&Script", CaptionAlignHorz: 2, CaptionAlignVert: 2, CaptionOffsetX: 4, CaptionOffsetY: -3,
        Enabled: false, FontBold: true, FontItalic: true, FontName: "Arial", FontSize: 12, FontStrikethru: true,
        FontUnderline: true, ForeColor: 0x0000FF, HighlightColor: 0x00FF00, MaskColor: 0xFF00FF, MousePointer: 2,
        RightToLeft: true, ShowFocus: false, SkinDisabledPath: "C:\\no\\d.bmp", SkinDownPath: "C:\\no\\w.bmp",
        SkinFocusPath: "C:\\no\\f.bmp", SkinOverPath: "C:\\no\\o.bmp", SkinUpPath: "C:\\no\\u.bmp", Style: 1, Value: 0,
        WhatsThisHelpID: 99
    };
    for (var name in values) {
        b[name] = values[name];
        check(name, b[name], values[name]);
    }
    b.Font = b.Font;
    check("Font.Bold", b.Font.Bold, true);
    b.Refresh();
    check("hWnd without a site", b.hWnd, 0);
    var names = ["Appearance", "BackStyle", "CaptionAlignHorz", "CaptionAlignVert", "Style", "Value"];
    for (var i = 0; i < names.length; i++)
        refused(names[i], 9);
    check("Appearance kept", b.Appearance, 0);
    WScript.Echo(failures ? failures + " failed" : "GlintButton: every property set by name");
    WScript.Quit(failures ? 1 : 0);
} catch (e) {
    WScript.Echo("FAIL: " + e.description + " (" + (e.number & 0xFFFF) + ")");
    WScript.Quit(2);
}
