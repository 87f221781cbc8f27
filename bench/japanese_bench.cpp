// Start-up with a full history of Japanese text (4095 texts of 1 KiB, code
// page 932 with CR LF line breaks), which needs no side file: the time the
// start-up's reader, StoreFile_ReadWholePath, takes to load it, as a ratio to
// one fread of the file and a scan for its NULs in the same run, and the heap
// the loaded history holds, as a ratio to the file's size. Only interfaces that builds without
// Unicode originals have too are used, so the same program measures both.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "store/appdata.h"
#include "store/storefile.h"

namespace {

const int FULL_HISTORY = 4095;
const size_t TEXT_SIZE = 1024;

std::string g_path;
size_t g_fileSize;
double g_baseline;  // medians, seconds
double g_load;
double g_heapRatio;

typedef std::chrono::steady_clock Clock;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// あいうえお漢字かな交じり文, then its number, over and over.
std::string MakeJapaneseText(int serial)
{
    static const char line[] = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8"
                               "\x8c\xf0\x82\xb6\x82\xe8\x95\xb6";
    std::string text = std::to_string(serial) + ": ";
    while (text.size() + sizeof(line) + 2 < TEXT_SIZE)
        text += std::string(line) + "\r\n";
    return text;
}

void BM_FreadBaseline(benchmark::State& state)
{
    std::vector<double> times;
    for (auto _ : state) {
        auto start = Clock::now();
        FILE* f = fopen(g_path.c_str(), "rb");
        char* bytes = static_cast<char*>(malloc(g_fileSize));
        size_t size = fread(bytes, 1, g_fileSize, f);
        fclose(f);
        size_t records = 0;
        for (const char* p = bytes; (p = static_cast<const char*>(memchr(p, 0, size - (p - bytes)))) != nullptr; p++)
            records++;
        benchmark::DoNotOptimize(records);
        free(bytes);
        double t = std::chrono::duration<double>(Clock::now() - start).count();
        times.push_back(t);
        state.SetIterationTime(t);
    }
    g_baseline = Median(times);
}

void BM_LoadJapanese(benchmark::State& state)
{
    std::vector<double> times;
    for (auto _ : state) {
        auto start = Clock::now();
        AppData* data = AppData_New();
        StoreFile_ReadWholePath(data, LIST_HISTORY, g_path.c_str());
        double t = std::chrono::duration<double>(Clock::now() - start).count();
        times.push_back(t);
        state.SetIterationTime(t);
        AppData_Delete(data);
    }
    g_load = Median(times);
    state.counters["ratio"] = g_baseline > 0 ? g_load / g_baseline : 0;
}

// The heap in use after loading, less before, over the file's size.
void BM_HeapOfJapaneseHistory(benchmark::State& state)
{
    for (auto _ : state) {
        struct mallinfo2 before = mallinfo2();
        AppData* data = AppData_New();
        StoreFile_ReadWholePath(data, LIST_HISTORY, g_path.c_str());
        struct mallinfo2 after = mallinfo2();
        g_heapRatio = static_cast<double>(after.uordblks - before.uordblks) / static_cast<double>(g_fileSize);
        AppData_Delete(data);
    }
    state.counters["heap_per_file_byte"] = g_heapRatio;
}

BENCHMARK(BM_FreadBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LoadJapanese)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_HeapOfJapaneseHistory)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/japanese_bench_XXXXXX";
    std::vector<char> folder(pattern.begin(), pattern.end());
    folder.push_back(0);
    if (!mkdtemp(folder.data()))
        return 1;
    g_path = std::string(folder.data()) + "/history.hst";
    AppData* data = AppData_New();
    for (int i = 0; i < FULL_HISTORY; i++)
        AppData_Add(data, LIST_HISTORY, MakeJapaneseText(i).c_str());
    StoreFile_WritePath(data, LIST_HISTORY, g_path.c_str());
    AppData_Delete(data);
    FILE* f = fopen(g_path.c_str(), "rb");
    fseek(f, 0, SEEK_END);
    g_fileSize = static_cast<size_t>(ftell(f));
    fclose(f);
    benchmark::RunSpecifiedBenchmarks();
    printf("\nJapanese history of %d texts, %zu bytes:\n", FULL_HISTORY, g_fileSize);
    printf("  load  %8.3f ms / fread baseline %8.3f ms = %5.2fx\n", g_load * 1e3, g_baseline * 1e3,
           g_baseline > 0 ? g_load / g_baseline : 0);
    printf("  heap of the loaded history per byte of the file: %.3f\n", g_heapRatio);
    remove(g_path.c_str());
    rmdir(folder.data());
    benchmark::Shutdown();
    return 0;
}
