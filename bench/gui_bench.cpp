// How quickly the main window answers. Goals on the CI machine: a click on a
// volume of 1,000,000 names fills lstData and paints it in under 400 ms with
// the whole process under 120 MB; start-up to the main window shown (splash
// off, extractor present) takes under 300 ms.
#include "qt/FileListBox.h"
#include "qt/NameListBox.h"
#include "qt/frmMain.h"
#include "services/MessageBox.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <QApplication>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

namespace {

using tarnwick::test::TempDir;
using tarnwick::test::WriteFile;

// Boxes would block a bench; any that comes up is counted and fails it.
class CountingSink : public tarnwick::MessageSink {
public:
    tarnwick::MsgAnswer Show(const tarnwick::MessageRequest&) override
    {
        ++shown;
        return tarnwick::MsgAnswer::OK;
    }
    void Beep() override {}
    int shown = 0;
};

// A program folder with the extractor's stand-in, its settings (splash off)
// and a folder of volumes: a big one and a small one.
struct Fixture {
    TempDir dir;
    std::string vols;
    explicit Fixture(long long names = 100000)
    {
        vols = dir / "vols";
        tarnwick::VolumeWriter big;
        char name[64];
        for (long long i = 0; i < names; ++i) {
            // Stored out of order, so that the listing has to sort.
            std::snprintf(name, sizeof name, "scripts\\part%03lld\\file%07lld.cs", (i * 7919) % 1000, (i * 104729) % names);
            big.Add(name, {});
        }
        WriteFile(vols + "/big.vol", big.Build());
        tarnwick::VolumeWriter small;
        small.Add("one.cs", "x");
        WriteFile(vols + "/small.vol", small.Build());
        WriteFile(dir / "extract", "stand-in");
        WriteFile(dir / "cairnix.ini", "[Tarnwick]\nSplash=0\nExtract=" + (dir / "extract") + "\nStart=" + vols + "\n");
    }
    tarnwick::StartupOptions Options() const
    {
        tarnwick::StartupOptions o;
        o.programFolder = dir.Path();
        o.settingsPath = dir / "cairnix.ini";
        return o;
    }
};

// The process's peak resident size since the last reset, in bytes.
long long PeakResident()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long long kib = 0;
            status >> kib;
            return kib * 1024;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}
void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

int RowOf(const QListWidget* list, const char* text)
{
    const auto found = list->findItems(QString::fromLatin1(text), Qt::MatchExactly);
    return found.isEmpty() ? -1 : list->row(found.front());
}

void BM_ListNames(benchmark::State& state)
{
    const long long names = state.range(0);
    auto f = std::make_unique<Fixture>(names);
    CountingSink sink;
    tarnwick::SetMessageSink(&sink);
    auto window = std::make_unique<tarnwick::frmMain>(f->Options());
    if (!window->Form_Load()) {
        state.SkipWithError("start-up refused");
        return;
    }
    window->show();
    malloc_trim(0);
    ResetPeakResident();
    long long peak = 0;
    QApplication::processEvents();
    const int bigRow = RowOf(window->filVolumes, "big.vol");
    const int smallRow = RowOf(window->filVolumes, "small.vol");
    for (auto _ : state) {
        state.PauseTiming();
        emit window->filVolumes->itemClicked(window->filVolumes->item(smallRow));
        QApplication::processEvents();
        state.ResumeTiming();
        emit window->filVolumes->itemClicked(window->filVolumes->item(bigRow));
        // Filled means laid out and painted, not just handed over.
        window->lstData->viewport()->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        peak = std::max(peak, PeakResident());
        state.ResumeTiming();
    }
    state.counters["process_MB"] = static_cast<double>(peak) / 1e6;
    if (window->lstData->count() != names || sink.shown != 0)
        state.SkipWithError("the big volume was not listed whole");
    window.reset();
    tarnwick::SetMessageSink(nullptr);
}
BENCHMARK(BM_ListNames)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_StartUpToMainWindowShown(benchmark::State& state)
{
    Fixture f;
    CountingSink sink;
    tarnwick::SetMessageSink(&sink);
    for (auto _ : state) {
        // Destroyed without closing, so no iteration writes the settings.
        auto window = std::make_unique<tarnwick::frmMain>(f.Options());
        if (!window->Form_Load()) {
            state.SkipWithError("start-up refused");
            break;
        }
        window->show();
        window->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (sink.shown != 0)
        state.SkipWithError("a message box came up during start-up");
    tarnwick::SetMessageSink(nullptr);
}
BENCHMARK(BM_StartUpToMainWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
