// From an accepted item to a laid-out popup rendered into its raster (texts in ASCII, in Japanese,
// and in a mix of scripts: argument "script" 0, 1, 2), and one idle second of the notifier's timers. Goals: under 200 us per popup with fixed metrics and under 1 ms with FreeType;
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

// The texts of the item shown: ASCII, Japanese, or a mix of scripts (Latin with diacritics, Greek,
// Cyrillic, CJK, Hebrew, Arabic, an emoji).
enum class Script { Ascii = 0, Cjk = 1, Mixed = 2 };

platform::sim::MailSpec mailIn(Script script)
{
    platform::sim::MailSpec mail;
    switch (script) {
    case Script::Ascii:
        mail.senderEmail = "ann.example@mail.example.com";
        mail.senderName = "Ann Example";
        mail.to = "Bob Baker";
        mail.subject = "Quarterly figures for the board meeting on Friday";
        mail.body = "Dear Bob,\r\nplease find the figures attached; the summary is on the first page. "
                    "Let me know if anything is missing before Thursday noon.\r\n";
        break;
    case Script::Cjk:
        mail.senderEmail = "yamada@mail.example.jp";
        mail.senderName = "\u5c71\u7530\u592a\u90ce";
        mail.to = "\u4f50\u85e4\u82b1\u5b50";
        mail.subject = "\u91d1\u66dc\u65e5\u306e\u53d6\u7de0\u5f79\u4f1a\u306e\u56db\u534a\u671f\u306e\u6570\u5b57";
        mail.body = "\u4f50\u85e4\u3055\u3093\u3001\r\n\u6570\u5b57\u3092\u6dfb\u4ed8\u3057\u307e\u3057\u305f\u3002"
                    "\u8981\u7d04\u306f\u6700\u521d\u306e\u30da\u30fc\u30b8\u306b\u3042\u308a\u307e\u3059\u3002"
                    "\u6728\u66dc\u65e5\u306e\u6b63\u5348\u307e\u3067\u306b\u3054\u9023\u7d61\u304f\u3060\u3055\u3044\u3002\r\n";
        break;
    case Script::Mixed:
        mail.senderEmail = "juergen.gross@koeln.example";
        mail.senderName = "J\u00fcrgen Gro\u00df";
        mail.to = "\u0414\u043c\u0438\u0442\u0440\u0438\u0439; \u0395\u03bb\u03ad\u03bd\u03b7; \u5c71\u7530";
        mail.subject = "Gr\u00fc\u00dfe aus K\u00f6ln \u2014 \u65e5\u672c\u8a9e \u2713 \U0001F600 \u05e9\u05dc\u05d5\u05dd";
        mail.body = "\u041f\u0440\u0438\u0432\u0435\u0442! \u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1! "
                    "\u6765\u9031\u306e\u4f1a\u8b70\u306f\u91d1\u66dc\u65e5\u3067\u3059\u3002 "
                    "\u0645\u0631\u062d\u0628\u0627 \u0628\u0643\u0645. Bis bald, J\u00fcrgen\r\n";
        break;
    }
    return mail;
}

// A running notifier over a running simulated Outlook, with one item shown, its settings written
// as after the options page's first Apply.
struct Notifier {
    explicit Notifier(platform::FontEngine& fonts, Script script = Script::Ascii)
        : host(world.desktop, world.loop, fonts, world.system)
    {
        world.outlookStart();
        services.settings.write(settings::GetStart, 0);
        popup = std::make_unique<qln::frmNewMail>(host, services);
        popup->Load();
        world.loop.runPending();
        world.outlook.deliver("Inbox", mailIn(script));
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
    Notifier n(fonts, static_cast<Script>(state.range(0)));
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
BENCHMARK(BM_PopupFixedFonts)->ArgName("script")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

#ifdef QLN_HAVE_FREETYPE
void BM_PopupFreeType(benchmark::State& state)
{
    fonts::FreeTypeFontEngine engine;
    composeAndRender(state, engine);
}
BENCHMARK(BM_PopupFreeType)->ArgName("script")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
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
