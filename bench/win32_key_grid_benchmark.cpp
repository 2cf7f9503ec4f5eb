// The native Windows key grid (run under Wine in the Windows stage): loading
// a key data file into a shown grid and painting it, against the core's load
// of the same file, and a page scroll with its painting at 1,000 keys
// against 100,000 keys. The files lie in BLADEWAY_BENCH_DIR when set (a
// folder on the disk, or one in memory), else in the temporary folder.
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "core/keydata/key_data_file.h"
#include "core/storage/file_system.h"
#include "grid_load_baseline.h"
#include "ratio_report.h"
#include "win32/kit/windows_api.h"
#include "win32/views/key_grid.h"

namespace bladeway::bench {
namespace {

namespace fs = std::filesystem;
using win32::KeyGrid;

const std::string& KeyFileOf(int keys) {
    static ScratchFolder folder(RunFolderParent());
    static std::map<int, std::string> paths;
    auto& path = paths[keys];
    if (path.empty())
        path = folder.Write("keys" + std::to_string(keys) + ".dat", MakeKeyDataFile(keys));
    return path;
}

// Counts the paints the grid gets, so that a grid left unpainted (a hidden
// window, or a display driver that skips painting) shows as an error
// instead of as a fast grid.
LRESULT CALLBACK CountPaints(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR paints) {
    if (message == WM_PAINT)
        ++*reinterpret_cast<std::int64_t*>(paints);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// A usual main window's grid in a plain top-level window, shown without
// taking the focus: a hidden window gets no WM_PAINT. Under Wine's null
// display driver the shown window is painted into memory as on a screen.
class ShownGrid {
  public:
    ShownGrid() {
        host_ = CreateWindowExW(0, L"STATIC", L"Bladeway benchmark",
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1280, 800, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(host_, SW_SHOWNOACTIVATE);
        RECT client{};
        GetClientRect(host_, &client);
        grid_ = std::make_unique<KeyGrid>(host_, client, 1);
        SetWindowSubclass(grid_->Handle(), CountPaints, 1, reinterpret_cast<DWORD_PTR>(&paints_));
        Paint();
    }
    ~ShownGrid() {
        RemoveWindowSubclass(grid_->Handle(), CountPaints, 1);
        grid_.reset();
        DestroyWindow(host_);
    }
    ShownGrid(const ShownGrid&) = delete;
    ShownGrid& operator=(const ShownGrid&) = delete;

    KeyGrid& Grid() { return *grid_; }
    std::int64_t Paints() const { return paints_; }
    // Paints what is invalid now, as the message loop would next.
    void Paint() { RedrawWindow(grid_->Handle(), nullptr, nullptr, RDW_UPDATENOW); }

    // As the main window loads a file into the grid: into a new sheet first.
    bool Load(const fs::path& path) {
        Sheet loaded;
        if (!LoadKeyDataFile(path.string(), loaded, Disk()))
            return false;
        grid_->SetSheet(std::move(loaded));
        return true;
    }

  private:
    HWND host_ = nullptr;
    std::unique_ptr<KeyGrid> grid_;
    std::int64_t paints_ = 0;
};

// Each iteration must have painted the grid once at least.
void RequirePaints(benchmark::State& state, std::int64_t paints) {
    if (paints < static_cast<std::int64_t>(state.iterations()))
        state.SkipWithError("the grid was not painted");
}

void CoreLoad(benchmark::State& state) {
    LoadAsAGridDoes(state, KeyFileOf(static_cast<int>(state.range(0))));
}

// Loading into the shown grid until its first page is painted.
void GridLoad(benchmark::State& state) {
    const fs::path path = KeyFileOf(static_cast<int>(state.range(0)));
    ShownGrid window;
    const std::int64_t paintsBefore = window.Paints();
    for (auto _ : state) {
        if (!window.Load(path))
            state.SkipWithError("cannot load");
        window.Paint();
    }
    RequirePaints(state, window.Paints() - paintsBefore);
}

// One page to the left and its painting per iteration, from the last page
// of the sheet to the first and again from the last: the far end, where a
// cost that grows with the column's index would show.
void ScrollPage(benchmark::State& state) {
    const fs::path path = KeyFileOf(static_cast<int>(state.range(0)));
    ShownGrid window;
    if (!window.Load(path)) {
        state.SkipWithError("cannot load");
        return;
    }
    const HWND grid = window.Grid().Handle();
    SendMessageW(grid, WM_HSCROLL, SB_RIGHT, 0);
    window.Paint();
    const int lastPage = window.Grid().ScrollOffset().x;
    const std::int64_t paintsBefore = window.Paints();
    for (auto _ : state) {
        const bool atFirstPage = window.Grid().ScrollOffset().x == 0;
        SendMessageW(grid, WM_HSCROLL, atFirstPage ? SB_RIGHT : SB_PAGELEFT, 0);
        window.Paint();
    }
    RequirePaints(state, window.Paints() - paintsBefore);
    const int columnWidth = window.Grid().Metrics().columnWidth;
    RECT client{};
    GetClientRect(grid, &client);
    state.counters["columns_per_page"] =
        static_cast<double>(client.right - window.Grid().Metrics().rowHeaderWidth) / columnWidth;
    state.counters["sheet_pages"] =
        static_cast<double>(lastPage) / (client.right - window.Grid().Metrics().rowHeaderWidth);
}

BENCHMARK(CoreLoad)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GridLoad)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ScrollPage)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace bladeway::bench

int main(int argc, char** argv) {
    using bladeway::bench::RatioFigure;
    return bladeway::bench::RunWithRatios(
        argc, argv,
        {
            {"grid load 100,000 keys / core load", "GridLoad/100000/real_time",
             "CoreLoad/100000/real_time", 1.5},
            {"page scroll, 100,000 keys / 1,000 keys", "ScrollPage/100000/real_time",
             "ScrollPage/1000/real_time", 1.5},
        });
}
