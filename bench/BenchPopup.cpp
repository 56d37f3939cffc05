// From an accepted item to a laid-out popup rendered into its raster, and one idle second of the
// notifier's timers. Goals: under 200 us per popup with fixed metrics and under 1 ms with FreeType;
// an idle second under 10 us of work.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "notifier/core/NotifierServices.h"
#include "notifier/window/frmNewMail.h"
#include "platform/draw/Surface.h"
#include "platform/fonts/FixedFontEngine.h"
#include "platform/sim/SimWorld.h"
#ifdef QLN_HAVE_FREETYPE
#include "platform/fonts/FreeTypeFontEngine.h"
#endif

namespace {

namespace settings = qln::settings;

// A running notifier over a running simulated Outlook, with one item shown, its settings written
// as after the options page's first Apply.
struct Notifier {
    explicit Notifier(platform::FontEngine& fonts) : host(world.desktop, world.loop, fonts, world.system)
    {
        world.outlookStart();
        services.settings.write(settings::GetStart, 0);
        popup = std::make_unique<qln::frmNewMail>(host, services);
        popup->Load();
        world.loop.runPending();
        platform::sim::MailSpec mail;
        mail.senderEmail = "ann.example@mail.example.com";
        mail.senderName = "Ann Example";
        mail.to = "Bob Baker";
        mail.subject = "Quarterly figures for the board meeting on Friday";
        mail.body = "Dear Bob,\r\nplease find the figures attached; the summary is on the first page. "
                    "Let me know if anything is missing before Thursday noon.\r\n";
        world.outlook.deliver("Inbox", mail);
        world.loop.runPending();
    }

    platform::sim::SimWorld world;
    qln::NotifierServices services{world.registry, world.files, world.system, world.desktop,
                                   world.loop,     world.loop,  world.outlook};
    forms::FormsHost host;
    std::unique_ptr<qln::frmNewMail> popup;
};

void composeAndRender(benchmark::State& state, platform::FontEngine& fonts)
{
    Notifier n(fonts);
    if (n.popup->state().CurrentSlot < 0) {
        state.SkipWithError("the item was not shown");
        return;
    }
    draw::Surface surface;
    for (auto _ : state) {
        n.popup->ComposeContent(n.popup->state().CurrentSlot, qln::ComposeKind::ArrivalByIdentifiers);
        n.popup->render(surface);
        benchmark::DoNotOptimize(surface);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_PopupFixedFonts(benchmark::State& state)
{
    fonts::FixedFontEngine engine;
    composeAndRender(state, engine);
}
BENCHMARK(BM_PopupFixedFonts)->Unit(benchmark::kMicrosecond);

#ifdef QLN_HAVE_FREETYPE
void BM_PopupFreeType(benchmark::State& state)
{
    fonts::FreeTypeFontEngine engine;
    composeAndRender(state, engine);
}
BENCHMARK(BM_PopupFreeType)->Unit(benchmark::kMicrosecond);
#endif

// One second of the notifier's running timers with nothing to do: the queue tick and the poll (two
// registry reads and one look for Outlook's main window); the countdown is not running.
void BM_IdleSecond(benchmark::State& state)
{
    fonts::FixedFontEngine engine;
    Notifier n(engine);
    n.popup->DismissPopup();
    n.world.loop.advance(10'000);  // past the load delay
    for (auto _ : state)
        n.world.loop.advance(1000);
    if (!n.popup->Loaded())
        state.SkipWithError("the notifier ended: the poll found no Outlook");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IdleSecond)->Unit(benchmark::kMicrosecond);

} // namespace
