// The example deployment in config/: every shipped model with every
// combination of MAB, escape VLAN, guest VLAN and the multi-terminal box,
// generated through the real generate sequence and compared byte for byte
// with the files in tests/golden/expected/<vendor>_<model>/.
//
// BRENVIK_UPDATE_GOLDEN=1 writes the expected files from what the sequence
// produces instead of comparing; review the diff before committing it.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "catalog/model_list.h"
#include "generate/request.h"
#include "generate/sequence.h"
#include "platform/text.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

using testsupport::Events;
using testsupport::Read;
using testsupport::ScriptedUi;
using testsupport::SourceDir;

struct Model {
    int32_t vendorIndex;
    const char16_t* vendorName;
    int32_t modelIndex;  // its TYPE key number in the list file
    const char16_t* modelName;
    const char16_t* interfaceName;
};

// The shipped models, in list order. ModelListsMatchTheTable keeps this in
// step with the list files, so a model added to a list without its golden
// files fails.
const Model kModels[] = {
    {0, u"华为", 0, u"S5700-V200R009C00", u"GigabitEthernet0/0/1"},
    {0, u"华为", 1, u"S5700-V200R010C00", u"GigabitEthernet0/0/1"},
    {1, u"华三", 0, u"S5130-ComwareV7", u"GigabitEthernet1/0/1"},
    {2, u"思科", 0, u"IOS-XE-Classic", u"GigabitEthernet1/0/1"},
    {2, u"思科", 1, u"IOS-15.0-Legacy", u"GigabitEthernet1/0/1"},
};

const char* const kPlaceholders[] = {
    "<%SERVER_IP%>", "<%AUTH_PORT%>",  "<%ACCOUNT_PORT%>",  "<%SECRET_KEY%>",  "<%INTERFACE%>",
    "<%MAB_DELAY%>", "<%HOST_MODE%>", "<%ESCAPEVLANID%>", "<%GUESTVLANID%>",
};

struct Options {
    int mab, escape, guest, multi;
    std::string Name() const {
        return "m" + std::to_string(mab) + "e" + std::to_string(escape) + "g" +
               std::to_string(guest) + "t" + std::to_string(multi);
    }
};

std::vector<Options> AllOptions() {
    std::vector<Options> all;
    for (int bits = 0; bits < 16; ++bits)
        all.push_back({bits >> 3 & 1, bits >> 2 & 1, bits >> 1 & 1, bits & 1});
    return all;
}

std::string Utf8(const char16_t* text) { return WideToUtf8(text); }

std::string StemOf(const Model& model) {  // <vendor>_<model>, UTF-8
    return Utf8(model.vendorName) + "_" + Utf8(model.modelName);
}

bool UpdateMode() {
    const char* value = std::getenv("BRENVIK_UPDATE_GOLDEN");
    return value && std::string(value) == "1";
}

// "line N: expected ... / actual ..." for the first line that differs.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream e(expected), a(actual);
    std::string le, la;
    for (int line = 1;; ++line) {
        bool moreE = static_cast<bool>(std::getline(e, le));
        bool moreA = static_cast<bool>(std::getline(a, la));
        if (!moreE && !moreA) return "same lines, different line ends";
        if (le != la || moreE != moreA)
            return "line " + std::to_string(line) + ":\n  expected: " + (moreE ? le : "<end>") +
                   "\n  actual:   " + (moreA ? la : "<end>");
    }
}

FormSnapshot FormFor(const Model& model, const Options& options) {
    FormSnapshot form;
    form.vendorIndex = model.vendorIndex;
    form.modelIndex = model.modelIndex;
    form.serverAddress[0] = 10;
    form.serverAddress[1] = 1;
    form.serverAddress[2] = 1;
    form.serverAddress[3] = 10;
    form.authPort = u"1812";
    form.accountPort = u"1813";
    form.secretKey = u"Brenvik-Key1";
    form.interfaceName = model.interfaceName;
    form.mabEnabled = options.mab;
    form.mabDelay = u"30";
    form.multiTerminal = options.multi;
    form.escapeVlanEnabled = options.escape;
    form.escapeVlanId = u"999";
    form.guestVlanEnabled = options.guest;
    form.guestVlanId = u"998";
    form.vendorName = model.vendorName;
    form.modelName = model.modelName;
    return form;
}

class GoldenConfig : public ::testing::Test {
protected:
    // The sequence works on config\ below the current directory: give it a
    // fresh copy of the repository's deployment, never the original.
    static void SetUpTestSuite() {
        testsupport::RemoveTree(u"config");
        testsupport::RemoveTree(u"saved");
        std::error_code ignored;
        fs::copy(SourceDir() / "config", "config", fs::copy_options::recursive, ignored);
        testsupport::MakeFolder(u"saved");
    }
};

TEST_F(GoldenConfig, RunsWithTheChineseAnsiCodePage) {
#ifdef _WIN32
    // Chinese vendor names reach the output file through the thread's ANSI
    // code page; anything but GBK would make every generation fail quietly.
    EXPECT_EQ(GetACP(), 936u);
#endif
    ASSERT_TRUE(fs::is_directory(SourceDir() / "config")) << "BRENVIK_SOURCE_DIR not set?";
}

// The names and positions the dialog would offer, read by the catalogue from
// the GBK list files, are exactly those of the table.
TEST_F(GoldenConfig, ModelListsMatchTheTable) {
    struct RecordingList : catalog::ModelList {
        void ResetContent() override { names.clear(); }
        void InsertString(int index, const WString& text) override {
            names.insert(names.begin() + index, text);
        }
        void SetCurSel(int) override {}
        std::vector<WString> names;
    };
    for (int vendor = 0; vendor < 3; ++vendor) {
        SCOPED_TRACE(catalog::ModelListFile(vendor));
        std::vector<WString> expected;
        for (const Model& model : kModels) {
            if (model.vendorIndex != vendor) continue;
            ASSERT_EQ(model.modelIndex, static_cast<int32_t>(expected.size()));
            expected.push_back(model.modelName);
        }
        RecordingList list;
        catalog::FillModelCombo(list, vendor);
        EXPECT_EQ(list.names, expected);
    }
}

// What each template must carry: ASCII text with LF line ends, lines within
// the merge's 998-byte limit, only the nine placeholders, and the ones its
// part of the configuration is about.
TEST_F(GoldenConfig, TemplatesAreAsciiAndUseTheirPlaceholders) {
    struct Part {
        const char* suffix;
        std::vector<const char*> required;
    };
    const Part parts[] = {
        {"_tp.ini",
         {"<%SERVER_IP%>", "<%AUTH_PORT%>", "<%ACCOUNT_PORT%>", "<%SECRET_KEY%>", "<%INTERFACE%>",
          "<%HOST_MODE%>"}},
        {"_mab_tp.ini", {"<%MAB_DELAY%>"}},
        {"_DeadVlan_tp.ini", {"<%ESCAPEVLANID%>"}},
        {"_GeustVlan_tp.ini", {"<%GUESTVLANID%>"}},
    };
    for (const Model& model : kModels) {
        for (const Part& part : parts) {
            std::string name = StemOf(model) + part.suffix;
            SCOPED_TRACE(name);
            const std::optional<std::string> file = Read("config/" + name);
            ASSERT_TRUE(file);
            const std::string& bytes = *file;
            ASSERT_FALSE(bytes.empty());
            EXPECT_EQ(bytes.back(), '\n');
            size_t lineStart = 0;
            for (size_t i = 0; i < bytes.size(); ++i) {
                unsigned char c = static_cast<unsigned char>(bytes[i]);
                EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << "byte " << int(c) << " at " << i;
                if (c == '\n') {
                    EXPECT_LE(i - lineStart, 998u) << "line at byte " << lineStart;
                    lineStart = i + 1;
                }
            }
            for (size_t at = bytes.find("<%"); at != std::string::npos; at = bytes.find("<%", at + 2)) {
                bool known = false;
                for (const char* placeholder : kPlaceholders)
                    known = known || bytes.compare(at, std::string(placeholder).size(), placeholder) == 0;
                EXPECT_TRUE(known) << "unknown placeholder: " << bytes.substr(at, 20);
            }
            for (const char* placeholder : part.required)
                EXPECT_NE(bytes.find(placeholder), std::string::npos) << placeholder;
        }
    }
}

TEST_F(GoldenConfig, EveryCombinationMatchesItsExpectedFile) {
    const bool update = UpdateMode();
    for (const Model& model : kModels) {
        const fs::path expectedDir =
            SourceDir() / "tests" / "golden" / "expected" / fs::u8path(StemOf(model));
        if (update) fs::create_directories(expectedDir);
        for (const Options& options : AllOptions()) {
            const std::string combo = options.Name();
            SCOPED_TRACE(StemOf(model) + " " + combo);

            const fs::path saved = fs::absolute("saved") / fs::u8path(StemOf(model) + "_" + combo + ".txt");
            testsupport::Remove(saved);
            ScriptedUi ui;
            ui.savePath = Utf8ToWide(saved.u8string());
            SwitchConfigRequest request;
            const FormSnapshot form = FormFor(model, options);
            ApplyCapture(request, form);
            GenerateConfiguration(request, form.vendorName, form.modelName, ui);

            // One Save As, then the success message alone: no file error.
            EXPECT_EQ(ui.events, (Events{"save as", testsupport::kSavedEvent}));
            ASSERT_TRUE(ui.saveAs);
            EXPECT_EQ(ui.saveAs->initialFileName, WString(model.vendorName) + u"_" + model.modelName + u".ini");

            const std::optional<std::string> actual = Read(saved);
            ASSERT_TRUE(actual) << "no saved copy";
            EXPECT_EQ(actual->find("<%"), std::string::npos) << "a placeholder survived";

            const fs::path expectedFile = expectedDir / (combo + ".txt");
            if (update) {
                testsupport::Write(expectedFile, *actual);
                continue;
            }
            const std::optional<std::string> expected = Read(expectedFile);
            ASSERT_TRUE(expected) << "no expected file; run once with BRENVIK_UPDATE_GOLDEN=1 and review it";
            EXPECT_TRUE(*expected == *actual) << FirstDifference(*expected, *actual);
        }
    }
}

}  // namespace
