// Store-file benchmarks on a full history (4095 texts of 1 KiB with CR LF
// line breaks), each compared with plain stdio doing the least the same job
// needs, measured in the same run:
//   save:    StoreFile_WritePath      vs one fwrite of the file's bytes + the same flush and rename
//   load:    StoreFile_ReadWholePath  vs one fread of the file + a scan for its NULs
//   addclip: AppData_AddClip (writes the file beside this program) vs the save baseline
//   addclip with originals: the same on a full history of which one text in
//            ten has a Unicode original (a side file beside the history):
//            a plain clip (the side file stays) and a clip with an original
//            (the side file is rewritten), each against the save baseline
//            measured right before it in the same iteration, so that a disk
//            busy with other work weighs on both alike
// The ratio of the medians is printed as the counter "ratio" and in a summary,
// for wall-clock time (what the user waits for, fsync included) and for the
// thread's CPU time (steadier on a busy machine, but blind to disk waits).
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "settings/appinfo.h"
#include "settings/apppath.h"
#include "store/appdata.h"
#include "settings/filereplace.h"
#include "store/storefile.h"

namespace {

const int FULL_HISTORY = 4095;
const size_t TEXT_SIZE = 1024;

std::string g_folder;
std::string g_historyPath; // the file the benchmarks save and load
std::string g_image;       // its bytes

struct Result {
    const char* name;
    double goal;
    double wall = 0; // medians, seconds
    double cpu = 0;
};

Result g_saveBase = {"save baseline", 0};
Result g_save = {"save (StoreFile_WritePath)", 1.5};
Result g_loadBase = {"load baseline", 0};
Result g_load = {"load (StoreFile_ReadWholePath)", 2.0};
Result g_addClip = {"AppData_AddClip, full history", 0};
Result g_addPlain = {"AddClip, 1/10 originals, plain", 2.0};
Result g_addPlainBase = {"its interleaved save baseline", 0};
Result g_addOriginal = {"AddClip, 1/10 originals, Unicode", 2.0};
Result g_addOriginalBase = {"its interleaved save baseline", 0};

typedef std::chrono::steady_clock Clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

double CpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// One measured run of an operation: wall-clock and CPU time.
struct Stopwatch {
    Clock::time_point wallStart;
    double cpuStart;
};

Stopwatch StartWatch()
{
    Stopwatch w;
    w.cpuStart = CpuSeconds();
    w.wallStart = Clock::now();
    return w;
}

struct Samples {
    std::vector<double> wall;
    std::vector<double> cpu;
};

void StopWatch(benchmark::State& state, const Stopwatch& w, Samples* samples)
{
    double wall = Seconds(w.wallStart, Clock::now());
    samples->cpu.push_back(CpuSeconds() - w.cpuStart);
    samples->wall.push_back(wall);
    state.SetIterationTime(wall);
}

double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void Report(benchmark::State& state, Result* result, const Samples& samples, const Result* baseline)
{
    result->wall = Median(samples.wall);
    result->cpu = Median(samples.cpu);
    state.counters["median_ms"] = result->wall * 1e3;
    state.counters["cpu_median_ms"] = result->cpu * 1e3;
    if (baseline && baseline->wall > 0 && baseline->cpu > 0) {
        state.counters["ratio"] = result->wall / baseline->wall;
        state.counters["cpu_ratio"] = result->cpu / baseline->cpu;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_image.size()));
}

std::string MakeText(int serial)
{
    std::string text = "clip " + std::to_string(serial) + ": ";
    for (int line = 0; text.size() < TEXT_SIZE; line++)
        text += "the quick brown fox jumps over the lazy dog, line " + std::to_string(line) + "\r\n";
    text.resize(TEXT_SIZE);
    return text;
}

AppData* FullHistory()
{
    AppData* data = AppData_New();
    for (int i = 0; i < FULL_HISTORY; i++)
        AppData_Add(data, LIST_HISTORY, MakeText(i).c_str());
    return data;
}

// The Unicode original of text serial: the same text with an accent and an
// emoji in front, whose code page 932 form begins with "? ".
std::string OriginalOf(int serial)
{
    return "\xC3\xA9\xF0\x9F\x98\x80 " + MakeText(serial);
}

std::string FormOf(int serial)
{
    return "?? " + MakeText(serial);
}

AppData* FullHistoryWithOriginals()
{
    AppData* data = AppData_New();
    for (int i = 0; i < FULL_HISTORY; i++) {
        if (i % 10 == 0)
            AppData_AddWithOriginal(data, LIST_HISTORY, FormOf(i).c_str(), OriginalOf(i).c_str());
        else
            AppData_Add(data, LIST_HISTORY, MakeText(i).c_str());
    }
    return data;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    char block[65536];
    size_t n;
    while ((n = fread(block, 1, sizeof(block), f)) > 0)
        bytes.append(block, n);
    fclose(f);
    return bytes;
}

void BM_SaveBaseline(benchmark::State& state)
{
    std::string path = g_folder + "/baseline.hst";
    std::string tmp = path + ".tmp";
    Samples samples;
    for (auto _ : state) {
        Stopwatch watch = StartWatch();
        FILE* f = fopen(tmp.c_str(), "wb");
        fwrite(g_image.data(), 1, g_image.size(), f);
        fflush(f);
        FileReplace_FlushToDisk(f);
        fclose(f);
        FileReplace_Replace(tmp.c_str(), path.c_str());
        StopWatch(state, watch, &samples);
    }
    remove(path.c_str());
    Report(state, &g_saveBase, samples, nullptr);
}

void BM_SaveHistory(benchmark::State& state)
{
    AppData* data = FullHistory();
    Samples samples;
    for (auto _ : state) {
        Stopwatch watch = StartWatch();
        StoreFile_WritePath(data, LIST_HISTORY, g_historyPath.c_str());
        StopWatch(state, watch, &samples);
    }
    AppData_Delete(data);
    Report(state, &g_save, samples, &g_saveBase);
}

void BM_LoadBaseline(benchmark::State& state)
{
    Samples samples;
    size_t records = 0;
    for (auto _ : state) {
        Stopwatch watch = StartWatch();
        FILE* f = fopen(g_historyPath.c_str(), "rb");
        char* bytes = static_cast<char*>(malloc(g_image.size()));
        size_t size = fread(bytes, 1, g_image.size(), f);
        fclose(f);
        records = 0;
        for (const char* p = bytes; (p = static_cast<const char*>(memchr(p, 0, size - (p - bytes)))) != nullptr; p++)
            records++;
        benchmark::DoNotOptimize(records);
        free(bytes);
        StopWatch(state, watch, &samples);
    }
    state.counters["records"] = static_cast<double>(records);
    Report(state, &g_loadBase, samples, nullptr);
}

void BM_LoadHistory(benchmark::State& state)
{
    Samples samples;
    int records = 0;
    for (auto _ : state) {
        Stopwatch watch = StartWatch();
        AppData* data = AppData_New();
        StoreFile_ReadWholePath(data, LIST_HISTORY, g_historyPath.c_str());
        StopWatch(state, watch, &samples);
        records = AppData_GetCount(data, LIST_HISTORY);
        AppData_Delete(data);
    }
    state.counters["records"] = records;
    Report(state, &g_load, samples, &g_loadBase);
}

void BM_AddClipFull(benchmark::State& state)
{
    AppData* data = FullHistory();
    AppInfo info;
    memset(&info, 0, sizeof(info));
    info.historyMax = FULL_HISTORY;
    info.historyEnabled = true;
    info.useHistoryFile = true;
    Samples samples;
    int serial = FULL_HISTORY;
    for (auto _ : state) {
        std::string text = MakeText(serial++);
        Stopwatch watch = StartWatch();
        AppData_AddClip(data, text.c_str(), &info);
        StopWatch(state, watch, &samples);
    }
    AppData_Delete(data);
    char path[APP_FILE_PATH_SIZE];
    if (GetAppFilePath(path, sizeof(path), ".hst"))
        remove(path);
    Report(state, &g_addClip, samples, &g_saveBase);
}

// One save baseline: the history file's bytes written, flushed and renamed.
void WriteBaseline(const std::string& path)
{
    std::string tmp = path + ".tmp";
    FILE* f = fopen(tmp.c_str(), "wb");
    fwrite(g_image.data(), 1, g_image.size(), f);
    fflush(f);
    FileReplace_FlushToDisk(f);
    fclose(f);
    FileReplace_Replace(tmp.c_str(), path.c_str());
}

// Every clip of the run is a new text, so each one trims the oldest entry;
// withOriginal: each clip has an original, so the side file changes each time.
void AddClipsWithOriginals(benchmark::State& state, bool withOriginal, Result* result, Result* baseline)
{
    AppData* data = FullHistoryWithOriginals();
    AppInfo info;
    memset(&info, 0, sizeof(info));
    info.historyMax = FULL_HISTORY;
    info.historyEnabled = true;
    info.useHistoryFile = true;
    AppData_SaveHistory(data, &info);  // the side file as a start would have read it
    std::string basePath = g_folder + "/interleaved.hst";
    Samples samples, baseSamples;
    int serial = FULL_HISTORY;
    for (auto _ : state) {
        std::string text = withOriginal ? FormOf(serial) : MakeText(serial);
        std::string original = OriginalOf(serial);
        serial++;
        Stopwatch base = StartWatch();
        WriteBaseline(basePath);
        baseSamples.wall.push_back(Seconds(base.wallStart, Clock::now()));
        baseSamples.cpu.push_back(CpuSeconds() - base.cpuStart);
        Stopwatch watch = StartWatch();
        AppData_AddClipWithOriginal(data, text.c_str(), withOriginal ? original.c_str() : nullptr, &info);
        StopWatch(state, watch, &samples);
    }
    AppData_Delete(data);
    remove(basePath.c_str());
    char path[APP_FILE_PATH_SIZE];
    if (GetAppFilePath(path, sizeof(path), ".hst")) {
        remove(path);
        remove((std::string(path) + ".utf8").c_str());
    }
    baseline->wall = Median(baseSamples.wall);
    baseline->cpu = Median(baseSamples.cpu);
    Report(state, result, samples, baseline);
}

void BM_AddClipPlainBesideOriginals(benchmark::State& state)
{
    AddClipsWithOriginals(state, false, &g_addPlain, &g_addPlainBase);
}

void BM_AddClipWithOriginal(benchmark::State& state)
{
    AddClipsWithOriginals(state, true, &g_addOriginal, &g_addOriginalBase);
}

BENCHMARK(BM_SaveBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveHistory)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LoadHistory)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_AddClipFull)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AddClipPlainBesideOriginals)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AddClipWithOriginal)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void PrintRatio(const Result& subject, const Result& baseline)
{
    if (subject.wall <= 0 || baseline.wall <= 0 || baseline.cpu <= 0)
        return;
    double ratio = subject.wall / baseline.wall;
    double cpuRatio = subject.cpu / baseline.cpu;
    printf("  %-32s wall %8.3f / %8.3f ms = %5.2fx   cpu %8.3f / %8.3f ms = %5.2fx", subject.name, subject.wall * 1e3,
           baseline.wall * 1e3, ratio, subject.cpu * 1e3, baseline.cpu * 1e3, cpuRatio);
    if (subject.goal > 0)
        printf("   goal <= %.1fx", subject.goal);
    printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/store_bench_XXXXXX";
    std::vector<char> folder(pattern.begin(), pattern.end());
    folder.push_back(0);
    if (!mkdtemp(folder.data())) {
        perror("mkdtemp");
        return 1;
    }
    g_folder = folder.data();
    g_historyPath = g_folder + "/history.hst";
    AppData* data = FullHistory();
    StoreFile_WritePath(data, LIST_HISTORY, g_historyPath.c_str());
    AppData_Delete(data);
    g_image = ReadWholeFile(g_historyPath);
    printf("history file: %d texts, %zu bytes\n", FULL_HISTORY, g_image.size());

    benchmark::RunSpecifiedBenchmarks();

    printf("\nmedians, this program / baseline, in this run:\n");
    PrintRatio(g_save, g_saveBase);
    PrintRatio(g_load, g_loadBase);
    PrintRatio(g_addClip, g_saveBase);
    PrintRatio(g_addPlain, g_addPlainBase);
    PrintRatio(g_addOriginal, g_addOriginalBase);

    remove(g_historyPath.c_str());
    rmdir(g_folder.c_str());
    benchmark::Shutdown();
    return 0;
}
