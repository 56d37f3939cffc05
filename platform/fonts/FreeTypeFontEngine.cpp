#include "platform/fonts/FreeTypeFontEngine.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include <fribidi.h>
#include <hb-ft.h>
#include <hb.h>

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/Utf8.h"

namespace fonts {

namespace {

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

// 26.6 fixed point to whole pixels, halves away from zero.
int pixels26(long value) { return static_cast<int>(value >= 0 ? (value + 32) / 64 : -((-value + 32) / 64)); }

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
    std::string file;
    bool embolden = false;
    bool oblique = false;
    platform::FontMetrics metrics;
    int underlineTop = 0;
    int underlineRows = 1;
    std::array<Glyph, 128> ascii;                // by code point: the common case, without hashing
    std::unordered_map<FT_UInt, Glyph> indexed;  // every other glyph, by glyph index
    hb_font_t* shaper = nullptr;                 // made at the first text that needs shaping

    SizedFace() = default;
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;
    ~SizedFace()
    {
        if (shaper)
            hb_font_destroy(shaper);
        if (face)
            FT_Done_Face(face);
    }
    bool has(char32_t codePoint) const { return FT_Get_Char_Index(face, codePoint) != 0; }
};

// The faces one font draws with: the matched face first, then the faces fontconfig offered for
// characters it lacks, each at the same em.
struct FontChain {
    platform::FontSpec font;
    int ppem = 0;
    SizedFace* primary = nullptr;
    std::vector<SizedFace*> fallbacks;
    std::unordered_map<char32_t, SizedFace*> faceFor;  // characters beyond ASCII, once looked up
};

// One glyph of a laid-out line: where its pen stands and how far its ink is moved from there.
struct Placed {
    const Glyph* glyph = nullptr;
    int pen = 0;
    int dx = 0;
    int dy = 0;
};

using MatchKey = std::tuple<std::string, bool, bool>;              // lower-case face, bold, italic
using SizeKey = std::tuple<std::string, bool, bool, int>;          // ... and em pixels
using FaceKey = std::tuple<std::string, int, bool, bool, int>;     // file, index, styles, em pixels

// Enough for every face and size the options page can cycle through in a session; beyond it the
// cache starts over rather than grow without bound.
constexpr std::size_t kMaxSizedFaces = 48;

bool isMark(hb_unicode_funcs_t* unicode, char32_t codePoint)
{
    switch (hb_unicode_general_category(unicode, codePoint)) {
    case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_FORMAT:  // joiners and the like go with their neighbour
        return true;
    default:
        return false;
    }
}

bool isNeutralScript(hb_script_t script)
{
    return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED || script == HB_SCRIPT_UNKNOWN;
}

// Scripts whose characters are drawn one glyph each, left to right, as they come: a line of them
// needs no shaping (marks and joiners aside, which are looked at on their own).
bool isSimpleScript(hb_script_t script)
{
    switch (script) {
    case HB_SCRIPT_COMMON:
    case HB_SCRIPT_LATIN:
    case HB_SCRIPT_GREEK:
    case HB_SCRIPT_CYRILLIC:
    case HB_SCRIPT_ARMENIAN:
    case HB_SCRIPT_GEORGIAN:
    case HB_SCRIPT_HAN:
    case HB_SCRIPT_HIRAGANA:
    case HB_SCRIPT_KATAKANA:
    case HB_SCRIPT_BOPOMOFO:
        return true;
    case HB_SCRIPT_HANGUL:
        return true;  // precomposed syllables; conjoining jamo are marks or caught below
    default:
        return false;
    }
}

} // namespace

struct FreeTypeFontEngine::State {
    FT_Library library = nullptr;
    // The engine's own fontconfig configuration, released with it. The process-wide one that
    // FcInit loads is never released (short of FcFini, which would pull it from under any other
    // engine), and leak checkers rightly report it.
    FcConfig* config = nullptr;
    std::map<MatchKey, MatchedFace> matches;
    std::map<MatchKey, std::vector<MatchedFace>> fallbackMatches;  // what fontconfig offered before
    std::map<FaceKey, std::unique_ptr<SizedFace>> faces;
    std::map<SizeKey, std::unique_ptr<FontChain>> chains;
    hb_buffer_t* buffer = nullptr;
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    // Labels measure and draw in runs with one font: the last lookup answers most of them.
    platform::FontSpec lastFont;
    int lastDpi = 0;
    FontChain* last = nullptr;

    ~State()
    {
        chains.clear();
        faces.clear();  // the faces go before their library
        if (buffer)
            hb_buffer_destroy(buffer);
        if (library)
            FT_Done_FreeType(library);
        if (config)
            FcConfigDestroy(config);
    }

    const MatchedFace& match(const platform::FontSpec& font);
    std::optional<MatchedFace> matchFor(const platform::FontSpec& font, char32_t codePoint);
    FontChain& chain(const platform::FontSpec& font, int dpi);
    SizedFace& sizedFace(const MatchedFace& matched, int ppem);
    std::unique_ptr<SizedFace> load(const MatchedFace& matched, int ppem);
    SizedFace* faceFor(FontChain& chain, char32_t codePoint);
    const Glyph& glyph(SizedFace& sized, FT_UInt index, Glyph& g);
    const Glyph& asciiGlyph(SizedFace& sized, unsigned char c);
    int asciiWidth(SizedFace& sized, std::string_view text);
    std::vector<Placed> layout(FontChain& chain, std::string_view text, int& width);
    void shapeRun(SizedFace& face, const std::vector<char32_t>& text, std::size_t start, std::size_t length,
                  bool rightToLeft, hb_script_t script, std::vector<Placed>& out, int& pen);
};

namespace {

FcPattern* requestPattern(const platform::FontSpec& font)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        throw platform::Failure("fontconfig: out of memory");
    const std::string family = utf8::sanitize(font.face);
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, font.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    return pattern;
}

// The best face for a request, or nullopt. Destroys the request.
std::optional<MatchedFace> bestMatch(FcConfig* config, FcPattern* pattern, const platform::FontSpec& font)
{
    // The configuration's aliases turn "MS Sans Serif" and friends into an installed family.
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* best = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!best)
        return std::nullopt;
    FcChar8* file = nullptr;
    if (FcPatternGetString(best, FC_FILE, 0, &file) != FcResultMatch || !file) {
        FcPatternDestroy(best);
        return std::nullopt;
    }
    MatchedFace matched;
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
    return matched;
}

} // namespace

const MatchedFace& FreeTypeFontEngine::State::match(const platform::FontSpec& font)
{
    MatchKey key{lang::foldCase(font.face), font.bold, font.italic};
    if (auto found = matches.find(key); found != matches.end())
        return found->second;
    std::optional<MatchedFace> matched = bestMatch(config, requestPattern(font), font);
    if (!matched)
        throw platform::Failure("fontconfig: no font for \"" + utf8::sanitize(font.face) + "\"");
    return matches.emplace(std::move(key), std::move(*matched)).first->second;
}

std::optional<MatchedFace> FreeTypeFontEngine::State::matchFor(const platform::FontSpec& font, char32_t codePoint)
{
    FcPattern* pattern = requestPattern(font);
    // The character set outranks the family in fontconfig's matching, so the answer is the
    // nearest face that has the character, when any has it. Outline faces are asked for: colour
    // bitmaps have no coverage to give.
    FcCharSet* characters = FcCharSetCreate();
    if (!characters) {
        FcPatternDestroy(pattern);
        throw platform::Failure("fontconfig: out of memory");
    }
    FcCharSetAddChar(characters, codePoint);
    FcPatternAddCharSet(pattern, FC_CHARSET, characters);
    FcCharSetDestroy(characters);
    FcPatternAddBool(pattern, FC_COLOR, FcFalse);
    return bestMatch(config, pattern, font);
}

std::unique_ptr<SizedFace> FreeTypeFontEngine::State::load(const MatchedFace& matched, int ppem)
{
    auto sizedFace = std::make_unique<SizedFace>();
    if (FT_New_Face(library, matched.file.c_str(), matched.index, &sizedFace->face) != 0)
        throw platform::Failure("FreeType: cannot open " + matched.file);
    FT_Face face = sizedFace->face;
    sizedFace->file = matched.file;
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

SizedFace& FreeTypeFontEngine::State::sizedFace(const MatchedFace& matched, int ppem)
{
    FaceKey key{matched.file, matched.index, matched.embolden, matched.oblique, ppem};
    auto found = faces.find(key);
    if (found == faces.end())
        found = faces.emplace(std::move(key), load(matched, ppem)).first;
    return *found->second;
}

FontChain& FreeTypeFontEngine::State::chain(const platform::FontSpec& font, int dpi)
{
    if (last && dpi == lastDpi && font == lastFont)
        return *last;
    const MatchedFace& matched = match(font);
    const int ppem = emPixels(font.sizePoints, dpi);
    SizeKey key{lang::foldCase(font.face), font.bold, font.italic, ppem};
    auto found = chains.find(key);
    if (found == chains.end()) {
        if (faces.size() >= kMaxSizedFaces) {
            chains.clear();
            faces.clear();
            last = nullptr;
        }
        auto made = std::make_unique<FontChain>();
        made->font = font;
        made->ppem = ppem;
        made->primary = &sizedFace(matched, ppem);
        found = chains.emplace(std::move(key), std::move(made)).first;
    }
    last = found->second.get();
    lastFont = font;
    lastDpi = dpi;
    return *last;
}

SizedFace* FreeTypeFontEngine::State::faceFor(FontChain& chain, char32_t codePoint)
{
    if (auto known = chain.faceFor.find(codePoint); known != chain.faceFor.end())
        return known->second;
    SizedFace* face = nullptr;
    if (chain.primary->has(codePoint)) {
        face = chain.primary;
    } else {
        // First the faces this font already falls back to (one CJK face serves every ideograph),
        // then the ones fontconfig offered this font at other sizes, then fontconfig itself.
        for (SizedFace* fallback : chain.fallbacks) {
            if (fallback->has(codePoint)) {
                face = fallback;
                break;
            }
        }
        const platform::FontSpec& font = chain.font;
        const int ppem = chain.ppem;
        const MatchKey key{lang::foldCase(font.face), font.bold, font.italic};
        auto adopt = [&](const MatchedFace& matched) -> SizedFace* {
            SizedFace& candidate = sizedFace(matched, ppem);
            if (&candidate == chain.primary || !candidate.has(codePoint))
                return nullptr;
            if (std::find(chain.fallbacks.begin(), chain.fallbacks.end(), &candidate) == chain.fallbacks.end())
                chain.fallbacks.push_back(&candidate);
            return &candidate;
        };
        if (!face) {
            for (const MatchedFace& known : fallbackMatches[key]) {
                if ((face = adopt(known)))
                    break;
            }
        }
        if (!face) {
            if (std::optional<MatchedFace> offered = matchFor(font, codePoint)) {
                if ((face = adopt(*offered))) {
                    auto& list = fallbackMatches[key];
                    const bool known = std::any_of(list.begin(), list.end(), [&](const MatchedFace& m) {
                        return m.file == offered->file && m.index == offered->index && m.embolden == offered->embolden;
                    });
                    if (!known)
                        list.push_back(*offered);
                }
            }
        }
    }
    chain.faceFor.emplace(codePoint, face);
    return face;
}

const Glyph& FreeTypeFontEngine::State::glyph(SizedFace& sized, FT_UInt index, Glyph& g)
{
    if (g.loaded)
        return g;
    g.loaded = true;  // a glyph that fails to load stays empty and takes no room
    FT_Face face = sized.face;
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

const Glyph& FreeTypeFontEngine::State::asciiGlyph(SizedFace& sized, unsigned char c)
{
    Glyph& g = sized.ascii[c];
    if (g.loaded)
        return g;
    return glyph(sized, FT_Get_Char_Index(sized.face, c), g);
}

int FreeTypeFontEngine::State::asciiWidth(SizedFace& sized, std::string_view text)
{
    std::int64_t width = 0;
    for (char c : text)
        width += asciiGlyph(sized, static_cast<unsigned char>(c)).advance;
    return static_cast<int>(std::clamp<std::int64_t>(width, 0, INT_MAX));
}

void FreeTypeFontEngine::State::shapeRun(SizedFace& face, const std::vector<char32_t>& text, std::size_t start,
                                         std::size_t length, bool rightToLeft, hb_script_t script,
                                         std::vector<Placed>& out, int& pen)
{
    if (!face.shaper) {
        face.shaper = hb_ft_font_create_referenced(face.face);
        hb_ft_font_set_load_flags(face.shaper, FT_IS_SCALABLE(face.face) ? FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP
                                                                         : FT_LOAD_DEFAULT);
    }
    if (!buffer)
        buffer = hb_buffer_create();
    hb_buffer_clear_contents(buffer);
    // The whole line is context, so a run joins its neighbours as Arabic letters do.
    hb_buffer_add_utf32(buffer, reinterpret_cast<const std::uint32_t*>(text.data()), static_cast<int>(text.size()),
                        static_cast<unsigned>(start), static_cast<int>(length));
    hb_buffer_set_direction(buffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, isNeutralScript(script) ? HB_SCRIPT_LATIN : script);
    hb_buffer_set_language(buffer, hb_language_get_default());
    // No kerning and no optional ligatures, as on the ASCII path and in GDI's plain text output;
    // the features a script needs (joining forms, conjuncts, mark placement) stay on.
    static const hb_feature_t features[] = {
        {HB_TAG('k', 'e', 'r', 'n'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('l', 'i', 'g', 'a'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    };
    hb_shape(face.shaper, buffer, features, 2);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    for (unsigned i = 0; i < count; ++i) {
        const FT_UInt index = infos[i].codepoint;
        const Glyph& g = glyph(face, index, face.indexed[index]);
        out.push_back({&g, pen, pixels26(positions[i].x_offset), -pixels26(positions[i].y_offset)});
        const int advance = pixels26(positions[i].x_advance);
        pen += advance > 0 && face.embolden ? advance + 1 : advance;
    }
}

std::vector<Placed> FreeTypeFontEngine::State::layout(FontChain& chain, std::string_view text, int& width)
{
    std::vector<char32_t> codePoints;
    codePoints.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const utf8::Decoded d = utf8::decode(text, at);
        codePoints.push_back(d.codePoint);
        at += d.length;
    }
    const std::size_t n = codePoints.size();

    // The face of each character: a mark or joiner stays with the character before it.
    std::vector<SizedFace*> faceOf(n, chain.primary);
    bool rightToLeft = false;
    bool shaped = false;
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = codePoints[i];
        if (c < 0x80)
            continue;
        const bool mark = isMark(unicode, c);
        SizedFace* face = i > 0 && mark ? faceOf[i - 1] : faceFor(chain, c);
        faceOf[i] = face ? face : chain.primary;  // none has it: the primary's missing-glyph box
        rightToLeft = rightToLeft || (c >= 0x0590 && FRIBIDI_IS_RTL(fribidi_get_bidi_type(c)));
        shaped = shaped || mark || (c >= 0x1100 && c <= 0x11FF) || !isSimpleScript(hb_unicode_script(unicode, c));
    }

    std::vector<Placed> placed;
    placed.reserve(n);
    if (!shaped && !rightToLeft) {
        // Latin, Greek, Cyrillic, CJK and symbols without marks: one glyph a character, with the
        // advances of the ASCII path, and no shaper to pay for.
        int pen = 0;
        for (std::size_t i = 0; i < n; ++i) {
            SizedFace& face = *faceOf[i];
            const Glyph& g = codePoints[i] < 0x80 ? asciiGlyph(face, static_cast<unsigned char>(codePoints[i]))
                                                  : [&]() -> const Glyph& {
                const FT_UInt index = FT_Get_Char_Index(face.face, codePoints[i]);
                return glyph(face, index, face.indexed[index]);
            }();
            placed.push_back({&g, pen, 0, 0});
            pen += g.advance;
        }
        width = std::max(pen, 0);
        return placed;
    }

    // Embedding levels on a left-to-right line, as a label draws without right-to-left reading.
    std::vector<FriBidiLevel> levels(n, 0);
    if (rightToLeft) {
        std::vector<FriBidiCharType> types(n);
        std::vector<FriBidiBracketType> brackets(n);
        const auto* chars = reinterpret_cast<const FriBidiChar*>(codePoints.data());
        fribidi_get_bidi_types(chars, static_cast<FriBidiStrIndex>(n), types.data());
        fribidi_get_bracket_types(chars, static_cast<FriBidiStrIndex>(n), types.data(), brackets.data());
        FriBidiParType direction = FRIBIDI_PAR_LTR;
        if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), static_cast<FriBidiStrIndex>(n),
                                                &direction, levels.data()) == 0)
            std::fill(levels.begin(), levels.end(), 0);
    }

    // Runs of one face, one level and one script, in logical order.
    struct Run {
        std::size_t start;
        std::size_t length;
        SizedFace* face;
        FriBidiLevel level;
        hb_script_t script;
    };
    std::vector<Run> runs;
    for (std::size_t i = 0; i < n; ++i) {
        const hb_script_t script = hb_unicode_script(unicode, codePoints[i]);
        if (!runs.empty()) {
            Run& run = runs.back();
            const bool sameScript = isNeutralScript(script) || isNeutralScript(run.script) || script == run.script;
            if (run.face == faceOf[i] && run.level == levels[i] && sameScript) {
                ++run.length;
                if (isNeutralScript(run.script))
                    run.script = script;
                continue;
            }
        }
        runs.push_back({i, 1, faceOf[i], levels[i], script});
    }

    // Visual order: from the highest level down to the lowest odd one, every stretch of runs at
    // that level or above is reversed.
    FriBidiLevel highest = 0;
    FriBidiLevel lowestOdd = 255;
    for (const Run& run : runs) {
        highest = std::max(highest, run.level);
        if (run.level % 2 == 1)
            lowestOdd = std::min(lowestOdd, run.level);
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level) {
        for (std::size_t i = 0; i < runs.size();) {
            if (runs[i].level < level) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < runs.size() && runs[end].level >= level)
                ++end;
            std::reverse(runs.begin() + static_cast<std::ptrdiff_t>(i), runs.begin() + static_cast<std::ptrdiff_t>(end));
            i = end;
        }
    }

    int pen = 0;
    for (const Run& run : runs)
        shapeRun(*run.face, codePoints, run.start, run.length, run.level % 2 == 1, run.script, placed, pen);
    width = std::max(pen, 0);
    return placed;
}

FreeTypeFontEngine::FreeTypeFontEngine() : state_(std::make_unique<State>())
{
    if (FT_Init_FreeType(&state_->library) != 0) {
        state_->library = nullptr;
        throw platform::Failure("FreeType: cannot start");
    }
    state_->config = FcInitLoadConfigAndFonts();
    if (!state_->config)
        throw platform::Failure("fontconfig: cannot start");
}

FreeTypeFontEngine::~FreeTypeFontEngine() = default;

platform::FontMetrics FreeTypeFontEngine::metrics(const platform::FontSpec& font, int dpi)
{
    return state_->chain(font, dpi).primary->metrics;
}

int FreeTypeFontEngine::textWidth(const platform::FontSpec& font, int dpi, std::string_view text)
{
    FontChain& chain = state_->chain(font, dpi);
    if (utf8::isAscii(text))
        return state_->asciiWidth(*chain.primary, text);
    int width = 0;
    state_->layout(chain, text, width);
    return width;
}

platform::CoverageMask FreeTypeFontEngine::render(const platform::FontSpec& font, int dpi, std::string_view text)
{
    FontChain& chain = state_->chain(font, dpi);
    SizedFace& sized = *chain.primary;
    platform::CoverageMask mask;
    mask.height = sized.metrics.height;
    mask.ascent = sized.metrics.ascent;

    std::vector<Placed> placed;
    if (utf8::isAscii(text)) {
        int pen = 0;
        placed.reserve(text.size());
        for (char c : text) {
            const Glyph& g = state_->asciiGlyph(sized, static_cast<unsigned char>(c));
            placed.push_back({&g, pen, 0, 0});
            pen += g.advance;
        }
        mask.width = std::max(pen, 0);
    } else {
        placed = state_->layout(chain, text, mask.width);
    }
    mask.coverage.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height), 0);

    for (const Placed& p : placed) {
        const Glyph& g = *p.glyph;
        const int left = p.pen + p.dx + g.left;
        const int top = mask.ascent - g.top + p.dy;
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
    }
    if (font.underline && mask.width > 0) {
        for (int y = sized.underlineTop; y < sized.underlineTop + sized.underlineRows; ++y)
            std::fill_n(mask.coverage.begin() + static_cast<std::ptrdiff_t>(y) * mask.width, mask.width, 255);
    }
    return mask;
}

std::string FreeTypeFontEngine::matchedFile(const platform::FontSpec& font) { return state_->match(font).file; }

std::string FreeTypeFontEngine::fileFor(const platform::FontSpec& font, int dpi, char32_t codePoint)
{
    FontChain& chain = state_->chain(font, dpi);
    SizedFace* face = codePoint < 0x80 ? chain.primary : state_->faceFor(chain, codePoint);
    return face ? face->file : std::string();
}

} // namespace fonts
