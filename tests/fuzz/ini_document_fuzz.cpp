// IniDocument loading arbitrary bytes, checked against a plain model of the
// reader's line rules: pieces of at most 65534 bytes or up to a line feed,
// each read as a C string; comments, headers and key lines as the reader
// defines them; the first of equal keys and of equal section names wins.
// Then every section and key is looked up, a second load of the unchanged
// file must keep the document, and Release must free everything (the leak
// checker watches). Some inputs fail the n-th heap request of the catalogue,
// to drive the out-of-memory paths; those are checked for consistency only.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "catalog/heap.h"
#include "catalog/ini_document.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/test_files.h"

using namespace catalog;

namespace {

struct ModelEntry {
    std::string text, value;
};
struct ModelSection {
    std::string name;
    std::string comment;
    std::vector<std::string> keyOrder;  // lowered
    std::map<std::string, ModelEntry> entries;
};
struct ModelDocument {
    std::string preamble;
    std::vector<std::string> order;  // lowered names
    std::map<std::string, ModelSection> sections;
};

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool LineEnd(char c) { return c == '\r' || c == '\n'; }

std::string Lowered(const std::string& text) {
    std::string out = text.substr(0, 96);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

ModelDocument ModelLoad(const std::string& file) {
    ModelDocument doc;
    std::string pending;
    ModelSection* section = nullptr;
    size_t at = 0;
    while (at < file.size()) {
        size_t length = std::min<size_t>(65534, file.size() - at);
        const size_t lf = file.find('\n', at);
        if (lf != std::string::npos && lf - at + 1 < length) length = lf - at + 1;
        std::string piece = file.substr(at, length);
        at += length;
        piece = piece.substr(0, piece.find('\0'));

        size_t start = 0;
        while (start < piece.size() && Blank(piece[start])) ++start;
        const std::string rest = piece.substr(start);
        if (!rest.empty() && (rest[0] == ';' || rest[0] == '#')) {
            pending += piece;
        } else if (!rest.empty() && rest[0] == '[') {
            std::string name = rest.substr(1);
            for (size_t close = name.find(']'); close != std::string::npos; close = name.find(']', close + 1))
                if (close + 1 < name.size() && LineEnd(name[close + 1])) {
                    name.resize(close);
                    break;
                }
            if (!pending.empty()) (section ? section->comment : doc.preamble) = pending;
            pending.clear();
            const std::string key = Lowered(name);
            if (!doc.sections.count(key)) {
                doc.order.push_back(key);
                doc.sections[key].name = name;
            }
            section = &doc.sections[key];
        } else if (section) {
            const size_t equals = rest.find('=');
            if (equals == std::string::npos || equals == 0) continue;
            std::string key = rest.substr(0, equals);
            if (key.back() == ' ') key.pop_back();
            std::string value = rest.substr(equals + 1);
            if (!value.empty() && value[0] == ' ') value.erase(0, 1);
            if (!value.empty() && LineEnd(value[0])) value.clear();
            while (!value.empty() && LineEnd(value.back())) value.pop_back();
            const std::string lowered = Lowered(key);
            if (section->entries.count(lowered)) continue;
            section->keyOrder.push_back(lowered);
            section->entries[lowered] = {key + " = " + value, value};
        }
    }
    if (!pending.empty()) (section ? section->comment : doc.preamble) = pending;
    return doc;
}

std::string Text(const char* text) { return text ? text : ""; }

// Every stored section and key can be found under its own name, in any case.
void CheckLookups(const IniDocument& doc) {
    for (const HashNode* node = doc.sections.oldest; node; node = node->newer) {
        auto* section = static_cast<IniSection*>(node->value);
        FUZZ_CHECK(section && section->name);
        FUZZ_CHECK(FindSection(&doc, section->name) == section);
        for (const HashNode* e = section->entries.oldest; e; e = e->newer) {
            auto* entry = static_cast<IniEntry*>(e->value);
            const std::string key(reinterpret_cast<const char*>(NodeKey(e)), e->keyLength);
            FUZZ_CHECK(key.find('\0') == std::string::npos);
            FUZZ_CHECK(FindEntry(section, key.c_str()) == entry);
            FUZZ_CHECK(entry->value >= EntryText(entry) + 3 && std::memcmp(entry->value - 3, " = ", 3) == 0);
        }
    }
}

int g_failAt = 0;  // the heap request that fails, counting from 1; 0 none
void* CountedMalloc(size_t size) { return --g_failAt == 0 ? nullptr : std::malloc(size); }
void* CountedCalloc(size_t n, size_t size) { return --g_failAt == 0 ? nullptr : std::calloc(n, size); }
void* CountedRealloc(void* p, size_t size) { return --g_failAt == 0 ? nullptr : std::realloc(p, size); }
const HeapHooks kCountedHooks = {CountedMalloc, CountedCalloc, CountedRealloc, nullptr};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnterScratchFolder();
    fuzz::Reader in(data, size);
    const uint8_t setup = in.Byte();
    const bool usePool = setup & 1;
    const int failAt = (setup >> 1) & 0x3F;  // 0: no injected failure
    const std::string file(in.Rest());
    testsupport::Write("config/doc.ini", file);

    BlockAlloc pool;
    IniDocument doc;
    doc.keyTableSizeHint = 10;
    if (usePool) doc.pool = &pool;

    g_failAt = failAt;
    if (failAt) SetHeapHooks(&kCountedHooks);
    const int32_t result = LoadIfChanged(&doc, "config\\doc.ini");
    SetHeapHooks(nullptr);
    const bool injected = failAt && g_failAt <= 0;

    if (injected) {
        FUZZ_CHECK(result == 0 || result == -2);
    } else {
        FUZZ_CHECK(result == 0);
        const ModelDocument model = ModelLoad(file);
        FUZZ_CHECK(Text(doc.preamble) == model.preamble);
        FUZZ_CHECK(doc.sections.nodeCount == model.order.size());
        size_t i = 0;
        for (const HashNode* node = doc.sections.oldest; node; node = node->newer, ++i) {
            const ModelSection& expected = model.sections.at(model.order[i]);
            auto* section = static_cast<IniSection*>(node->value);
            FUZZ_CHECK(Text(section->name) == expected.name);
            FUZZ_CHECK(Text(section->comment) == expected.comment);
            FUZZ_CHECK(section->entries.nodeCount == expected.keyOrder.size());
            size_t k = 0;
            for (const HashNode* e = section->entries.oldest; e; e = e->newer, ++k) {
                const ModelEntry& entry = expected.entries.at(expected.keyOrder[k]);
                FUZZ_CHECK(Text(EntryText(static_cast<IniEntry*>(e->value))) == entry.text);
                FUZZ_CHECK(Text(static_cast<IniEntry*>(e->value)->value) == entry.value);
            }
        }
        // What the model lists read.
        auto typeSection = model.sections.find("type");
        for (int n = 0; n < 20; ++n) {
            const std::string key = "TYPE" + std::to_string(n);
            std::string expected = "-";
            if (typeSection != model.sections.end()) {
                auto entry = typeSection->second.entries.find(Lowered(key));
                if (entry != typeSection->second.entries.end()) expected = entry->second.value;
            }
            FUZZ_CHECK(GetTypeValue(&doc, key.c_str(), "-") == expected);
        }
        // The unchanged file, named in another letter case, is not read again.
        IniSection* first = doc.sections.oldest ? static_cast<IniSection*>(doc.sections.oldest->value) : nullptr;
        FUZZ_CHECK(LoadIfChanged(&doc, "CONFIG\\DOC.INI") == 0);
        FUZZ_CHECK(!first || static_cast<IniSection*>(doc.sections.oldest->value) == first);
    }
    CheckLookups(doc);
    Release(&doc);
    Release(&doc);  // harmless when repeated
    FUZZ_CHECK(doc.released == 1 && doc.preamble == nullptr && doc.sections.buckets == nullptr);
    Reset(&doc);
    return 0;
}
