// Text drawing per frame: 50 word-wrapped text variables of 200 characters each, drawn into
// a 640x480 back buffer at 32 bits, as the level draws its texts without a map. Also the
// same texts laid out in a typewriter effect that restarts, and a console of 400 lines that
// scrolls to its end.

#include <kiv/Kiv.h>

#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "platform/headless/HeadlessPlatform.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

constexpr int TextCount = 50;
constexpr int TextLength = 200;

std::string SampleText() {
    static const char* const words[] = {"score", "level", "time",  "lives", "bonus",
                                        "The",   "quick", "brown", "fox",   "jumps"};
    std::string text;
    for (int i = 0; text.size() < TextLength; ++i) {
        text += words[i % 10];
        text += i % 7 == 6 ? '\n' : ' ';
    }
    text.resize(TextLength);
    return text;
}

// A display and a level with 50 texts tiled over the screen.
class Scene {
public:
    explicit Scene(Variable::EffectType effect = Variable::NoEffect) {
        kiv::platform::headless::Install();
        SetMode(640, 480, 32);
        _IsWindowed = true;
        kiv::InitGraphics();
        gNode = &level;
        std::string text = SampleText();
        for (int i = 0; i < TextCount; ++i) {
            auto* v = new Variable(text.c_str());
            v->DisplayType(Variable::RespectingWords);
            v->Color(0x00FFFFFF);
            int x = (i % 5) * 128, y = (i / 5) * 48;
            v->Frame({x, y, x + 127, y + 120});
            if (effect != Variable::NoEffect) {
                v->Delay(1, 1);
                v->Effect(effect);
            }
            level.Add(v);
        }
    }
    ~Scene() {
        gNode = nullptr;
        kiv::CloseGraphics();
    }
    GameNode level;
};

void TextsPerFrame(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        kiv::ClearBackBuffer();
        scene.level.DisplayTextNoMap();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * TextCount * TextLength);
}
BENCHMARK(TextsPerFrame)->Unit(benchmark::kMicrosecond);

// The same frame without the pixels: the back buffer clear alone.
void ClearOnly(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        kiv::ClearBackBuffer();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ClearOnly)->Unit(benchmark::kMicrosecond);

// Texts whose value changes every frame while a typewriter effect runs on them: each
// change restarts the effect, which measures how much of the text fits its frame.
void ChangingTextsWithEffect(benchmark::State& state) {
    Scene scene(Variable::CharacterByCharacterEffect);
    int frame = 0;
    for (auto _ : state) {
        kiv::ClearBackBuffer();
        for (node* n = scene.level.Variables().Head(); !n->EOList(); n = n->Next())
            if (frame % 10 == 0)
                *static_cast<Variable*>(n) = SampleText().c_str();
        scene.level.DisplayTextNoMap();
        ++frame;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * TextCount * TextLength);
}
BENCHMARK(ChangingTextsWithEffect)->Unit(benchmark::kMicrosecond);

void ConsoleOf400Lines(benchmark::State& state) {
    // The console writes its log into the working folder.
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    {
        Scene scene;
        Console console;
        std::string text;
        for (int i = 0; i < 400; ++i)
            text += "User Error : line " + std::to_string(i) + " of the console\n";
        console = text.c_str();
        console.Print("the last line\n");
        for (auto _ : state) {
            kiv::ClearBackBuffer();
            console.Display();
            benchmark::ClobberMemory();
        }
    }
    std::filesystem::current_path(previous);
}
BENCHMARK(ConsoleOf400Lines)->Unit(benchmark::kMicrosecond);

} // namespace
