#include "controls/flairbutton/FlairImages.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Failure.h"

namespace flair {

namespace {

using draw::Rgb;
using draw::Surface;

constexpr int N = builtInImageSize;

// A drawing is 16 rows of 16 palette characters; '.' is transparent.
constexpr std::string_view kPaletteKeys = ".kwlgdbBnGLrRyYoc";

Rgb paletteColour(char key)
{
    switch (key) {
    case 'k': return {32, 32, 32};      // outline
    case 'w': return {255, 255, 255};
    case 'l': return {208, 208, 208};   // light grey
    case 'g': return {144, 144, 144};   // grey
    case 'd': return {88, 88, 88};      // dark grey
    case 'b': return {30, 90, 200};     // blue
    case 'B': return {120, 170, 240};   // light blue
    case 'n': return {20, 40, 120};     // navy
    case 'G': return {30, 150, 50};     // green
    case 'L': return {140, 225, 130};   // light green
    case 'r': return {205, 30, 30};     // red
    case 'R': return {250, 125, 110};   // light red
    case 'y': return {245, 200, 30};    // yellow
    case 'Y': return {255, 240, 160};   // pale yellow
    case 'o': return {240, 140, 30};    // orange
    case 'c': return {140, 85, 40};     // brown
    default: return maskColour;
    }
}

constexpr bool isGrid(std::span<const std::string_view> rows)
{
    if (rows.size() != static_cast<std::size_t>(N))
        return false;
    for (std::string_view row : rows) {
        if (row.size() != static_cast<std::size_t>(N))
            return false;
        for (char c : row)
            if (kPaletteKeys.find(c) == std::string_view::npos)
                return false;
    }
    return true;
}

// An arrow pointing left; mirrored, it points forward.
constexpr std::string_view kBack[] = {
    "................",
    "................",
    "........k.......",
    ".......kk.......",
    "......kLk.......",
    ".....kLGk.......",
    "....kLGGkkkkkkk.",
    "...kLGGGGGGGGGk.",
    "..kGGGGGGGGGGGk.",
    "...kGGGGGGGGGGk.",
    "....kGGGkkkkkkk.",
    ".....kGGk.......",
    "......kGk.......",
    ".......kk.......",
    "........k.......",
    "................",
};
static_assert(isGrid(kBack));

// Two ends of a circling arrow.
constexpr std::string_view kRefresh[] = {
    "................",
    ".....kkkkkk.....",
    "...kkBBBBBBkk...",
    "..kBBkkkkkkBBk..",
    ".kBBk......kBk..",
    ".kBk........k...",
    "kBk.............",
    "kBk.......kkkkkk",
    "kBk.......kBBBBk",
    "kBk........kBBBk",
    ".kBk......kBBBBk",
    ".kBBk....kBBkkBk",
    "..kBBkkkkBBk..k.",
    "...kkBBBBkk.....",
    ".....kkkk.......",
    "................",
};
static_assert(isGrid(kRefresh));

// A red octagon with a white cross.
constexpr std::string_view kStop[] = {
    "................",
    ".....kkkkkk.....",
    "....kRRRRRRk....",
    "...kRrrrrrrrk...",
    "..kRrrrrrrrrrk..",
    ".kRrrwwrrwwrrrk.",
    ".kRrrrwwwwrrrrk.",
    ".kRrrrrwwrrrrrk.",
    ".kRrrrrwwrrrrrk.",
    ".kRrrrwwwwrrrrk.",
    ".kRrrwwrrwwrrrk.",
    "..krrrrrrrrrrk..",
    "...krrrrrrrrk...",
    "....krrrrrrk....",
    ".....kkkkkk.....",
    "................",
};
static_assert(isGrid(kStop));

// A magnifying glass.
constexpr std::string_view kSearch[] = {
    "................",
    "...kkkkk........",
    "..kBwwBBk.......",
    ".kBwBBBBBk......",
    "kBwBBBBBBBk.....",
    "kBwBBBBBBBk.....",
    "kBBBBBBBBBk.....",
    "kBBBBBBBBBk.....",
    "kBBBBBBBBBk.....",
    ".kBBBBBBBk......",
    "..kBBBBBkcc.....",
    "...kkkkkcccc....",
    ".........cccc...",
    "..........cccc..",
    "...........ccc..",
    "................",
};
static_assert(isGrid(kSearch));

// A house with a red roof, a window and a door.
constexpr std::string_view kHome[] = {
    "................",
    ".......kk.......",
    "......kRRk.kk...",
    ".....kRRRRkck...",
    "....kRRRRRRkk...",
    "...kRRRRRRRRk...",
    "..kRRRRRRRRRRk..",
    ".kkkkkkkkkkkkkk.",
    "..kYYYYYYYYYYk..",
    "..kYkkkYYYYYYk..",
    "..kYkBkYkkkkYk..",
    "..kYkkkYkccYYk..",
    "..kYYYYYkccYYk..",
    "..kYYYYYkccYYk..",
    "..kkkkkkkkkkkk..",
    "................",
};
static_assert(isGrid(kHome));

// A yellow star.
constexpr std::string_view kFavourite[] = {
    "................",
    ".......kk.......",
    ".......kk.......",
    "......kyyk......",
    "......kyyk......",
    ".kkkkkkyykkkkkk.",
    ".kYyyyyyyyyyyyk.",
    "..kYyyyyyyyyyk..",
    "...kYyyyyyyyk...",
    "....kyyyyyyk....",
    "...kyyyykyyyk...",
    "...kyyyk.kyyk...",
    "..kyyk....kyyk..",
    "..kyk......kyk..",
    "..kk........kk..",
    "................",
};
static_assert(isGrid(kFavourite));

// Two quavers joined by a beam.
constexpr std::string_view kMedia[] = {
    "................",
    "......kkkkkkkkk.",
    "......kbbbbbbbk.",
    "......kbkkkkkbk.",
    "......kk.....kk.",
    "......k......k..",
    "......k......k..",
    "......k......k..",
    "......k......k..",
    "..kkkkk..kkkkk..",
    ".kbbbbk.kbbbbk..",
    "kbBbbbkkbBbbbk..",
    "kbbbbbkkbbbbbk..",
    ".kbbbk..kbbbk...",
    "..kkk....kkk....",
    "................",
};
static_assert(isGrid(kMedia));

// A clock face showing three o'clock.
constexpr std::string_view kHistory[] = {
    "................",
    ".....kkkkkk.....",
    "...kkwwwwwwkk...",
    "..kwwwwkwwwwwk..",
    ".kwwwwwkwwwwwwk.",
    ".kwwwwwkwwwwwwk.",
    "kwwwwwwkwwwwwwwk",
    "kwwwwwwkwwwwwwwk",
    "kwwwwwwkkkkkwwwk",
    "kwwwwwwwwwwwwwwk",
    ".kwwwwwwwwwwwwk.",
    ".kwwwwwwwwwwwwk.",
    "..kwwwwwwwwwwk..",
    "...kkwwwwwwkk...",
    ".....kkkkkk.....",
    "................",
};
static_assert(isGrid(kHistory));

// A closed envelope.
constexpr std::string_view kEmail[] = {
    "................",
    "................",
    "................",
    "kkkkkkkkkkkkkkkk",
    "kYkwwwwwwwwwwkYk",
    "kwYkwwwwwwwwkYwk",
    "kwwYkwwwwwwkYwwk",
    "kwwwYkwwwwkYwwwk",
    "kwwwwYkkkkYwwwwk",
    "kwwwkYwwwwYkwwwk",
    "kwwkYwwwwwwYkwwk",
    "kwkYwwwwwwwwYkwk",
    "kkYwwwwwwwwwwYkk",
    "kkkkkkkkkkkkkkkk",
    "................",
    "................",
};
static_assert(isGrid(kEmail));

// A printer with a sheet coming out.
constexpr std::string_view kPrint[] = {
    "................",
    "....kkkkkkkk....",
    "....kwwwwwwk....",
    "....kwkkkkwk....",
    "....kwwwwwwk....",
    "..kkkkkkkkkkkk..",
    ".kllllllllllllk.",
    ".klllllllllGGlk.",
    ".kllllllllllllk.",
    ".kggggggggggggk.",
    ".kgkkkkkkkkkkgk.",
    ".kkkwwwwwwwwkkk.",
    "...kwkkkkkkwk...",
    "...kwwwwwwwwk...",
    "...kkkkkkkkkk...",
    "................",
};
static_assert(isGrid(kPrint));

// A pair of scissors, handles down.
constexpr std::string_view kCut[] = {
    "................",
    "..k.......k.....",
    "..kk.....kk.....",
    "...kk...kk......",
    "...kkk.kkk......",
    "....kk.kk.......",
    ".....kkk........",
    "......k.........",
    ".....kkk........",
    "....rr.rrr......",
    "..rrrr.rr.rr....",
    ".rr..rrr...rr...",
    ".rr..rrr...rr...",
    "..rrrr..rrrr....",
    "................",
    "................",
};
static_assert(isGrid(kCut));

// Two written sheets, one over the other.
constexpr std::string_view kCopy[] = {
    "................",
    "kkkkkkkk........",
    "kwwwwwwkk.......",
    "kwkkkkwkwk......",
    "kwwwwwwkkkkkkk..",
    "kwkkkkkkwwwwwkk.",
    "kwwwwwkwkkkkwkwk",
    "kwkkkkkwwwwwwkkk",
    "kwwwwwkwkkkkkkwk",
    "kwkkkkkwwwwwwwwk",
    "kwwwwwkwkkkkkkwk",
    "kkkkkkkwwwwwwwwk",
    ".......wkkkkkkwk",
    ".......kwwwwwwwk",
    ".......kkkkkkkkk",
    "................",
};
static_assert(isGrid(kCopy));

// A clipboard with a sheet on it.
constexpr std::string_view kPaste[] = {
    "................",
    ".....kkkkk......",
    ".kkkkkyyykkkkk..",
    ".kcckyyyyykcck..",
    ".kcckkkkkkkcck..",
    ".kcccccccccccck.",
    ".kccckkkkkkkkkk.",
    ".kccckwwwwwwwkwk",
    ".kccckwkkkkkwkkk",
    ".kccckwwwwwwwwwk",
    ".kccckwkkkkkkkwk",
    ".kccckwwwwwwwwwk",
    ".kccckwkkkkkkkwk",
    ".kkkkkwwwwwwwwwk",
    ".....kkkkkkkkkkk",
    "................",
};
static_assert(isGrid(kPaste));
// A pointing hand: the cursor's picture sits in the top-left of its 32 x 32 square.
constexpr std::string_view kHand[] = {
    ".....kk.........",
    "....kwwk........",
    "....kwwk........",
    "....kwwk........",
    "....kwwkkk......",
    "....kwwkwwkkk...",
    ".kk.kwwkwwkwwkk.",
    "kwwkkwwkwwkwwkwk",
    "kwwwkwwwwwwwwkwk",
    ".kwwkwwwwwwwwwwk",
    "..kwwwwwwwwwwwwk",
    "..kwwwwwwwwwwwk.",
    "...kwwwwwwwwwwk.",
    "....kwwwwwwwwk..",
    "....kwwwwwwwwk..",
    "....kkkkkkkkkk..",
};
static_assert(isGrid(kHand));

// The digits 1 to 9 and 0 in a 5 x 7 grid, drawn at twice the size.
constexpr std::array<std::array<std::string_view, 7>, 10> kDigits{{
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},  // 0
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},  // 1
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},  // 2
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},  // 3
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},  // 4
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},  // 5
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},  // 6
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},  // 7
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},  // 8
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},  // 9
}};

Surface fromRows(std::span<const std::string_view> rows, bool mirrored = false)
{
    Surface image(N, N, maskColour);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            image.setPixel(mirrored ? N - 1 - x : x, y, paletteColour(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]));
    return image;
}

// The plain look of a hot picture: each pixel's brightness as a soft grey, lifted towards white so
// that the plain picture stays behind the hot one.
Surface cold(const Surface& hot)
{
    Surface image = hot;
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const Rgb c = *hot.pixel(x, y);
            if (c == maskColour)
                continue;
            const int luma = (c.r * 299 + c.g * 587 + c.b * 114) / 1000;
            const auto grey = static_cast<std::uint8_t>(64 + luma * 3 / 4);
            image.setPixel(x, y, {grey, grey, grey});
        }
    }
    return image;
}

// The disabled look: the silhouette in grey with a white copy one pixel right and down behind it.
Surface embossed(const Surface& picture)
{
    Surface image(N, N, maskColour);
    const auto inked = [&](int x, int y) {
        const std::optional<Rgb> c = picture.pixel(x, y);
        if (!c || *c == maskColour)
            return false;
        // Light fills vanish in the silhouette, as they do in a grey-on-grey disabled picture.
        return (c->r * 299 + c->g * 587 + c->b * 114) / 1000 < 200;
    };
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            if (inked(x - 1, y - 1))
                image.setPixel(x, y, draw::white);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            if (inked(x, y))
                image.setPixel(x, y, {128, 128, 128});
    return image;
}

// A cross of two-pixel strokes, in `ink` on `plate` (a rounded square) or on nothing.
Surface closeCross(Rgb ink, std::optional<Rgb> plate)
{
    Surface image(N, N, maskColour);
    if (plate) {
        image.fillRect({1, 2, N - 1, N - 2}, *plate);
        image.fillRect({2, 1, N - 2, N - 1}, *plate);
    }
    for (int i = 4; i < N - 4; ++i) {
        image.fillRect({i, i, i + 2, i + 1}, ink);
        image.fillRect({N - 2 - i, i, N - i, i + 1}, ink);
    }
    return image;
}

Surface redDigit(int digit)
{
    Surface image(N, N, maskColour);
    const auto& glyph = kDigits[static_cast<std::size_t>(digit)];
    const Rgb red{215, 25, 25};
    const Rgb rim{120, 0, 0};
    const auto set = [&](int gx, int gy) {
        return gx >= 0 && gy >= 0 && gx < 5 && gy < 7 && glyph[static_cast<std::size_t>(gy)][static_cast<std::size_t>(gx)] == '#';
    };
    // A dark rim around the strokes keeps the digit readable on any background.
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const int gx = (x - 3) >> 1;
            const int gy = (y - 1) >> 1;
            if (x >= 3 && y >= 1 && set(gx, gy)) {
                image.setPixel(x, y, red);
                continue;
            }
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (x + dx >= 3 && y + dy >= 1 && set((x + dx - 3) >> 1, (y + dy - 1) >> 1))
                        image.setPixel(x, y, rim);
        }
    }
    return image;
}

enum class Transport { Start, Prev, Next, End };

// Player buttons: a triangle pointing the way, with a bar at the end for start and end.
Surface transport(Transport which, Rgb fill, Rgb rim)
{
    Surface image(N, N, maskColour);
    const bool left = which == Transport::Start || which == Transport::Prev;
    const bool bar = which == Transport::Start || which == Transport::End;
    const auto put = [&](int x, int y, Rgb c) { image.setPixel(left ? N - 1 - x : x, y, c); };
    const int tip = bar ? 11 : 12;
    const int base = bar ? 3 : 4;
    // The triangle's half height shrinks by one pixel every other column towards the tip.
    for (int x = base; x <= tip; ++x) {
        const int half = 6 - (x - base) * 6 / (tip - base);
        for (int y = 8 - half; y < 8 + half; ++y) {
            const bool edge = x == base || y == 8 - half || y == 8 + half - 1;
            put(x, y, edge ? rim : fill);
        }
    }
    if (bar) {
        for (int y = 2; y < 14; ++y) {
            put(12, y, rim);
            put(13, y, y == 2 || y == 13 ? rim : fill);
            put(14, y, rim);
        }
    }
    return image;
}

Surface hot(ButtonDefaultImageEnum subject)
{
    switch (subject) {
    case enmButtonImageBack: return fromRows(kBack);
    case enmButtonImageForward: return fromRows(kBack, true);
    case enmButtonImageRefresh: return fromRows(kRefresh);
    case enmButtonImageStop: return fromRows(kStop);
    case enmButtonImageSearch: return fromRows(kSearch);
    case enmButtonImageHome: return fromRows(kHome);
    case enmButtonImageFavourite: return fromRows(kFavourite);
    case enmButtonImageMedia: return fromRows(kMedia);
    case enmButtonImageHistory: return fromRows(kHistory);
    case enmButtonImageEmail: return fromRows(kEmail);
    case enmButtonImagePrint: return fromRows(kPrint);
    case enmButtonImageCut: return fromRows(kCut);
    case enmButtonImageCopy: return fromRows(kCopy);
    case enmButtonImagePaste: return fromRows(kPaste);
    default: return Surface(N, N, maskColour);
    }
}

} // namespace

draw::Surface builtInPicture(int index)
{
    if (index < 1 || index > builtInImageCount)
        throw platform::Failure("Invalid property value", 380);
    const auto subject = static_cast<ButtonDefaultImageEnum>(index);
    // Browser pictures come in pairs: the plain picture, then its hot (Over) twin.
    if (index <= enmButtonImagePrintOver) {
        const auto hotOne = static_cast<ButtonDefaultImageEnum>(index % 2 == 0 ? index - 1 : index);
        return index % 2 == 0 ? hot(hotOne) : cold(hot(hotOne));
    }
    const Rgb navy{20, 40, 120};
    const Rgb blue{60, 110, 220};
    const Rgb orange{240, 140, 30};
    const Rgb brown{150, 70, 0};
    switch (subject) {
    case enmButtonImageCut:
    case enmButtonImageCopy:
    case enmButtonImagePaste:
        return hot(subject);
    case enmButtonImageCutDis:
    case enmButtonImageCopyDis:
    case enmButtonImagePasteDis:
        return embossed(hot(static_cast<ButtonDefaultImageEnum>(index - 1)));
    case enmButtonImageClose: return closeCross({72, 72, 72}, std::nullopt);
    case enmButtonImageCloseHighlight: return closeCross(draw::white, Rgb{200, 40, 30});
    case enmButtonImageStart: return transport(Transport::Start, blue, navy);
    case enmButtonImagePrev: return transport(Transport::Prev, blue, navy);
    case enmButtonImageNext: return transport(Transport::Next, blue, navy);
    case enmButtonImageEnd: return transport(Transport::End, blue, navy);
    case enmButtonImageStartHighlight: return transport(Transport::Start, orange, brown);
    case enmButtonImagePrevHighlight: return transport(Transport::Prev, orange, brown);
    case enmButtonImageNextHighlight: return transport(Transport::Next, orange, brown);
    case enmButtonImageEndHighlight: return transport(Transport::End, orange, brown);
    default:
        break;
    }
    // Red1 .. Red9, then Red0.
    const int digit = index == enmButtonImageRed0 ? 0 : index - enmButtonImageRed1 + 1;
    return redDigit(digit);
}

forms::ImageListRef builtInImageList()
{
    static const forms::ImageListRef list = [] {
        auto made = std::make_shared<forms::ImageList>();
        made->setImageWidth(N);
        made->setImageHeight(N);
        made->setTag(builtInImageListTag);
        made->setUseMaskColor(true);
        made->setMaskColor(draw::toOle(maskColour));
        for (int index = 1; index <= builtInImageCount; ++index)
            made->add(forms::makePicture(builtInPicture(index)));
        return forms::ImageListRef(std::move(made));
    }();
    return list;
}

forms::PictureRef hyperlinkPointer()
{
    static const forms::PictureRef pointer = [] {
        Surface cursor(2 * N, 2 * N, maskColour);
        cursor.drawPicture(fromRows(kHand), 0, 0);
        return forms::makePicture(std::move(cursor));
    }();
    return pointer;
}

draw::Surface contactSheet()
{
    constexpr int columns = 8;
    const int rows = (builtInImageCount + columns - 1) / columns + 1;
    const Rgb face = draw::systemColour(draw::syscolour::ButtonFace);
    Surface sheet(columns * contactSheetCell, rows * contactSheetCell, face);
    const auto place = [&](const Surface& picture, int cell) {
        const int x = (cell % columns) * contactSheetCell + (contactSheetCell - picture.width()) / 2;
        const int y = (cell / columns) * contactSheetCell + (contactSheetCell - picture.height()) / 2;
        sheet.drawPicture(picture, x, y, maskColour);
    };
    for (int index = 1; index <= builtInImageCount; ++index)
        place(builtInPicture(index), index - 1);
    place(fromRows(kHand), (rows - 1) * columns);

    Surface scaled(sheet.width() * contactSheetScale, sheet.height() * contactSheetScale);
    for (int y = 0; y < scaled.height(); ++y)
        for (int x = 0; x < scaled.width(); ++x)
            scaled.setPixel(x, y, *sheet.pixel(x / contactSheetScale, y / contactSheetScale));
    return scaled;
}

} // namespace flair
