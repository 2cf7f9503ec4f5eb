// The desktop program, run offscreen: start-up to the first shown window,
// loading a key data file into the grid against the core load alone, a
// scripted scroll over the whole sheet, and peak memory with a loaded file
// against the empty program (measured in child processes).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QWindow>
#include <benchmark/benchmark.h>

#include "app/app_environment.h"
#include "app/key_grid_model.h"
#include "app/main_window.h"
#include "bench_data.h"
#include "core/storage/file_system.h"
#include "grid_load_baseline.h"
#include "qt_views/about_dialog.h"
#include "ratio_report.h"

namespace bladeway::bench {
namespace {

namespace fs = std::filesystem;

ScratchFolder& Scratch() {
    static ScratchFolder folder;
    return folder;
}

const std::string& KeyFileOf(int keys) {
    static std::map<int, std::string> paths;
    auto& path = paths[keys];
    if (path.empty())
        path = Scratch().Write("keys" + std::to_string(keys) + ".dat", MakeKeyDataFile(keys));
    return path;
}

// The real program's surroundings, with the program file in the scratch
// folder and the About box closed as soon as it shows.
AppEnvironment BenchEnvironment() {
    AppEnvironment environment = DesktopEnvironment();
    environment.programPath = (Scratch().Path() / "bladeway").string();
    environment.showStartupAbout = [](AboutModel& model, QWidget* parent) {
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        ShowAboutDialog(model, parent);
    };
    environment.endProgram = [] {};
    return environment;
}

void WaitUntilExposed(QWidget& widget) {
    while (!widget.windowHandle() || !widget.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    QApplication::processEvents();
}

// Starts the main window as the program does and waits until it is on screen.
void StartAndShow(MainWindow& form) {
    form.Load();
    form.show();
    WaitUntilExposed(form);
}

// A bare window, made and shown: what any Qt program pays.
void BareWindowShown(benchmark::State& state) {
    for (auto _ : state) {
        QWidget window;
        window.resize(800, 600);
        window.show();
        WaitUntilExposed(window);
    }
}

void StartupToFirstWindow(benchmark::State& state) {
    for (auto _ : state) {
        MainWindow form(BenchEnvironment());
        StartAndShow(form);
    }
}

void CoreLoad(benchmark::State& state) {
    LoadAsAGridDoes(state, KeyFileOf(static_cast<int>(state.range(0))));
}

// Loading into the grid of a shown main window, until the view has shown it.
void GridLoad(benchmark::State& state) {
    const fs::path path = KeyFileOf(static_cast<int>(state.range(0)));
    MainWindow form(BenchEnvironment());
    StartAndShow(form);
    const std::string folder = path.parent_path().string();
    const std::string name = path.filename().string();
    for (auto _ : state) {
        form.Model().FileChosen(folder, name);
        if (form.Model().KeyCells().LoadedContent().empty())
            state.SkipWithError("cannot load");
        form.GridView().viewport()->repaint();
        QApplication::processEvents();
    }
}

// Page by page from the first key to the last, each page painted before
// the next; the time is per page.
void ScrollWholeSheet(benchmark::State& state) {
    const fs::path path = KeyFileOf(static_cast<int>(state.range(0)));
    MainWindow form(BenchEnvironment());
    StartAndShow(form);
    form.Model().FileChosen(path.parent_path().string(), path.filename().string());
    form.resize(1280, 800);  // a usual window, not the first-start size
    QApplication::processEvents();
    QScrollBar& bar = *form.GridView().horizontalScrollBar();
    std::int64_t pages = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        bar.setValue(bar.minimum());
        while (true) {
            // Painted into an image, so that every page is drawn whatever the
            // platform's window system skips.
            benchmark::DoNotOptimize(form.GridView().viewport()->grab());
            ++pages;
            if (bar.value() >= bar.maximum())
                break;
            bar.setValue(bar.value() + std::max(bar.pageStep(), 1));
        }
    }
    state.SetItemsProcessed(pages);
    state.counters["columns_per_page"] = bar.pageStep();
    state.counters["view_width"] = form.GridView().viewport()->width();
    state.counters["pages"] = static_cast<double>(pages) / static_cast<double>(state.iterations());
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    state.counters["ms_per_page"] = elapsed.count() / static_cast<double>(pages);
}

BENCHMARK(BareWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(StartupToFirstWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CoreLoad)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GridLoad)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ScrollWholeSheet)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The child: the program shown, with the file (if any) loaded and painted;
// prints its peak resident size in kB.
int MemoryChild(const char* keyFile) {
    MainWindow form(BenchEnvironment());
    StartAndShow(form);
    if (keyFile && *keyFile) {
        const fs::path path = keyFile;
        form.Model().FileChosen(path.parent_path().string(), path.filename().string());
        if (form.Model().KeyCells().LoadedContent().empty())
            return 1;
        form.GridView().viewport()->repaint();
        QApplication::processEvents();
    }
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            std::printf("%ld\n", std::strtol(line.c_str() + 6, nullptr, 10));
            return 0;
        }
    }
    return 1;
}

// Peak kB of a child started with `keyFile` (empty for none); -1 on failure.
long ChildPeakKilobytes(const std::string& keyFile) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::execl("/proc/self/exe", "desktop_benchmark", "--memory-child", keyFile.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    char text[64] = {};
    const ssize_t got = ::read(pipeEnds[0], text, sizeof text - 1);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::strtol(text, nullptr, 10);
}

void ReportMemory() {
    const std::string& file = KeyFileOf(100000);
    const long empty = ChildPeakKilobytes("");
    const long loaded = ChildPeakKilobytes(file);
    const double fileKilobytes = static_cast<double>(fs::file_size(file)) / 1024.0;
    std::printf("peak memory: empty program %ld kB, with the 100,000-key file (%.0f kB) %ld kB\n",
                empty, fileKilobytes, loaded);
    if (empty > 0 && loaded > 0)
        PrintFigure("peak memory above empty / file size, 100,000 keys",
                    static_cast<double>(loaded - empty) / fileKilobytes, 3.0);
}

}  // namespace
}  // namespace bladeway::bench

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc >= 2 && std::strcmp(argv[1], "--memory-child") == 0)
        return bladeway::bench::MemoryChild(argc >= 3 ? argv[2] : nullptr);

    using bladeway::bench::RatioFigure;
    const int status = bladeway::bench::RunWithRatios(
        argc, argv,
        {
            {"start-up to first window / bare Qt window shown", "StartupToFirstWindow/real_time",
             "BareWindowShown/real_time", 0},
            {"grid load 100,000 keys / core load", "GridLoad/100000/real_time",
             "CoreLoad/100000/real_time", 1.5},
            // 100 times the keys make 100 times the pages.
            {"scroll per page, 100,000 keys / 1,000 keys",
             "ScrollWholeSheet/100000/iterations:1/real_time",
             "ScrollWholeSheet/1000/iterations:1/real_time", 1.5, 100.0},
        });
    bladeway::bench::ReportMemory();
    return status;
}
