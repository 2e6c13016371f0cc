// SubstitutePlaceholders on 10 KB, 1 MB and 100 MB of UTF-16 text with a
// placeholder about every 50 characters, beside:
//   - memcpy of the same bytes: the floor;
//   - a naive in-place find-and-replace loop (the tail shifts on every hit):
//     quadratic, so only up to 4 MB, where one run already takes seconds;
//   - Python's chained str.replace on the same text, timed inside python3
//     (startup and file reading excluded) and reported as a row of its own.
// Every time is CPU time of the running thread (page faults included), since
// the machine is shared and wall time would mostly measure the others. A
// summary at the end gives the throughput and the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "generate/substitute.h"

namespace {

constexpr int64_t kKB = 1024;
constexpr int64_t kMB = 1024 * 1024;

const char16_t* const kTokens[] = {
    u"<%SERVER_IP%>", u"<%AUTH_PORT%>", u"<%ACCOUNT_PORT%>", u"<%SECRET_KEY%>", u"<%INTERFACE%>",
    u"<%MAB_DELAY%>", u"<%HOST_MODE%>", u"<%ESCAPEVLANID%>", u"<%GUESTVLANID%>",
};

SwitchConfigRequest Values() {
    SwitchConfigRequest request;
    request.serverIp = u"10.1.1.10";
    request.authPort = u"1812";
    request.accountPort = u"1813";
    request.secretKey = u"Brenvik-Key1";
    request.interfaceName = u"GigabitEthernet1/0/1";
    request.mabDelay = u"30";
    request.hostMode = u"multi-authen";
    request.escapeVlanId = u"999";
    request.guestVlanId = u"998";
    return request;
}

// Switch-command-like lines, one placeholder in about every 50 characters,
// the nine in turn, cut to the size in bytes of UTF-16.
const WString& Text(int64_t bytes) {
    static std::map<int64_t, WString> made;
    WString& text = made[bytes];
    if (!text.empty()) return text;
    const char16_t* const fillers[] = {
        u" radius-server template brenvik host ", u"\r\n dot1x authentication-method eap ",
        u"\r\n interface range port-group access ", u"\r\n undo shutdown ; mac-authen offline ",
    };
    const size_t units = static_cast<size_t>(bytes / 2);
    text.reserve(units + 64);
    for (size_t i = 0; text.size() < units; ++i) {
        text += fillers[i % 4];
        text += kTokens[i % 9];
    }
    text.resize(units);
    return text;
}

// CPU time of this thread, kernel time of its page faults included. The
// machine is shared, so wall time would mostly measure the other programs.
double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string SizeName(int64_t bytes) {
    return bytes >= kMB ? std::to_string(bytes / kMB) + " MB" : std::to_string(bytes / kKB) + " KB";
}

// Times only the call: the copy of the untouched text before each call is
// what BM_Memcpy measures on its own.
void Substitute(benchmark::State& state, const SwitchConfigRequest& request) {
    const WString& source = Text(state.range(0));
    WString text;
    for (auto _ : state) {
        text.assign(source);
        const double start = ThreadSeconds();
        SubstitutePlaceholders(text, request);
        const double stop = ThreadSeconds();
        benchmark::DoNotOptimize(text.data());
        state.SetIterationTime(stop - start);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Substitute(benchmark::State& state) { Substitute(state, Values()); }

// A value holding a placeholder: the nine passes run one after the other.
void BM_SubstituteNinePasses(benchmark::State& state) {
    SwitchConfigRequest request = Values();
    request.secretKey = u"key-<%HOST_MODE%>";
    Substitute(state, request);
}

void BM_Memcpy(benchmark::State& state) {
    const WString& source = Text(state.range(0));
    std::vector<char16_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size() * 2);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// What a hurried implementation does: replace each hit where it stands,
// shifting the rest of the text every time.
void NaiveReplaceAll(WString& text, WStringView token, WStringView value) {
    for (size_t at = text.find(token); at != WString::npos; at = text.find(token, at + value.size()))
        text.replace(at, token.size(), value);
}

void BM_NaiveInPlace(benchmark::State& state) {
    const WString& source = Text(state.range(0));
    const SwitchConfigRequest r = Values();
    const WString* values[] = {&r.serverIp, &r.authPort,  &r.accountPort, &r.secretKey, &r.interfaceName,
                               &r.mabDelay, &r.hostMode, &r.escapeVlanId, &r.guestVlanId};
    WString text;
    for (auto _ : state) {
        text.assign(source);
        const double start = ThreadSeconds();
        for (int pass = 0; pass < 9; ++pass) NaiveReplaceAll(text, kTokens[pass], *values[pass]);
        const double stop = ThreadSeconds();
        benchmark::DoNotOptimize(text.data());
        state.SetIterationTime(stop - start);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// Python reads the text (UTF-16LE, as in memory here), decodes it and times
// the nine chained replaces in CPU time, as the rows above; its best time of
// several rounds is this run's time.
void BM_PythonChain(benchmark::State& state) {
    const int64_t bytes = state.range(0);
    const WString& text = Text(bytes);
    const std::string file = "/tmp/brenvik_bench_" + std::to_string(getpid()) + ".txt";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
    }
    const int rounds = bytes <= 64 * kKB ? 2000 : bytes <= 8 * kMB ? 30 : 3;
    const SwitchConfigRequest r = Values();
    std::string script =
        "import sys,time\n"
        "t=open(sys.argv[1],'rb').read().decode('utf-16-le')\n"
        "best=1e9\n"
        "for _ in range(" + std::to_string(rounds) + "):\n"
        "    s=time.thread_time()\n"
        "    u=t";
    const std::string values[] = {WideToUtf8(r.serverIp),      WideToUtf8(r.authPort),  WideToUtf8(r.accountPort),
                                  WideToUtf8(r.secretKey),     WideToUtf8(r.interfaceName),
                                  WideToUtf8(r.mabDelay),      WideToUtf8(r.hostMode),  WideToUtf8(r.escapeVlanId),
                                  WideToUtf8(r.guestVlanId)};
    for (int pass = 0; pass < 9; ++pass)
        script += ".replace('" + WideToUtf8(kTokens[pass]) + "','" + values[pass] + "')";
    script +=
        "\n"
        "    best=min(best,time.thread_time()-s)\n"
        "print(best)\n";
    const std::string scriptFile = file + ".py";
    std::ofstream(scriptFile) << script;

    for (auto _ : state) {
        double seconds = -1;
        if (FILE* pipe = popen(("python3 " + scriptFile + " " + file).c_str(), "r")) {
            if (std::fscanf(pipe, "%lf", &seconds) != 1) seconds = -1;
            pclose(pipe);
        }
        if (seconds <= 0) {
            state.SkipWithError("python3 did not run");
            break;
        }
        state.SetIterationTime(seconds);
    }
    std::remove(file.c_str());
    std::remove(scriptFile.c_str());
    state.SetBytesProcessed(state.iterations() * bytes);
}

void Sizes(benchmark::internal::Benchmark* b) { b->Arg(10 * kKB)->Arg(kMB)->Arg(100 * kMB); }

BENCHMARK(BM_Substitute)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SubstituteNinePasses)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveInPlace)->Arg(10 * kKB)->Arg(kMB)->Arg(2 * kMB)->Arg(4 * kMB)->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PythonChain)->Apply(Sizes)->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Keeps the time of each run for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0 || run.run_type != Run::RT_Iteration) continue;
            const std::string name = run.run_name.function_name;
            const int64_t bytes = std::stoll(run.run_name.args);
            // Manual times are CPU times; for memcpy take the CPU column too.
            const double total = name == "BM_Memcpy" ? run.cpu_accumulated_time : run.real_accumulated_time;
            seconds[name][bytes] = total / static_cast<double>(run.iterations);
        }
    }
    std::map<std::string, std::map<int64_t, double>> seconds;
};

double Of(const SummaryReporter& r, const char* name, int64_t bytes) {
    auto f = r.seconds.find(name);
    if (f == r.seconds.end()) return 0;
    auto s = f->second.find(bytes);
    return s == f->second.end() ? 0 : s->second;
}

void PrintSummary(const SummaryReporter& r) {
    std::printf("\nSummary (MB = 2^20 bytes of UTF-16)\n");
    std::printf("%-8s %14s %14s %14s %12s %12s\n", "size", "substitute", "memcpy", "python", "vs memcpy",
                "python/ours");
    for (int64_t bytes : {10 * kKB, kMB, 100 * kMB}) {
        const double ours = Of(r, "BM_Substitute", bytes);
        const double copy = Of(r, "BM_Memcpy", bytes);
        const double python = Of(r, "BM_PythonChain", bytes);
        auto rate = [bytes](double s) { return s > 0 ? static_cast<double>(bytes) / kMB / s : 0.0; };
        std::printf("%-8s %9.0f MB/s %9.0f MB/s %9.0f MB/s %11.1fx %11.1fx\n", SizeName(bytes).c_str(),
                    rate(ours), rate(copy), rate(python), copy > 0 ? ours / copy : 0.0,
                    ours > 0 ? python / ours : 0.0);
    }
    const double small = Of(r, "BM_Substitute", kMB), large = Of(r, "BM_Substitute", 100 * kMB);
    if (small > 0 && large > 0)
        std::printf("substitute: 100 MB takes %.0fx the time of 1 MB (linear: 100x)\n", large / small);
    const double nine1 = Of(r, "BM_SubstituteNinePasses", kMB), nine100 = Of(r, "BM_SubstituteNinePasses", 100 * kMB);
    if (nine1 > 0 && nine100 > 0)
        std::printf("nine passes: %.0f MB/s at 1 MB, %.0f MB/s at 100 MB, 100 MB takes %.0fx the time of 1 MB\n",
                    1 / nine1, 100 / nine100, nine100 / nine1);
    const double n1 = Of(r, "BM_NaiveInPlace", kMB), n4 = Of(r, "BM_NaiveInPlace", 4 * kMB);
    if (n1 > 0 && n4 > 0)
        std::printf("naive in place: 4 MB takes %.0fx the time of 1 MB (linear: 4x); at 1 MB %.0fx ours\n",
                    n4 / n1, small > 0 ? n1 / small : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
