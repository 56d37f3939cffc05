' A script host sets GlintButton's pictures by name, as VBScript does with Set: MouseIcon and the
' five skins take Nothing and read back as Nothing, and an object that is no picture is refused
' with the picture left as it was. (Wine's VBScript has no LoadPicture, so no script can make a
' picture here; the C++ tests give the control real pictures.)
Option Explicit
Dim failures, b, font
failures = 0

Sub Check(what, ok)
    If Not ok Then
        WScript.Echo "FAIL " & what
        failures = failures + 1
    End If
End Sub

' Wine's cscript ends with 0 after an uncaught error: every step is checked here instead.
On Error Resume Next
Set b = CreateObject("btGlintButton.GlintButton")
If Err.Number <> 0 Then
    WScript.Echo "FAIL: no GlintButton (" & Err.Number & ")"
    WScript.Quit 2
End If
Err.Clear
Set b.MouseIcon = Nothing
Check "MouseIcon = Nothing raises nothing", Err.Number = 0
Check "MouseIcon reads as Nothing", b.MouseIcon Is Nothing
Check "MouseIcon read raises nothing", Err.Number = 0
Err.Clear
Set b.SkinDisabled = Nothing
Check "SkinDisabled = Nothing raises nothing", Err.Number = 0
Check "SkinDisabled reads as Nothing", b.SkinDisabled Is Nothing
Check "SkinDisabled read raises nothing", Err.Number = 0
Err.Clear
Set b.SkinDown = Nothing
Check "SkinDown = Nothing raises nothing", Err.Number = 0
Check "SkinDown reads as Nothing", b.SkinDown Is Nothing
Check "SkinDown read raises nothing", Err.Number = 0
Err.Clear
Set b.SkinFocus = Nothing
Check "SkinFocus = Nothing raises nothing", Err.Number = 0
Check "SkinFocus reads as Nothing", b.SkinFocus Is Nothing
Check "SkinFocus read raises nothing", Err.Number = 0
Err.Clear
Set b.SkinOver = Nothing
Check "SkinOver = Nothing raises nothing", Err.Number = 0
Check "SkinOver reads as Nothing", b.SkinOver Is Nothing
Check "SkinOver read raises nothing", Err.Number = 0
Err.Clear
Set b.SkinUp = Nothing
Check "SkinUp = Nothing raises nothing", Err.Number = 0
Check "SkinUp reads as Nothing", b.SkinUp Is Nothing
Check "SkinUp read raises nothing", Err.Number = 0
Set font = b.Font
Err.Clear
Set b.SkinUp = font
Check "a font for SkinUp raises an error", Err.Number <> 0
Err.Clear
Check "SkinUp still Nothing", b.SkinUp Is Nothing
Check "Appearance still 3D", b.Appearance = 2
If failures > 0 Then
    WScript.Echo failures & " failed"
    WScript.Quit 1
End If
WScript.Echo "GlintButton: every picture set by name"
WScript.Quit 0
