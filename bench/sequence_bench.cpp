// The whole generate sequence without dialogs (validate, merge, create,
// read, decode, substitute, encode, write, copy), beside the file system's
// own cost for the same bytes: open, write and close one file.
//
//   realistic: the example deployment's Huawei S5700 template with its MAB
//              fragment, 40 lines;
//   large:     the same lines repeated to 10 MB.
//
// Runs in a temporary folder of its own.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "generate/sequence.h"
#include "generate/template_set.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

namespace {

const char kVendor[] = "华为";
const char kModel[] = "S5700-V200R009C00";

std::string ReadFile(const std::string& path) {
    const std::optional<std::string> bytes = testsupport::Read(path);
    if (!bytes) throw std::runtime_error("cannot read " + path);
    return *bytes;
}

std::string ReadSource(const std::string& name) {
    return ReadFile(std::string(BRENVIK_SOURCE_DIR) + "/config/" + name);
}

// The user saves the copy as saved\copy.ini, or cancels the dialog.
void ScriptCopy(testsupport::ScriptedUi& ui, bool copy) {
    if (copy) ui.savePath = u"saved\\copy.ini";
    else ui.savePath.reset();
}

// Whether every press went through: the dialog and the success message only.
bool OnlySuccess(const testsupport::ScriptedUi& ui) {
    for (const std::string& event : ui.events)
        if (event != "save as" && event != testsupport::kSavedEvent) return false;
    return true;
}

// A fresh folder of its own with config\ holding the templates, and saved\.
class Workspace {
    testsupport::ScratchFolder folder_;  // made before the files, removed after them

public:
    explicit Workspace(size_t baseBytes)
        : folder_(std::filesystem::temp_directory_path() / ("sequence_bench." + std::to_string(getpid()))) {
        testsupport::MakeFolder(u"config");
        testsupport::MakeFolder(u"saved");
        const std::string prefix = std::string(kVendor) + "_" + kModel;
        std::string base = ReadSource(prefix + "_tp.ini");
        const std::string lines = base;
        while (base.size() < baseBytes) base += lines;
        testsupport::Write("config/" + prefix + "_tp.ini", base);
        testsupport::Write("config/" + prefix + "_mab_tp.ini", ReadSource(prefix + "_mab_tp.ini"));
        request.interfaceName = u"GigabitEthernet0/0/1";
        request.serverIp = u"10.1.1.10";
        request.authPort = u"1812";
        request.accountPort = u"1813";
        request.secretKey = u"Brenvik-Key1";
        request.mabEnabled = 1;
        request.mabDelay = u"30";
        request.vendorIndex = 0;
        request.modelIndex = 0;
    }
    std::string OutputBytes() const { return ReadFile("config/" + std::string(kVendor) + "_" + kModel + ".ini"); }

    SwitchConfigRequest request;
};

void Press(benchmark::State& state, size_t baseBytes, bool copy) {
    Workspace space(baseBytes);
    testsupport::ScriptedUi ui;
    ScriptCopy(ui, copy);
    const WString vendor = Utf8ToWide(kVendor), model = Utf8ToWide(kModel);
    for (auto _ : state) GenerateConfiguration(space.request, vendor, model, ui);
    if (!OnlySuccess(ui)) state.SkipWithError("the sequence reported a failure");
    const std::string output = space.OutputBytes();
    state.counters["output_bytes"] = static_cast<double>(output.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * output.size()));
}

// The steps on their own: the merge, and the output stage
// (read, decode, substitute, encode, write).
void MergeOnly(benchmark::State& state, size_t baseBytes) {
    Workspace space(baseBytes);
    const TemplateSet set = MakeTemplateSet(Utf8ToWide(kVendor), Utf8ToWide(kModel));
    for (auto _ : state)
        if (MergeTemplates(space.request, set).kind != MergeResult::Kind::Ok) state.SkipWithError("merge failed");
}

void OutputStageOnly(benchmark::State& state, size_t baseBytes) {
    Workspace space(baseBytes);
    testsupport::ScriptedUi ui;
    ScriptCopy(ui, false);
    GenerateConfiguration(space.request, Utf8ToWide(kVendor), Utf8ToWide(kModel), ui);
    for (auto _ : state)
        if (!WriteOutputFile(space.request, ui)) state.SkipWithError("write failed");
}

// Open, write and close a file of the output's size: what any program that
// writes these bytes pays.
void Floor(benchmark::State& state, size_t baseBytes, int files) {
    Workspace space(baseBytes);
    testsupport::ScriptedUi ui;
    ScriptCopy(ui, true);
    GenerateConfiguration(space.request, Utf8ToWide(kVendor), Utf8ToWide(kModel), ui);
    const std::string bytes = space.OutputBytes();
    for (auto _ : state) {
        for (int i = 0; i < files; ++i) {
            const std::string name = "saved/floor" + std::to_string(i) + ".ini";
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
                state.SkipWithError("write failed");
            ::close(fd);
        }
    }
    state.counters["output_bytes"] = static_cast<double>(bytes.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size() * files));
}

constexpr size_t kRealistic = 0;  // the template as it is
constexpr size_t kLarge = 10 << 20;

}  // namespace

BENCHMARK_CAPTURE(Press, realistic_with_copy, kRealistic, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Press, realistic_no_copy, kRealistic, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MergeOnly, realistic, kRealistic)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OutputStageOnly, realistic, kRealistic)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Floor, realistic_1_file, kRealistic, 1)->Unit(benchmark::kMicrosecond);
// The press writes three files (merge, output, copy): the floor for as many.
BENCHMARK_CAPTURE(Floor, realistic_3_files, kRealistic, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Press, large_with_copy, kLarge, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Press, large_no_copy, kLarge, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MergeOnly, large, kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OutputStageOnly, large, kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Floor, large_1_file, kLarge, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Floor, large_3_files, kLarge, 3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
