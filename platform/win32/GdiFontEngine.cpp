#include "platform/win32/GdiFontEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <windows.h>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32Failure.h"

namespace platform::win32 {

namespace {

using FontKey = std::tuple<std::string, double, bool, bool, bool, int>;

struct Font {
    HFONT handle = nullptr;
    FontMetrics metrics;
};

} // namespace

struct GdiFontEngine::State {
    HDC dc = nullptr;
    std::map<FontKey, Font> fonts;

    // The font selected into the memory device context.
    const Font& select(const FontSpec& spec, int dpi)
    {
        const FontKey key{spec.face, spec.sizePoints, spec.bold, spec.italic, spec.underline, dpi};
        auto it = fonts.find(key);
        if (it == fonts.end()) {
            const double pixels = spec.sizePoints > 0 ? std::round(spec.sizePoints * dpi / 72.0) : 0.0;
            const int height = -static_cast<int>(pixels < 1 ? 1 : pixels);
            const HFONT handle = CreateFontW(height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, spec.italic,
                                             spec.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                             toWide(spec.face).c_str());
            if (!handle)
                throw lastErrorFailure("CreateFontW");
            Font font{handle, {}};
            SelectObject(dc, handle);
            TEXTMETRICW tm{};
            if (!GetTextMetricsW(dc, &tm)) {
                DeleteObject(handle);
                throw lastErrorFailure("GetTextMetricsW");
            }
            font.metrics = FontMetrics{tm.tmHeight, tm.tmAscent, tm.tmDescent};
            it = fonts.emplace(key, font).first;
        }
        SelectObject(dc, it->second.handle);
        return it->second;
    }

    int width(const std::wstring& text)
    {
        if (text.empty())
            return 0;
        SIZE size{};
        if (!GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
            throw lastErrorFailure("GetTextExtentPoint32W");
        return size.cx;
    }
};

GdiFontEngine::GdiFontEngine() : state_(std::make_unique<State>())
{
    state_->dc = CreateCompatibleDC(nullptr);
    if (!state_->dc)
        throw lastErrorFailure("CreateCompatibleDC");
    SetMapMode(state_->dc, MM_TEXT);
}

GdiFontEngine::~GdiFontEngine()
{
    SelectObject(state_->dc, GetStockObject(SYSTEM_FONT));
    for (const auto& [key, font] : state_->fonts)
        DeleteObject(font.handle);
    DeleteDC(state_->dc);
}

FontMetrics GdiFontEngine::metrics(const FontSpec& font, int dpi) { return state_->select(font, dpi).metrics; }

int GdiFontEngine::textWidth(const FontSpec& font, int dpi, std::string_view text)
{
    state_->select(font, dpi);
    return state_->width(toWide(text));
}

CoverageMask GdiFontEngine::render(const FontSpec& font, int dpi, std::string_view text)
{
    const FontMetrics& metrics = state_->select(font, dpi).metrics;
    const std::wstring wide = toWide(text);
    CoverageMask mask;
    mask.width = state_->width(wide);
    mask.height = metrics.height;
    mask.ascent = metrics.ascent;
    mask.coverage.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height), 0);
    if (mask.width == 0 || mask.height == 0)
        return mask;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = mask.width;
    info.bmiHeader.biHeight = -mask.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(state_->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
        throw lastErrorFailure("CreateDIBSection");
    const HGDIOBJ previous = SelectObject(state_->dc, bitmap);
    std::memset(bits, 0, static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height) * 4);
    SetBkMode(state_->dc, TRANSPARENT);
    SetTextColor(state_->dc, RGB(255, 255, 255));
    SetTextAlign(state_->dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    const BOOL drawn = TextOutW(state_->dc, 0, 0, wide.c_str(), static_cast<int>(wide.size()));
    GdiFlush();
    if (drawn) {
        const auto* pixels = static_cast<const std::uint8_t*>(bits);
        for (std::size_t i = 0; i < mask.coverage.size(); ++i) {
            // White text on black: every channel carries the coverage; take the strongest.
            const std::uint8_t b = pixels[4 * i], g = pixels[4 * i + 1], r = pixels[4 * i + 2];
            mask.coverage[i] = std::max({r, g, b});
        }
    }
    SelectObject(state_->dc, previous);
    DeleteObject(bitmap);
    if (!drawn)
        throw lastErrorFailure("TextOutW");
    return mask;
}

} // namespace platform::win32
