#include "platform/fonts/FreeTypeFontEngine.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H

#include "platform/Failure.h"
#include "platform/Lang.h"

namespace fonts {

namespace {

// Windows-1252 from 0x80 to 0x9F; the other bytes are their own code points. The five bytes the
// code page leaves undefined map to themselves, as Windows' own conversion does.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t codePoint(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte; }

// Face names are ANSI text too; fontconfig wants UTF-8.
std::string toUtf8(std::string_view ansi)
{
    std::string utf8;
    utf8.reserve(ansi.size());
    for (char c : ansi) {
        const char32_t cp = codePoint(static_cast<unsigned char>(c));
        if (cp < 0x80) {
            utf8 += static_cast<char>(cp);
        } else if (cp < 0x800) {
            utf8 += static_cast<char>(0xC0 | (cp >> 6));
            utf8 += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (cp >> 12));
            utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return utf8;
}

// Past this the masks of even short texts run into megabytes; GDI refuses such sizes as well.
constexpr int kMaxEmPixels = 2048;

// GDI makes a font of a point size with an em of MulDiv(size, dpi, 72) whole pixels.
int emPixels(double points, int dpi)
{
    const double exact = points * dpi / 72.0;
    if (!(exact >= 1.0))
        return 1;
    return static_cast<int>(std::min(std::floor(exact + 0.5), static_cast<double>(kMaxEmPixels)));
}

int ceilScaled(long fontUnits, int ppem, int unitsPerEm)
{
    if (fontUnits <= 0 || unitsPerEm <= 0)
        return 0;
    const std::int64_t scaled = static_cast<std::int64_t>(fontUnits) * ppem;
    return static_cast<int>((scaled + unitsPerEm - 1) / unitsPerEm);
}

int roundScaled(long fontUnits, int ppem, int unitsPerEm)
{
    if (unitsPerEm <= 0)
        return 0;
    return static_cast<int>(std::lround(static_cast<double>(fontUnits) * ppem / unitsPerEm));
}

struct Glyph {
    bool loaded = false;
    int advance = 0;  // whole pixels
    int left = 0;     // bitmap's left edge from the pen position
    int top = 0;      // bitmap's top row above the baseline
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;
};

struct MatchedFace {
    std::string file;
    int index = 0;
    bool embolden = false;
    bool oblique = false;
};

// One face at one em size, with its glyphs as far as they were asked for.
struct SizedFace {
    FT_Face face = nullptr;
    bool embolden = false;
    bool oblique = false;
    platform::FontMetrics metrics;
    int underlineTop = 0;
    int underlineRows = 1;
    std::array<Glyph, 256> glyphs;

    SizedFace() = default;
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;
    ~SizedFace()
    {
        if (face)
            FT_Done_Face(face);
    }
};

using MatchKey = std::tuple<std::string, bool, bool>;        // lower-case face, bold, italic
using SizeKey = std::tuple<std::string, bool, bool, int>;    // ... and em pixels

// Enough for every face and size the options page can cycle through in a session; beyond it the
// cache starts over rather than grow without bound.
constexpr std::size_t kMaxSizedFaces = 32;

} // namespace

struct FreeTypeFontEngine::State {
    FT_Library library = nullptr;
    std::map<MatchKey, MatchedFace> matches;
    std::map<SizeKey, std::unique_ptr<SizedFace>> sized;
    // Labels measure and draw in runs with one font: the last lookup answers most of them.
    platform::FontSpec lastFont;
    int lastDpi = 0;
    SizedFace* last = nullptr;

    ~State()
    {
        sized.clear();  // the faces go before their library
        if (library)
            FT_Done_FreeType(library);
    }

    const MatchedFace& match(const platform::FontSpec& font);
    SizedFace& sizedFace(const platform::FontSpec& font, int dpi);
    std::unique_ptr<SizedFace> load(const MatchedFace& matched, int ppem);
    const Glyph& glyph(SizedFace& sized, unsigned char byte);
    int width(SizedFace& sized, std::string_view text);
};

const MatchedFace& FreeTypeFontEngine::State::match(const platform::FontSpec& font)
{
    MatchKey key{lang::lowerAscii(font.face), font.bold, font.italic};
    if (auto found = matches.find(key); found != matches.end())
        return found->second;

    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        throw platform::Failure("fontconfig: out of memory");
    const std::string family = toUtf8(font.face);
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, font.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    // The configuration's aliases turn "MS Sans Serif" and friends into an installed family.
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* best = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!best)
        throw platform::Failure("fontconfig: no font for \"" + family + "\"");

    MatchedFace matched;
    FcChar8* file = nullptr;
    if (FcPatternGetString(best, FC_FILE, 0, &file) != FcResultMatch || !file) {
        FcPatternDestroy(best);
        throw platform::Failure("fontconfig: no file for \"" + family + "\"");
    }
    matched.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(best, FC_INDEX, 0, &matched.index);
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcBool embolden = FcFalse;
    FcPatternGetInteger(best, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(best, FC_SLANT, 0, &slant);
    FcPatternGetBool(best, FC_EMBOLDEN, 0, &embolden);
    FcPatternDestroy(best);
    matched.embolden = font.bold && (embolden == FcTrue || weight < FC_WEIGHT_DEMIBOLD);
    matched.oblique = font.italic && slant == FC_SLANT_ROMAN;
    return matches.emplace(std::move(key), std::move(matched)).first->second;
}

std::unique_ptr<SizedFace> FreeTypeFontEngine::State::load(const MatchedFace& matched, int ppem)
{
    auto sizedFace = std::make_unique<SizedFace>();
    if (FT_New_Face(library, matched.file.c_str(), matched.index, &sizedFace->face) != 0)
        throw platform::Failure("FreeType: cannot open " + matched.file);
    FT_Face face = sizedFace->face;
    sizedFace->embolden = matched.embolden;
    sizedFace->oblique = matched.oblique;

    int ascent = 0;
    int descent = 0;
    if (FT_IS_SCALABLE(face)) {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0)
            throw platform::Failure("FreeType: cannot size " + matched.file);
        ascent = ceilScaled(face->ascender, ppem, face->units_per_EM);
        descent = ceilScaled(-static_cast<long>(face->descender), ppem, face->units_per_EM);
    } else if (face->num_fixed_sizes > 0) {
        // A bitmap face: the strike nearest the em asked for.
        int nearest = 0;
        for (int i = 1; i < face->num_fixed_sizes; ++i)
            if (std::abs(face->available_sizes[i].y_ppem / 64 - ppem) <
                std::abs(face->available_sizes[nearest].y_ppem / 64 - ppem))
                nearest = i;
        if (FT_Select_Size(face, nearest) != 0)
            throw platform::Failure("FreeType: cannot size " + matched.file);
        ascent = static_cast<int>((face->size->metrics.ascender + 63) / 64);
        descent = static_cast<int>((-face->size->metrics.descender + 63) / 64);
    } else {
        throw platform::Failure("FreeType: no sizes in " + matched.file);
    }
    if (ascent + descent <= 0) {
        // A face without vertical metrics still needs a line.
        ascent = ppem;
        descent = (ppem + 4) / 5;
    }
    sizedFace->metrics = {ascent + std::max(descent, 0), ascent, std::max(descent, 0)};

    // The underline's stem is centred on underline_position, below the baseline; it stays inside
    // the line so that the mask can hold it.
    const int height = sizedFace->metrics.height;
    int rows = 1;
    int centre = 1;
    if (FT_IS_SCALABLE(face)) {
        rows = std::max(1, roundScaled(face->underline_thickness, ppem, face->units_per_EM));
        centre = std::max(1, roundScaled(-static_cast<long>(face->underline_position), ppem, face->units_per_EM));
    }
    rows = std::min(rows, height);
    sizedFace->underlineRows = rows;
    sizedFace->underlineTop = std::clamp(ascent + centre - rows / 2, 0, height - rows);
    return sizedFace;
}

SizedFace& FreeTypeFontEngine::State::sizedFace(const platform::FontSpec& font, int dpi)
{
    if (last && dpi == lastDpi && font == lastFont)
        return *last;
    const MatchedFace& matched = match(font);
    const int ppem = emPixels(font.sizePoints, dpi);
    SizeKey key{lang::lowerAscii(font.face), font.bold, font.italic, ppem};
    auto found = sized.find(key);
    if (found == sized.end()) {
        auto loaded = load(matched, ppem);
        if (sized.size() >= kMaxSizedFaces) {
            sized.clear();
            last = nullptr;
        }
        found = sized.emplace(std::move(key), std::move(loaded)).first;
    }
    last = found->second.get();
    lastFont = font;
    lastDpi = dpi;
    return *last;
}

const Glyph& FreeTypeFontEngine::State::glyph(SizedFace& sized, unsigned char byte)
{
    Glyph& g = sized.glyphs[byte];
    if (g.loaded)
        return g;
    g.loaded = true;  // a glyph that fails to load stays empty and takes no room
    FT_Face face = sized.face;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint(byte));
    const FT_Int32 flags = FT_IS_SCALABLE(face) ? FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP : FT_LOAD_DEFAULT;
    if (FT_Load_Glyph(face, index, flags) != 0)
        return g;
    FT_GlyphSlot slot = face->glyph;
    g.advance = static_cast<int>((slot->advance.x + 32) / 64);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (sized.embolden) {
            // GDI's simulated bold: strokes and advance one pixel wider.
            FT_Outline_EmboldenXY(&slot->outline, 64, 0);
            g.advance += 1;
        }
        if (sized.oblique)
            FT_GlyphSlot_Oblique(slot);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return g;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
        return g;  // colour glyphs have no coverage to give
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bitmap.width);
    g.rows = static_cast<int>(bitmap.rows);
    g.coverage.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.rows));
    const int pitch = std::abs(bitmap.pitch);
    for (int y = 0; y < g.rows; ++y) {
        // A negative pitch stores the rows bottom-up.
        const int sourceRow = bitmap.pitch >= 0 ? y : g.rows - 1 - y;
        const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(sourceRow) * pitch;
        std::uint8_t* target = g.coverage.data() + static_cast<std::ptrdiff_t>(y) * g.width;
        for (int x = 0; x < g.width; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                const unsigned levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1u : 255u;
                target[x] = static_cast<std::uint8_t>(source[x] * 255u / levels);
            } else {
                target[x] = (source[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
            }
        }
    }
    return g;
}

int FreeTypeFontEngine::State::width(SizedFace& sized, std::string_view text)
{
    std::int64_t width = 0;
    for (char c : text)
        width += glyph(sized, static_cast<unsigned char>(c)).advance;
    return static_cast<int>(std::clamp<std::int64_t>(width, 0, INT_MAX));
}

FreeTypeFontEngine::FreeTypeFontEngine() : state_(std::make_unique<State>())
{
    if (FT_Init_FreeType(&state_->library) != 0) {
        state_->library = nullptr;
        throw platform::Failure("FreeType: cannot start");
    }
    if (FcInit() != FcTrue)
        throw platform::Failure("fontconfig: cannot start");
}

FreeTypeFontEngine::~FreeTypeFontEngine() = default;

platform::FontMetrics FreeTypeFontEngine::metrics(const platform::FontSpec& font, int dpi)
{
    return state_->sizedFace(font, dpi).metrics;
}

int FreeTypeFontEngine::textWidth(const platform::FontSpec& font, int dpi, std::string_view text)
{
    return state_->width(state_->sizedFace(font, dpi), text);
}

platform::CoverageMask FreeTypeFontEngine::render(const platform::FontSpec& font, int dpi, std::string_view text)
{
    SizedFace& sized = state_->sizedFace(font, dpi);
    platform::CoverageMask mask;
    mask.width = state_->width(sized, text);
    mask.height = sized.metrics.height;
    mask.ascent = sized.metrics.ascent;
    mask.coverage.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height), 0);

    int pen = 0;
    for (char c : text) {
        const Glyph& g = state_->glyph(sized, static_cast<unsigned char>(c));
        const int left = pen + g.left;
        const int top = mask.ascent - g.top;
        // Ink beyond the line's box (an overhanging italic, a tall accent) is cut off, as the
        // clipping rectangle of a label cuts it.
        const int x0 = std::max(0, -left);
        const int x1 = std::min(g.width, mask.width - left);
        const int y0 = std::max(0, -top);
        const int y1 = std::min(g.rows, mask.height - top);
        for (int y = y0; y < y1; ++y) {
            const std::size_t sourceRow = static_cast<std::size_t>(y) * static_cast<std::size_t>(g.width);
            const std::size_t targetRow = static_cast<std::size_t>(top + y) * static_cast<std::size_t>(mask.width);
            for (int x = x0; x < x1; ++x) {
                // Neighbours' antialiased edges overlap: their coverage unites, it does not add.
                std::uint8_t& target = mask.coverage[targetRow + static_cast<std::size_t>(left + x)];
                const unsigned a = target;
                const unsigned b = g.coverage[sourceRow + static_cast<std::size_t>(x)];
                target = static_cast<std::uint8_t>(a + b - a * b / 255);
            }
        }
        pen += g.advance;
    }
    if (font.underline && mask.width > 0) {
        for (int y = sized.underlineTop; y < sized.underlineTop + sized.underlineRows; ++y)
            std::fill_n(mask.coverage.begin() + static_cast<std::ptrdiff_t>(y) * mask.width, mask.width, 255);
    }
    return mask;
}

std::string FreeTypeFontEngine::matchedFile(const platform::FontSpec& font) { return state_->match(font).file; }

} // namespace fonts
