// One game-logic tick of the play field at its busiest. A mission is played
// in-process on the offscreen device with SPACE tapped as the kept mission
// script taps it (and a ship that cannot die, so the levels keep coming); the
// tick with the most live objects and particles is the busiest moment, and
// the ticks around it are timed in CPU time, without drawing.
#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/font.h"
#include "engine/video_list.h"
#include "game/particle_emitter.h"
#include "game/play_field.h"
#include "game/player_ship.h"
#include "headless_device.h"
#include "platform/d3d8/d3d8.h"
#include "platform/os/run_mode.h"
#include "shell/game_state.h"

#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

constexpr int32_t kSpace = 0x20;
constexpr int32_t kScanTicks = 4000;
constexpr int32_t kWindow = 200; // ticks timed, centred on the busiest one

// The application as its device set-up leaves it, offscreen at 800 x 600.
class Stage {
  public:
    Stage() {
        std::filesystem::current_path(BACKFIRE_BUILD_DIR); // dat/ is beside the game
        platform::UseHeadless(true);
        direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS params = HeadlessPresentParams(800, 600);
        if (direct3D == nullptr ||
            direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params,
                                   &app.device) != D3D_OK) {
            std::fprintf(stderr, "bench_tick: no offscreen device\n");
            std::exit(1);
        }
        app.presentParams = params;
        TheApplication = &app;
        TheVideoList = new VideoList;
        app.spriteQuad =
            new VideoDataObject(4 * static_cast<int32_t>(sizeof(ScreenVertex)), ScreenVertexFormat);
        TheVideoList->Add(app.spriteQuad);
        app.device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        CreateStartupFonts(&app);
        SetDefaultOptions();
        ClearProgress();
    }

    // A fresh mission, played up to (not including) tick `until`.
    void PlayTo(int32_t until) {
        ThePlayField = nullptr;
        field.reset();
        field = std::make_unique<PlayField>(0, TheOptions.gameSpeedFactor);
        ThePlayField = field.get();
        played = 0;
        while (played < until) {
            Step();
        }
    }

    // One tick with the script's taps: SPACE down for 2 ticks every 23.
    void Step() {
        if (played % 23 == 0) {
            field->KeyDown(kSpace);
        } else if (played % 23 == 2) {
            field->KeyUp(kSpace, kSpace);
        }
        field->Tick();
        if (ThePlayer != nullptr) {
            ThePlayer->hitPoints = ThePlayer->maxHitPoints = 1e9f;
        }
        ++played;
    }

    int64_t LiveThings() const {
        int64_t count = 0;
        for (OLObjectList* list : {field->list1.get(), field->mainList.get(), field->list3.get(),
                                   field->list4.get(), field->list5.get()}) {
            for (OLObject* object = list != nullptr ? list->First() : nullptr; object != nullptr;
                 object = list->Next()) {
                ++count;
            }
        }
        for (ParticleEmitter* emitter :
             {field->sparkEmitter.get(), field->burstEmitter.get(), field->debrisEmitter.get(),
              field->glowEmitter.get(), field->smokeEmitter.get(), field->exhaustEmitter.get()}) {
            count += emitter != nullptr ? emitter->CountLive() : 0;
        }
        return count;
    }

    GameApplication app;
    IDirect3D8* direct3D = nullptr;
    std::unique_ptr<PlayField> field;
    int32_t played = 0;
};

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Stage& TheStage() {
    static Stage stage;
    return stage;
}

void BusiestTick(benchmark::State& state) {
    Stage& stage = TheStage();
    static int32_t busiest = -1;
    static int64_t mostThings = 0;
    if (busiest < 0) {
        stage.PlayTo(0);
        for (int32_t tick = 0; tick < kScanTicks; ++tick) {
            stage.Step();
            if (stage.LiveThings() > mostThings) {
                mostThings = stage.LiveThings();
                busiest = tick;
            }
        }
    }
    const int32_t start = std::max(0, busiest - kWindow / 2);
    double slowest = 0;
    for (auto _ : state) {
        stage.PlayTo(start);
        double total = 0;
        for (int32_t k = 0; k < kWindow; ++k) {
            const double before = CpuSeconds();
            stage.Step();
            const double seconds = CpuSeconds() - before;
            total += seconds;
            slowest = std::max(slowest, seconds);
        }
        state.SetIterationTime(total / kWindow);
    }
    state.counters["busiest_tick"] = busiest;
    state.counters["live_objects"] = static_cast<double>(mostThings);
    state.counters["slowest_ms"] = slowest * 1e3;
}
BENCHMARK(BusiestTick)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
