#include "apps/flair-gallery/Gallery.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "apps/gallery-kit/ContactSheet.h"
#include "controls/flairbutton/FlairButton.h"
#include "controls/flairbutton/FlairImages.h"
#include "platform/draw/Png.h"
#include "platform/forms/Form.h"
#include "platform/forms/SimControlEnvironment.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoop.h"

namespace flairgallery {

namespace {

using flair::FlairButton;

constexpr int kButtonWidth = sampleWidth;
constexpr int kButtonHeight = sampleHeight;
constexpr int kMargin = sampleMargin;
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

} // namespace

int renderGallery(const std::filesystem::path& outDir)
{
    gallerykit::makeOutputFolder(outDir);
    platform::sim::SimLoop loop;
    platform::sim::SimDesktop desktop{loop};
    const std::unique_ptr<platform::SystemInfo> system = gallerykit::makeSystemInfo();
    std::unique_ptr<platform::FontEngine> fonts = gallerykit::makeFontEngine();
    forms::FormsHost host{desktop, loop, *fonts, *system};

    const auto& allStates = states();
    std::vector<std::string> rowNames, columnNames;
    for (const Style& style : styles())
        for (const Variant& variant : variants())
            rowNames.push_back(std::string(style.name) + " " + variant.name);
    for (const auto& state : allStates)
        columnNames.emplace_back(state.name);
    gallerykit::ContactSheet sheet(*fonts, rowNames, columnNames, kButtonWidth + 2 * kMargin,
                                   kButtonHeight + 2 * kMargin, 120);

    int count = 0;
    int row = 0;
    for (const Style& style : styles()) {
        for (const Variant& variant : variants()) {
            for (std::size_t column = 0; column < allStates.size(); ++column) {
                const draw::Surface sample = drawSample(host, loop, style, variant, allStates[column]);
                draw::writePng(sample, outDir / (std::string(style.name) + "-" + variant.name + "-" +
                                                 allStates[column].name + ".png"));
                sheet.put(row, static_cast<int>(column), sample);
                ++count;
            }
            ++row;
        }
    }
    draw::writePng(sheet.surface(), outDir / "contact-sheet.png");
    draw::writePng(flair::contactSheet(), outDir / "built-in-pictures.png");
    return count;
}

} // namespace flairgallery
