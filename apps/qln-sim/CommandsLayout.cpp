// `layout FILE FORM`: where a shown form's window and controls are, as text under --out, so that
// two worlds' layouts of the same scenario can be held against each other (tests/win32/Layout*).
//
// The file holds one line each, coordinates in pixels:
//   screen WIDTH HEIGHT
//   window LEFT TOP WIDTH HEIGHT                  the form's window, on the screen
//   control NAME KIND LEFT TOP WIDTH HEIGHT TEXT  each shown control, in the form's client area,
//                                                 in the form's order; KIND "label" or "control",
//                                                 TEXT a label's caption, quoted

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/KnownForms.h"
#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"
#include "platform/forms/Form.h"
#include "platform/forms/Label.h"

namespace qln::runner {

namespace {

void writeLayout(Runtime& rt, const std::string& file, const std::string& formName)
{
    const forms::Form* form = rt.forms().find(formName);
    if (!form || !form->Loaded() || !rt.world().visible(form->hWnd()))
        throw std::runtime_error("layout: " + formName + " is not shown, so it has no layout");
    const std::filesystem::path path = std::filesystem::path(rt.options().outDir) / file;
    std::error_code error;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("layout: cannot write " + path.string());
    auto& system = rt.world().system();
    const platform::WindowRect at = rt.world().bounds(form->hWnd());
    out << "screen " << system.screenWidth() << ' ' << system.screenHeight() << '\n';
    out << "window " << at.left << ' ' << at.top << ' ' << at.width << ' ' << at.height << '\n';
    for (const auto& control : form->controls()) {
        if (!control->shown())
            continue;
        const draw::Rect box = control->clientBounds();
        const auto* label = dynamic_cast<const forms::Label*>(control.get());
        out << "control " << control->Name() << ' ' << (label ? "label" : "control") << ' ' << box.left << ' '
            << box.top << ' ' << box.right - box.left << ' ' << box.bottom - box.top << ' '
            << quoteText(label ? label->Caption() : "") << '\n';
    }
    if (!out.flush())
        throw std::runtime_error("layout: cannot write " + path.string());
    rt.note("layout", formName + ": " + path.string());
}

Action parseLayout(Args& args)
{
    const std::string file = args.word("FILE");
    const Token* formToken = args.peek();
    const std::string form = args.word("FORM");
    if (!knownForm(form))
        args.failAt(*formToken, "layout: unknown form '" + form + "' (" + knownFormNames() + ")");
    return [file, form](Runtime& rt) { writeLayout(rt, file, form); };
}

} // namespace

std::vector<CommandSpec> layoutCommands()
{
    return {
        {.name = "layout", .usage = "layout FILE FORM",
         .summary = "where the shown form's window and controls are, as text under --out", .parse = &parseLayout},
    };
}

} // namespace qln::runner
