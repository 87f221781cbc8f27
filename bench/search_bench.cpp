// Benchmarks of the search window's filter over a full store: 4095 history
// entries and 4095 registered texts of 1 KiB each (ASCII and Japanese in
// code page 932, line breaks included). Each keystroke parses the query and
// filters every entry; it is compared with the least the same job needs, a
// plain byte search (memmem) of the raw query in every raw text, measured in
// the same run. The goal is a keystroke within 30 ms.
//   keystroke/<query>:  TextMatch_ParseQuery + SearchList_Filter
//   baseline/<query>:   memmem of the query's bytes in each text, no folding
//   open:               SearchList_Build, the copy and fold made when the window opens
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "menu/searchlist.h"
#include "store/appdata.h"
#include "text/textmatch.h"

namespace {

const int FULL = 4095;
const size_t TEXT_SIZE = 1024;
const double GOAL_MS = 30.0;

// Pieces a text is made of: English, Japanese (kanji, hiragana, katakana,
// full-width letters) and a line break.
const char* const PIECES[] = {
    "the quick brown fox jumps over the lazy dog ",
    "\x89\xef\x8b\x63\x82\xcd\x8c\xdf\x8c\xe3\x82\x52\x8e\x9e\x82\xa9\x82\xe7\x82\xc5\x82\xb7\x81\x42",  // 会議は午後3時からです。
    "\x82\xe6\x82\xeb\x82\xb5\x82\xad\x82\xa8\x8a\xe8\x82\xa2\x82\xb5\x82\xdc\x82\xb7",          // よろしくお願いします
    "\x83\x4e\x83\x8a\x83\x62\x83\x76\x83\x7b\x81\x5b\x83\x68 ",                                      // クリップボード
    "\x82\x73\x82\x60\x82\x6c\x82\x60\x82\x71\x82\x68\x82\x6d ",                                      // ＴＡＭＡＲＩＮ
    "printf(\"%s\\n\", text); ",
    "\r\n",
    "https://example.com/path?id=",
};

std::string MakeText(int serial)
{
    std::string text = "clip " + std::to_string(serial) + " ";
    for (unsigned i = static_cast<unsigned>(serial); text.size() < TEXT_SIZE; i = i * 1103515245u + 12345u)
        text += PIECES[(i >> 16) % (sizeof(PIECES) / sizeof(PIECES[0]))];
    // Cut to the size without leaving half a double-byte character.
    size_t cut = 0;
    while (cut < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[cut]);
        size_t n = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
        if (cut + n > TEXT_SIZE)
            break;
        cut += n;
    }
    text.resize(cut);
    return text;
}

AppData* g_data;
std::vector<std::string> g_texts;  // the same texts, for the baseline
SearchList* g_list;

struct Query {
    const char* name;
    const char* text;
};

// From one letter (a candidate in nearly every text) to words found in few
// or none; two words; Japanese, matched in another form than typed.
const Query QUERIES[] = {
    {"one letter", "e"},
    {"word", "fox"},
    {"rare word", "clip 4094"},
    {"two words", "quick example"},
    {"miss", "zzqx"},
    {"katakana as hiragana", "\x82\xad\x82\xe8\x82\xc1\x82\xd4"},  // くりっぷ
    {"full-width as typed", "tamarin"},
    {"kanji", "\x89\xef\x8b\x63"},  // 会議
};

struct Medians {
    double keystroke = 0;  // wall-clock, ms
    double baseline = 0;
    double keystrokeCpu = 0;  // the thread's CPU time, ms: steadier on a busy machine
    double baselineCpu = 0;
    int shown = 0;
};
Medians g_medians[sizeof(QUERIES) / sizeof(QUERIES[0])];
double g_openMedian = 0;

typedef std::chrono::steady_clock Clock;

double CpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_Keystroke(benchmark::State& state, int q)
{
    std::vector<double> samples, cpu;
    TextQuery query;
    int shown = 0;
    for (auto _ : state) {
        double cpuStart = CpuMs();
        auto start = Clock::now();
        TextMatch_ParseQuery(&query, QUERIES[q].text);
        shown = SearchList_Filter(g_list, &query);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        cpu.push_back(CpuMs() - cpuStart);
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e3);
    }
    g_medians[q].keystroke = Median(samples);
    g_medians[q].keystrokeCpu = Median(cpu);
    g_medians[q].shown = shown;
    state.counters["median_ms"] = g_medians[q].keystroke;
    state.counters["shown"] = shown;
}

void BM_Baseline(benchmark::State& state, int q)
{
    std::vector<double> samples, cpu;
    const char* needle = QUERIES[q].text;
    size_t length = strlen(needle);
    for (auto _ : state) {
        double cpuStart = CpuMs();
        auto start = Clock::now();
        int found = 0;
        for (const std::string& text : g_texts)
            found += memmem(text.data(), text.size(), needle, length) != nullptr;
        benchmark::DoNotOptimize(found);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        cpu.push_back(CpuMs() - cpuStart);
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e3);
    }
    g_medians[q].baseline = Median(samples);
    g_medians[q].baselineCpu = Median(cpu);
    state.counters["median_ms"] = g_medians[q].baseline;
}

void BM_Open(benchmark::State& state)
{
    std::vector<double> samples;
    SearchOrder order = {FULL, true, true};
    for (auto _ : state) {
        auto start = Clock::now();
        SearchList* list = SearchList_Build(g_data, &order);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e3);
        SearchList_Free(list);
    }
    g_openMedian = Median(samples);
    state.counters["median_ms"] = g_openMedian;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    g_data = AppData_New();
    for (int i = FULL - 1; i >= 0; i--) {
        g_texts.push_back(MakeText(i));
        g_texts.push_back(MakeText(FULL + i));
        AppData_Add(g_data, LIST_HISTORY, g_texts[g_texts.size() - 2].c_str());
        AppData_Add(g_data, LIST_REGISTERED, g_texts.back().c_str());
    }
    SearchOrder order = {FULL, true, true};
    g_list = SearchList_Build(g_data, &order);
    if (!g_list) {
        fprintf(stderr, "no memory for the search list\n");
        return 1;
    }
    printf("store: %d history entries and %d registered texts of %zu bytes\n", FULL, FULL, TEXT_SIZE);

    const int queries = static_cast<int>(sizeof(QUERIES) / sizeof(QUERIES[0]));
    for (int q = 0; q < queries; q++) {
        benchmark::RegisterBenchmark((std::string("baseline/") + QUERIES[q].name).c_str(), BM_Baseline, q)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
        benchmark::RegisterBenchmark((std::string("keystroke/") + QUERIES[q].name).c_str(), BM_Keystroke, q)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
    }
    benchmark::RegisterBenchmark("open", BM_Open)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RunSpecifiedBenchmarks();

    printf("\nmedians in this run, keystroke / baseline (memmem of the raw bytes), goal %.0f ms a keystroke:\n", GOAL_MS);
    printf("  %-22s %28s   %28s\n", "", "wall-clock", "thread CPU");
    double worst = 0;
    for (int q = 0; q < queries; q++) {
        const Medians& m = g_medians[q];
        if (m.keystroke <= 0 || m.baseline <= 0 || m.baselineCpu <= 0)
            continue;
        worst = std::max(worst, m.keystroke);
        printf("  %-22s %7.2f / %6.2f ms = %5.2fx   %7.2f / %6.2f ms = %5.2fx   %5d shown\n", QUERIES[q].name,
               m.keystroke, m.baseline, m.keystroke / m.baseline, m.keystrokeCpu, m.baselineCpu,
               m.keystrokeCpu / m.baselineCpu, m.shown);
    }
    printf("  slowest keystroke %.2f ms (%s the goal); opening the window copies and folds in %.2f ms\n", worst,
           worst <= GOAL_MS ? "within" : "OVER", g_openMedian);
    SearchList_Free(g_list);
    AppData_Delete(g_data);
    benchmark::Shutdown();
    return 0;
}
