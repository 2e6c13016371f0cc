// The catalogue's INI reader beside inih, inih's INIReader and SimpleIni, and
// a bare fgets read of the same file (the I/O floor): loading, lookups and
// the model-list fill. Test files are written to a scratch folder first.
//
// inih's Debian build joins indented lines and cuts lines at 200 bytes, so
// every file here is unindented with short lines.
#include <benchmark/benchmark.h>

#include <INIReader.h>
#include <ini.h>
#include <malloc.h>
#include <unistd.h>

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION  // Debian keeps the template bodies behind this
#include <SimpleIni.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "catalog/heap.h"
#include "catalog/ini_document.h"
#include "catalog/model_list.h"

using namespace catalog;

namespace {

struct TestFile {
    const char* label;
    std::string path;
    size_t bytes = 0;
};

std::filesystem::path g_folder;
TestFile g_files[3] = {{"100k_keys_1_section", {}}, {"10k_sections_of_10", {}}, {"50MB", {}}};

std::string SectionName(int s) { return "Section" + std::to_string(s); }
std::string KeyName(int k) { return "Key" + std::to_string(k); }

void WriteTestFile(TestFile& file, const std::string& name, int sections, int keysPerSection) {
    file.path = (g_folder / name).string();
    std::FILE* out = std::fopen(file.path.c_str(), "wb");
    std::string line;
    for (int s = 0; s < sections; ++s) {
        std::fprintf(out, "[%s]\r\n", SectionName(s).c_str());
        if (s % 10 == 0) std::fprintf(out, "; section %d\r\n", s);
        for (int k = 0; k < keysPerSection; ++k) {
            std::fprintf(out, "%s = S%d-V200R%03dC%02d value text %d\r\n", KeyName(k).c_str(), s, k % 1000,
                         k % 100, s * k);
        }
    }
    file.bytes = static_cast<size_t>(std::ftell(out));
    std::fclose(out);
}

void WriteTestFiles() {
    g_folder = std::filesystem::temp_directory_path() / ("brenvik_catalog_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(g_folder / "config");
    WriteTestFile(g_files[0], "big_section.ini", 1, 100000);
    WriteTestFile(g_files[1], "many_sections.ini", 10000, 10);
    WriteTestFile(g_files[2], "fifty_mb.ini", 12000, 100);  // ~50 MB

    std::FILE* list = std::fopen((g_folder / "config" / "hw_switch_model.ini").c_str(), "wb");
    std::fprintf(list, "; models\r\n[config]\r\ncount = 40\r\n[TYPE]\r\n");
    for (int i = 0; i < 40; ++i) std::fprintf(list, "TYPE%d = S%d-V200R%03dC00\r\n", i, 5700 + i, i);
    std::fclose(list);
}

size_t HeapInUse() { return mallinfo2().uordblks; }

// The catalogue's heap, counted: live bytes and their peak, each block with
// its allocator header (what mallinfo2 counts for the other libraries).
size_t g_live = 0, g_peak = 0;
size_t Footprint(void* p) { return malloc_usable_size(p) + sizeof(size_t); }
void* CountedMalloc(size_t size) {
    void* p = std::malloc(size);
    if (p) g_peak = std::max(g_peak, g_live += Footprint(p));
    return p;
}
void* CountedCalloc(size_t count, size_t size) {
    void* p = std::calloc(count, size);
    if (p) g_peak = std::max(g_peak, g_live += Footprint(p));
    return p;
}
void* CountedRealloc(void* old, size_t size) {
    const size_t before = old ? Footprint(old) : 0;
    void* p = std::realloc(old, size);
    if (p) g_peak = std::max(g_peak, g_live += Footprint(p) - before);
    return p;
}
void CountedFree(void* p) {
    if (p) g_live -= Footprint(p);
    std::free(p);
}

void ReportMemory(benchmark::State& state, const TestFile& file, size_t kept) {
    state.counters["kept_x_file"] = static_cast<double>(kept) / static_cast<double>(file.bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes));
}

// ---- loading ----------------------------------------------------------------

void BM_Load_Fgets(benchmark::State& state, int index) {
    const TestFile& file = g_files[index];
    std::vector<char> line(kIniLinePieceMax + 1);
    for (auto _ : state) {
        std::FILE* in = std::fopen(file.path.c_str(), "rb");
        size_t lines = 0;
        while (std::fgets(line.data(), static_cast<int>(line.size()), in)) ++lines;
        std::fclose(in);
        benchmark::DoNotOptimize(lines);
    }
    ReportMemory(state, file, 0);
}

void BM_Load_Inih(benchmark::State& state, int index) {
    const TestFile& file = g_files[index];
    for (auto _ : state) {
        const int result = ini_parse(file.path.c_str(), [](void*, const char*, const char*, const char*) { return 1; },
                                     nullptr);
        benchmark::DoNotOptimize(result);
    }
    ReportMemory(state, file, 0);
}

void LoadIniDocument(benchmark::State& state, int index, bool withPool) {
    const TestFile& file = g_files[index];
    const HeapHooks counted{CountedMalloc, CountedCalloc, CountedRealloc, CountedFree};
    SetHeapHooks(&counted);
    BlockAlloc pool;
    size_t peak = 0, kept = 0;
    for (auto _ : state) {
        IniDocument doc;
        doc.pool = withPool ? &pool : nullptr;
        g_live = g_peak = 0;
        const size_t before = HeapInUse();
        if (Load(&doc, file.path.c_str()) != 0) state.SkipWithError("load failed");
        kept = HeapInUse() - before;
        peak = g_peak;
        state.PauseTiming();
        Release(&doc);
        state.ResumeTiming();
    }
    SetHeapHooks(nullptr);
    ReportMemory(state, file, kept);
    state.counters["peak_x_file"] = static_cast<double>(peak) / static_cast<double>(file.bytes);
}

void BM_Load_IniDocument(benchmark::State& state, int index) { LoadIniDocument(state, index, false); }
void BM_Load_IniDocumentPool(benchmark::State& state, int index) { LoadIniDocument(state, index, true); }

void BM_Load_INIReader(benchmark::State& state, int index) {
    const TestFile& file = g_files[index];
    size_t kept = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        auto* reader = new INIReader(file.path);
        if (reader->ParseError() != 0) state.SkipWithError("parse failed");
        kept = HeapInUse() - before;
        state.PauseTiming();
        delete reader;
        state.ResumeTiming();
    }
    ReportMemory(state, file, kept);
}

void BM_Load_SimpleIni(benchmark::State& state, int index) {
    const TestFile& file = g_files[index];
    size_t kept = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        auto* ini = new CSimpleIniA();
        if (ini->LoadFile(file.path.c_str()) < 0) state.SkipWithError("load failed");
        kept = HeapInUse() - before;
        state.PauseTiming();
        delete ini;
        state.ResumeTiming();
    }
    ReportMemory(state, file, kept);
}

// ---- lookups ------------------------------------------------------------------

std::string Lowered(std::string text) {
    for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return text;
}

// 4096 (section, key) pairs of a file, in random order and in upper case, so
// every lookup folds case.
std::vector<std::pair<std::string, std::string>> Probes(int sections, int keys) {
    std::mt19937 random(42);
    std::vector<std::pair<std::string, std::string>> probes;
    for (int i = 0; i < 4096; ++i) {
        std::string s = SectionName(static_cast<int>(random() % sections));
        std::string k = KeyName(static_cast<int>(random() % keys));
        std::transform(s.begin(), s.end(), s.begin(), ::toupper);
        std::transform(k.begin(), k.end(), k.begin(), ::toupper);
        probes.emplace_back(s, k);
    }
    return probes;
}

struct LookupCase {
    int file, sections, keys;
};
constexpr LookupCase kSectionsAndKeys{1, 10000, 10};
constexpr LookupCase kKeysOfOneSection{0, 1, 100000};

void BM_Lookup_IniDocument(benchmark::State& state, LookupCase c) {
    IniDocument doc;
    Load(&doc, g_files[c.file].path.c_str());
    const auto probes = Probes(c.sections, c.keys);
    size_t i = 0, found = 0;
    for (auto _ : state) {
        const auto& p = probes[i++ & 4095];
        const IniEntry* entry = FindEntry(FindSection(&doc, p.first.c_str()), p.second.c_str());
        found += entry != nullptr;
        benchmark::DoNotOptimize(entry);
    }
    if (found != static_cast<size_t>(state.iterations())) state.SkipWithError("a key was not found");
    Release(&doc);
}

void BM_Lookup_UnorderedMap(benchmark::State& state, LookupCase c) {
    // The fair case-insensitive baseline: maps keyed by lower-cased names,
    // looked up with lower-cased copies.
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> sections;
    IniDocument source;
    Load(&source, g_files[c.file].path.c_str());
    const auto keyOf = [](const HashNode* n) {
        return std::string(reinterpret_cast<const char*>(NodeKey(n)), n->keyLength);  // already lowered
    };
    for (const HashNode* s = source.sections.oldest; s; s = s->newer) {
        auto& keys = sections[keyOf(s)];
        for (const HashNode* k = static_cast<IniSection*>(s->value)->entries.oldest; k; k = k->newer) {
            keys[keyOf(k)] = static_cast<IniEntry*>(k->value)->value;
        }
    }
    Release(&source);
    const auto probes = Probes(c.sections, c.keys);
    size_t i = 0, found = 0;
    for (auto _ : state) {
        const auto& p = probes[i++ & 4095];
        const auto section = sections.find(Lowered(p.first));
        if (section != sections.end()) {
            const auto entry = section->second.find(Lowered(p.second));
            found += entry != section->second.end();
            benchmark::DoNotOptimize(entry);
        }
    }
    if (found != static_cast<size_t>(state.iterations())) state.SkipWithError("a key was not found");
}

void BM_Lookup_INIReader(benchmark::State& state, LookupCase c) {
    INIReader reader(g_files[c.file].path);
    const auto probes = Probes(c.sections, c.keys);
    size_t i = 0;
    for (auto _ : state) {
        const auto& p = probes[i++ & 4095];
        benchmark::DoNotOptimize(reader.Get(p.first, p.second, ""));
    }
}

void BM_Lookup_SimpleIni(benchmark::State& state, LookupCase c) {
    CSimpleIniA ini;
    ini.LoadFile(g_files[c.file].path.c_str());
    const auto probes = Probes(c.sections, c.keys);
    size_t i = 0, found = 0;
    for (auto _ : state) {
        const auto& p = probes[i++ & 4095];
        const char* value = ini.GetValue(p.first.c_str(), p.second.c_str(), nullptr);
        found += value != nullptr;
        benchmark::DoNotOptimize(value);
    }
    if (found != static_cast<size_t>(state.iterations())) state.SkipWithError("a key was not found");
}

// ---- the model-list fill ---------------------------------------------------------

class NullList : public ModelList {
public:
    void ResetContent() override { count = 0; }
    void InsertString(int, const WString& text) override { count += !text.empty(); }
    void SetCurSel(int) override {}
    int count = 0;
};

void BM_FillModelCombo_40(benchmark::State& state) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(g_folder);
    NullList list;
    for (auto _ : state) {
        FillModelCombo(list, 0);
        benchmark::DoNotOptimize(list.count);
    }
    if (list.count != 40) state.SkipWithError("the list was not filled");
    std::filesystem::current_path(previous);
}

void Register() {
    for (int i = 0; i < 3; ++i) {
        const std::string label = g_files[i].label;
        benchmark::RegisterBenchmark(("Load/" + label + "/fgets").c_str(), BM_Load_Fgets, i)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Load/" + label + "/inih").c_str(), BM_Load_Inih, i)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Load/" + label + "/IniDocument").c_str(), BM_Load_IniDocument, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Load/" + label + "/IniDocument_pool").c_str(), BM_Load_IniDocumentPool, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Load/" + label + "/INIReader").c_str(), BM_Load_INIReader, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Load/" + label + "/SimpleIni").c_str(), BM_Load_SimpleIni, i)
            ->Unit(benchmark::kMillisecond);
    }
    for (const auto& [label, c] : {std::pair{"section+key_10k_sections", kSectionsAndKeys},
                                   std::pair{"section+key_100k_keys", kKeysOfOneSection}}) {
        const std::string name = std::string("Lookup/") + label;
        benchmark::RegisterBenchmark((name + "/IniDocument").c_str(), BM_Lookup_IniDocument, c);
        benchmark::RegisterBenchmark((name + "/unordered_map").c_str(), BM_Lookup_UnorderedMap, c);
        benchmark::RegisterBenchmark((name + "/INIReader").c_str(), BM_Lookup_INIReader, c);
        benchmark::RegisterBenchmark((name + "/SimpleIni").c_str(), BM_Lookup_SimpleIni, c);
    }
    benchmark::RegisterBenchmark("FillModelCombo/40_names", BM_FillModelCombo_40)->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
    WriteTestFiles();
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
    return 0;
}
