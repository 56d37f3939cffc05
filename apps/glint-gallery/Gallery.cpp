#include "apps/glint-gallery/Gallery.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "apps/gallery-kit/ContactSheet.h"
#include "controls/glintbutton/GlintButton.h"
#include "platform/draw/Png.h"
#include "platform/forms/Form.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoop.h"

namespace gallery {

namespace {

using glint::GlintButton;

constexpr draw::OleColour kPopupBack = samplePaper;
constexpr draw::Rgb kPopupPaper{255, 255, 225};
constexpr draw::Rgb kMask{255, 0, 255};
constexpr int kButtonWidth = sampleWidth;
constexpr int kButtonHeight = sampleHeight;
constexpr int kMargin = sampleMargin;
constexpr int kTwipsPerPixel = 15;  // the simulated screen's 96 dpi

struct Look {
    const char* name;
    glint::AppearanceConstants appearance;
};

struct State {
    const char* name;
    std::function<void(GlintButton&)> enter;
};

class GalleryForm final : public forms::Form {
public:
    explicit GalleryForm(forms::FormsHost& host) : Form(host, "frmGallery") {}
    ~GalleryForm() override { Unload(); }
    GlintButton& placeButton() { return add<GlintButton>("btnSample"); }
};

// A pill of the button's size: a body colour with a darker rim and a lighter top half, on the mask
// colour, so that the corners are cut away.
forms::PictureRef pill(draw::Rgb body, draw::Rgb rim, int inset)
{
    draw::Surface image(kButtonWidth, kButtonHeight, kMask);
    const double radius = (kButtonHeight - 1) / 2.0;
    for (int y = 0; y < kButtonHeight; ++y) {
        for (int x = 0; x < kButtonWidth; ++x) {
            const double cx = std::clamp(static_cast<double>(x), radius, kButtonWidth - 1 - radius);
            const double distance = std::hypot(x - cx, y - radius);
            if (distance > radius)
                continue;
            draw::Rgb colour = body;
            if (distance > radius - 1.5)
                colour = rim;
            else if (y < kButtonHeight / 2 - inset)
                colour = draw::blend(body, draw::white, 90);
            image.setPixel(x, y, colour);
        }
    }
    return forms::makePicture(std::move(image));
}

void loadSkins(GlintButton& b)
{
    for (const auto& [name, picture] : skinPictures()) {
        for (int skin = 0; skin < GlintButton::SkinCount; ++skin)
            if (name == GlintButton::skinNames[skin])
                b.setSkin(static_cast<GlintButton::Skin>(skin), picture);
    }
    b.setForeColor(0xFFFFFF);
    b.setHighlightColor(0x000000);
}

void hover(GlintButton& b)
{
    b.mouseMove(0, 0, kButtonWidth / 2, kButtonHeight / 2);
    b.mouseMove(0, 0, kButtonWidth / 2, kButtonHeight / 2);
}

const std::vector<Look>& looks()
{
    static const std::vector<Look> all{{"flat", glint::btFlat},
                                       {"flat-border", glint::btFlatWithBorder},
                                       {"3d", glint::bt3D},
                                       {"xp", glint::btXP},
                                       {"skin", glint::btSkin}};
    return all;
}

const std::vector<State>& states()
{
    static const std::vector<State> all{
        {"up", [](GlintButton&) {}},
        {"hover", hover},
        {"down", [](GlintButton& b) {
             hover(b);
             b.mouseDown(1, 0, kButtonWidth / 2, kButtonHeight / 2);
         }},
        {"disabled", [](GlintButton& b) { b.setEnabled(false); }},
        {"focused", [](GlintButton& b) { b.gotFocus(); }},
        {"focused-down", [](GlintButton& b) {
             b.gotFocus();
             b.mouseDown(1, 0, kButtonWidth / 2, kButtonHeight / 2);
         }},
        {"default", [](GlintButton& b) { b.site().setDisplayAsDefault(true); }},
        {"toggle-down", [](GlintButton& b) {
             b.setStyle(glint::Toggle);
             b.setValue(glint::Down);
         }},
        {"two-rows", [](GlintButton& b) { b.setCaption("Reply to all senders"); }},
    };
    return all;
}

// One button in one state on a patch of the popup's background.
draw::Surface drawSample(forms::FormsHost& host, const Look& look, const State& state)
{
    GalleryForm form(host);
    form.setBackColor(kPopupBack);
    form.move(0, 0, (kButtonWidth + 2 * kMargin) * kTwipsPerPixel, (kButtonHeight + 2 * kMargin) * kTwipsPerPixel);
    form.Show();
    GlintButton& b = form.placeButton();
    b.InitProperties();
    b.move(kMargin * kTwipsPerPixel, kMargin * kTwipsPerPixel, kButtonWidth * kTwipsPerPixel,
           kButtonHeight * kTwipsPerPixel);
    b.setCaption("&Reply");
    if (look.appearance == glint::btSkin)
        loadSkins(b);
    else
        b.setAppearance(look.appearance);
    if (look.appearance == glint::btFlatWithBorder)
        b.setBorderColor(draw::oleRgb(90, 90, 90));
    state.enter(b);
    return form.render();
}

} // namespace

std::vector<std::pair<std::string, forms::PictureRef>> skinPictures()
{
    return {{"SkinUp", pill({70, 130, 200}, {30, 60, 120}, 0)},
            {"SkinOver", pill({250, 170, 40}, {160, 90, 0}, 0)},
            {"SkinDown", pill({40, 90, 150}, {20, 40, 90}, -3)},
            {"SkinFocus", pill({70, 130, 200}, {255, 255, 255}, 0)},
            {"SkinDisabled", pill({170, 170, 170}, {120, 120, 120}, 0)}};
}

int renderGallery(const std::filesystem::path& outDir)
{
    gallerykit::makeOutputFolder(outDir);
    platform::sim::SimLoop loop;
    platform::sim::SimDesktop desktop{loop};
    const std::unique_ptr<platform::SystemInfo> system = gallerykit::makeSystemInfo();
    std::unique_ptr<platform::FontEngine> fonts = gallerykit::makeFontEngine();
    forms::FormsHost host{desktop, loop, *fonts, *system};

    const auto& allLooks = looks();
    const auto& allStates = states();
    std::vector<std::string> rowNames, columnNames;
    for (const auto& look : allLooks)
        rowNames.emplace_back(look.name);
    for (const auto& state : allStates)
        columnNames.emplace_back(state.name);
    gallerykit::ContactSheet sheet(*fonts, rowNames, columnNames, kButtonWidth + 2 * kMargin,
                                   kButtonHeight + 2 * kMargin, 90);

    int count = 0;
    for (std::size_t row = 0; row < allLooks.size(); ++row) {
        for (std::size_t column = 0; column < allStates.size(); ++column) {
            const draw::Surface sample = drawSample(host, allLooks[row], allStates[column]);
            draw::writePng(sample, outDir / (std::string(allLooks[row].name) + "-" + allStates[column].name + ".png"));
            sheet.put(static_cast<int>(row), static_cast<int>(column), sample);
            ++count;
        }
    }
    sheet.surface().frameRect(sheet.cellArea(), kPopupPaper);
    draw::writePng(sheet.surface(), outDir / "contact-sheet.png");
    return count;
}

} // namespace gallery
