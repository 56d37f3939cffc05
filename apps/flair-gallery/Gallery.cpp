#include "apps/flair-gallery/Gallery.h"

#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "controls/flairbutton/FlairButton.h"
#include "controls/flairbutton/FlairImages.h"
#include "platform/Failure.h"
#include "platform/draw/Png.h"
#include "platform/fonts/FixedFontEngine.h"
#include "platform/forms/Form.h"
#include "platform/forms/SimControlEnvironment.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoop.h"
#include "platform/sim/SimSystemInfo.h"
#ifdef QLN_HAVE_FREETYPE
#include "platform/fonts/FreeTypeFontEngine.h"
#endif

namespace flairgallery {

namespace {

using flair::FlairButton;

constexpr int kButtonWidth = 150;
constexpr int kButtonHeight = 24;
constexpr int kMargin = 6;
constexpr int kTwipsPerPixel = 15;  // the simulated screen's 96 dpi
constexpr draw::OleColour kPageBack = draw::systemOleColour(draw::syscolour::ButtonFace);

struct Style {
    const char* name;
    flair::ButtonStyleEnum style;
};

struct Variant {
    const char* name;
    bool picture;
};

// Enters a state; the pointer is kept where the user's would be.
struct State {
    const char* name;
    std::function<void(FlairButton&, forms::SimControlEnvironment&, platform::sim::SimLoop&)> enter;
};

class GalleryForm final : public forms::Form {
public:
    explicit GalleryForm(forms::FormsHost& host) : Form(host, "frmGallery") {}
    ~GalleryForm() override { Unload(); }
    FlairButton& placeButton() { return add<FlairButton>("btnSample"); }
};

constexpr int kInsideX = kButtonWidth / 2;
constexpr int kInsideY = kButtonHeight / 2;

void hover(FlairButton& b, forms::SimControlEnvironment& pointer)
{
    pointer.setCursorPos({kMargin + kInsideX, kMargin + kInsideY});
    b.mouseMove(0, 0, kInsideX, kInsideY);
}

void click(FlairButton& b)
{
    b.mouseDown(1, 0, kInsideX, kInsideY);
    b.mouseUp(1, 0, kInsideX, kInsideY);
}

void leave(forms::SimControlEnvironment& pointer, platform::sim::SimLoop& loop)
{
    pointer.setCursorPos({0, 0});
    loop.advance(5);
}

const std::vector<Style>& styles()
{
    static const std::vector<Style> all{{"flat", flair::enmButtonStyleFlat},
                                        {"xp", flair::enmButtonStyleXP},
                                        {"separator", flair::enmButtonStyleSeperator},
                                        {"hyperlink", flair::enmButtonStyleHyperlink}};
    return all;
}

const std::vector<Variant>& variants()
{
    static const std::vector<Variant> all{{"plain", false}, {"picture", true}};
    return all;
}

const std::vector<State>& states()
{
    static const std::vector<State> all{
        {"normal", [](FlairButton&, forms::SimControlEnvironment&, platform::sim::SimLoop&) {}},
        {"over", [](FlairButton& b, forms::SimControlEnvironment& p, platform::sim::SimLoop&) { hover(b, p); }},
        {"down",
         [](FlairButton& b, forms::SimControlEnvironment& p, platform::sim::SimLoop&) {
             hover(b, p);
             b.mouseDown(1, 0, kInsideX, kInsideY);
         }},
        {"pressed",
         [](FlairButton& b, forms::SimControlEnvironment& p, platform::sim::SimLoop&) {
             b.setChecked(true);
             hover(b, p);
             click(b);
         }},
        {"unpressed",
         [](FlairButton& b, forms::SimControlEnvironment& p, platform::sim::SimLoop&) {
             b.setChecked(true);
             hover(b, p);
             click(b);
             b.mouseDown(1, 0, kInsideX, kInsideY);
         }},
        {"disabled",
         [](FlairButton& b, forms::SimControlEnvironment&, platform::sim::SimLoop&) {
             b.setState(flair::enmButtonStateDisabled);
         }},
        {"checked",
         [](FlairButton& b, forms::SimControlEnvironment& p, platform::sim::SimLoop& loop) {
             b.setChecked(true);
             hover(b, p);
             click(b);
             leave(p, loop);
         }},
    };
    return all;
}

draw::Surface drawSample(forms::FormsHost& host, platform::sim::SimLoop& loop, const Style& style,
                         const Variant& variant, const State& state)
{
    GalleryForm form(host);
    form.setBackColor(kPageBack);
    form.move(0, 0, (kButtonWidth + 2 * kMargin) * kTwipsPerPixel, (kButtonHeight + 2 * kMargin) * kTwipsPerPixel);
    form.Show();
    auto pointer = std::make_shared<forms::SimControlEnvironment>();
    FlairButton& b = form.placeButton();
    b.site().setEnvironment(pointer);
    b.InitProperties();
    b.move(kMargin * kTwipsPerPixel, kMargin * kTwipsPerPixel, kButtonWidth * kTwipsPerPixel,
           kButtonHeight * kTwipsPerPixel);
    b.setStyle(style.style);
    if (style.style == flair::enmButtonStyleSeperator)
        b.move(b.Left(), b.Top(), b.Width(), kButtonHeight * kTwipsPerPixel);
    b.setCaption(style.style == flair::enmButtonStyleHyperlink ? "Visit the &web site" : "&Options");
    if (variant.picture) {
        if (style.style == flair::enmButtonStyleHyperlink) {
            b.setImage(flair::enmButtonImageHome);
            b.setImageOver(flair::enmButtonImageHomeOver);
            b.setImageDisabled(flair::enmButtonImageHome);
        }
        b.setCaptionDetail("Ctrl+O");
    } else {
        b.setImage(0);
        b.setImageOver(0);
        b.setImageDisabled(0);
    }
    state.enter(b, *pointer, loop);
    return form.render();
}

void drawLabel(draw::Surface& sheet, platform::FontEngine& fonts, int x, int y, const std::string& text)
{
    const platform::FontSpec font{"Tahoma", 8.0, true};
    sheet.drawMask(fonts.render(font, 96, text), x, y, draw::black);
}

std::unique_ptr<platform::FontEngine> makeFontEngine()
{
#ifdef QLN_HAVE_FREETYPE
    std::unique_ptr<platform::FontEngine> real;
    if (platform::ignoreFailure([&] { real = std::make_unique<fonts::FreeTypeFontEngine>(); }))
        return real;
#endif
    return std::make_unique<fonts::FixedFontEngine>();
}

} // namespace

int renderGallery(const std::filesystem::path& outDir)
{
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error)
        throw platform::Failure("Cannot create " + outDir.string() + ": " + error.message());

    platform::sim::SimLoop loop;
    platform::sim::SimDesktop desktop{loop};
    platform::sim::SimSystemInfo system;
    std::unique_ptr<platform::FontEngine> fonts = makeFontEngine();
    forms::FormsHost host{desktop, loop, *fonts, system};

    const int cellWidth = kButtonWidth + 2 * kMargin;
    const int cellHeight = kButtonHeight + 2 * kMargin;
    const int labelWidth = 120;
    const int labelHeight = 20;
    const auto& allStates = states();
    const int rows = static_cast<int>(styles().size() * variants().size());
    draw::Surface sheet(labelWidth + cellWidth * static_cast<int>(allStates.size()), labelHeight + cellHeight * rows,
                        draw::white);

    int count = 0;
    int row = 0;
    for (const Style& style : styles()) {
        for (const Variant& variant : variants()) {
            const int top = labelHeight + cellHeight * row;
            drawLabel(sheet, *fonts, 6, top + cellHeight / 2 - 7, std::string(style.name) + " " + variant.name);
            for (std::size_t column = 0; column < allStates.size(); ++column) {
                const draw::Surface sample = drawSample(host, loop, style, variant, allStates[column]);
                draw::writePng(sample, outDir / (std::string(style.name) + "-" + variant.name + "-" +
                                                 allStates[column].name + ".png"));
                sheet.drawPicture(sample, labelWidth + cellWidth * static_cast<int>(column), top);
                ++count;
            }
            ++row;
        }
    }
    for (std::size_t column = 0; column < allStates.size(); ++column)
        drawLabel(sheet, *fonts, labelWidth + cellWidth * static_cast<int>(column) + 4, 3, allStates[column].name);
    draw::writePng(sheet, outDir / "contact-sheet.png");
    draw::writePng(flair::contactSheet(), outDir / "built-in-pictures.png");
    return count;
}

} // namespace flairgallery
