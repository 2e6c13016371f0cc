#include "catalog/ini_document.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "catalog/heap.h"
#include "platform/stdio.h"

namespace catalog {

namespace {

constexpr uint32_t kSectionTableSize = 50;
constexpr uint32_t kEntriesBeforeHint = 10;
constexpr size_t kLineBufferSize = kIniLinePieceMax + 1;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Equal without regard to ASCII letter case, over at most limit bytes.
bool EqualNoCase(const char* a, const char* b, size_t limit) {
    for (size_t i = 0; i < limit; ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
        if (a[i] == '\0') {
            return true;
        }
    }
    return true;
}

void* AllocRecord(IniDocument* doc, size_t size) {
    if (!doc->pool) {
        return HeapMalloc(size);
    }
    return size <= kBlockPayload ? Alloc(doc->pool, size) : nullptr;
}

void FreeRecord(IniDocument* doc, void* record) {
    if (!doc->pool) {
        HeapFree(record);
    }
}

// Frees a table's nodes (values released by valueRelease) and its bucket array.
void DisposeTable(ChainedHashTable* table, ValueRelease valueRelease) {
    if (table->buckets) {
        Clear(table, valueRelease);
        HeapFree(table->buckets);
    }
    *table = ChainedHashTable{};
}

// Comment lines waiting for the section (or preamble) they belong to.
class PendingComment {
public:
    ~PendingComment() { HeapFree(text_); }

    // A line that cannot be kept for lack of memory is dropped: comments are
    // never read by the program, losing one must not stop the load.
    void Append(const char* line, size_t length) {
        if (length_ + length + 1 > capacity_) {
            size_t capacity = capacity_ ? capacity_ : 256;
            while (capacity < length_ + length + 1) {
                capacity *= 2;
            }
            void* grown = HeapRealloc(text_, capacity);
            if (!grown) {
                return;
            }
            text_ = static_cast<char*>(grown);
            capacity_ = capacity;
        }
        std::memcpy(text_ + length_, line, length);
        length_ += length;
        text_[length_] = '\0';
    }

    // Hands the text over to *owner, replacing (and freeing) what it held.
    void MoveTo(char** owner) {
        if (!text_) {
            return;
        }
        HeapFree(*owner);
        *owner = text_;
        text_ = nullptr;
        length_ = capacity_ = 0;
    }

private:
    char* text_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
struct HeapDeleter {
    void operator()(void* block) const { HeapFree(block); }
};

}  // namespace

LowerKeyText LowerKey(const char* text) {
    LowerKeyText key;
    uint32_t n = 0;
    while (n < kLowerKeyMax && text[n] != '\0') {
        key.bytes[n] = LowerAscii(text[n]);
        ++n;
    }
    key.bytes[n] = '\0';
    key.length = n;
    return key;
}

IniSection* FindSection(const IniDocument* doc, const char* name) {
    if (!name) {
        return nullptr;
    }
    const LowerKeyText key = LowerKey(name);
    void* section = nullptr;
    return Find(&doc->sections, key.bytes, key.length, &section) == 0 ? static_cast<IniSection*>(section)
                                                                       : nullptr;
}

IniEntry* FindEntry(const IniSection* section, const char* key) {
    if (!section || !key) {
        return nullptr;
    }
    const LowerKeyText lowered = LowerKey(key);
    void* entry = nullptr;
    return Find(&section->entries, lowered.bytes, lowered.length, &entry) == 0 ? static_cast<IniEntry*>(entry)
                                                                               : nullptr;
}

std::string GetTypeValue(const IniDocument* doc, const char* key, const char* defaultText) noexcept {
    const IniEntry* entry = FindEntry(FindSection(doc, "TYPE"), key);
    const char* text = entry ? entry->value : defaultText;
    try {
        return std::string(text ? text : "");
    } catch (const std::bad_alloc&) {
        return std::string();
    }
}

std::string GetTypeValue(const IniDocument* doc, const char* key) noexcept {
    return GetTypeValue(doc, key, "");
}

IniSection* GetOrCreateSection(IniDocument* doc, const char* name) {
    if (!doc->sections.buckets) {
        if (Create(&doc->sections, kSectionTableSize) != 0) {
            return nullptr;
        }
        doc->sections.pool = doc->pool;
    }
    const LowerKeyText key = LowerKey(name);
    void* found = nullptr;
    if (Find(&doc->sections, key.bytes, key.length, &found) == 0) {
        return static_cast<IniSection*>(found);
    }

    auto* section = static_cast<IniSection*>(AllocRecord(doc, sizeof(IniSection)));
    if (!section) {
        return nullptr;
    }
    *section = IniSection{};
    section->name = HeapCopy(name);
    if (!section->name || Insert(&doc->sections, key.bytes, key.length, section) != 0) {
        HeapFree(section->name);
        FreeRecord(doc, section);
        return nullptr;
    }
    return section;
}

int32_t AddEntry(IniDocument* doc, IniSection* section, const char* key, const char* value,
                 uint32_t* keyTableSizeHint) {
    if (!section->entries.buckets) {
        if (Create(&section->entries, *keyTableSizeHint) != 0) {
            return -2;
        }
        section->entries.pool = doc->pool;
    }

    const size_t keyLength = std::strlen(key);
    const size_t valueLength = std::strlen(value);
    const size_t size = sizeof(IniEntry) + keyLength + 3 + valueLength + 1;
    auto* entry = static_cast<IniEntry*>(AllocRecord(doc, size));
    if (!entry) {
        return -3;
    }
    char* text = reinterpret_cast<char*>(entry + 1);
    std::memcpy(text, key, keyLength);
    std::memcpy(text + keyLength, " = ", 3);
    std::memcpy(text + keyLength + 3, value, valueLength + 1);
    entry->value = text + keyLength + 3;

    const LowerKeyText lowered = LowerKey(key);
    if (Insert(&section->entries, lowered.bytes, lowered.length, entry) != 0) {
        FreeRecord(doc, entry);
        return -4;
    }
    if (section->entries.nodeCount > kEntriesBeforeHint) {
        *keyTableSizeHint = section->entries.nodeCount;
    }
    return 0;
}

int32_t ParseKeyLine(IniDocument* doc, IniSection* section, char* line, uint32_t* keyTableSizeHint) {
    char* equals = std::strchr(line, '=');
    if (!equals || equals == line) {
        return -1;
    }
    *equals = '\0';
    if (equals[-1] == ' ') {
        equals[-1] = '\0';
    }

    char* value = equals + 1;
    if (*value == ' ') {
        ++value;
    }
    if (IsLineEnd(*value)) {
        *value = '\0';
    }
    char* end = value + std::strlen(value);
    while (end > value && IsLineEnd(end[-1])) {
        --end;
    }
    *end = '\0';
    return AddEntry(doc, section, line, value, keyTableSizeHint);
}

void FreeSection(IniDocument* doc, IniSection* section) {
    HeapFree(section->name);
    section->name = nullptr;
    HeapFree(section->comment);
    section->comment = nullptr;
    DisposeTable(&section->entries, doc->pool ? nullptr : HeapFree);
    FreeRecord(doc, section);
}

void Release(IniDocument* doc) {
    HeapFree(doc->preamble);
    doc->preamble = nullptr;
    for (HashNode* node = doc->sections.oldest; node; node = node->newer) {
        FreeSection(doc, static_cast<IniSection*>(node->value));
    }
    DisposeTable(&doc->sections, nullptr);
    if (doc->pool) {
        ReleaseBlocks(doc->pool);
    }
    doc->released = 1;
}

void Reset(IniDocument* doc) {
    Release(doc);
    std::memset(doc->fileName, 0, sizeof doc->fileName);
    doc->modifiedTime = 0;
    doc->released = 0;
}

int32_t Load(IniDocument* doc, const char* fileName) {
    if (!fileName || std::strlen(fileName) > kIniFileNameMax) {
        return -1;
    }
    std::strcpy(doc->fileName, fileName);
    doc->modifiedTime = 0;

    std::unique_ptr<std::FILE, FileCloser> file(platform::OpenForRead(fileName));
    if (!file) {
        return -1;
    }
    std::unique_ptr<char, HeapDeleter> buffer(static_cast<char*>(HeapMalloc(kLineBufferSize)));
    if (!buffer) {
        return -2;
    }

    PendingComment comment;
    IniSection* section = nullptr;
    char* const line = buffer.get();
    while (std::fgets(line, static_cast<int>(kLineBufferSize), file.get())) {
        char* start = line;
        while (IsBlank(*start)) {
            ++start;
        }
        if (*start == ';' || *start == '#') {
            comment.Append(line, std::strlen(line));
        } else if (*start == '[') {
            char* name = start + 1;
            for (char* close = std::strchr(name, ']'); close; close = std::strchr(close + 1, ']')) {
                if (IsLineEnd(close[1])) {
                    *close = '\0';
                    break;
                }
            }
            comment.MoveTo(section ? &section->comment : &doc->preamble);
            section = GetOrCreateSection(doc, name);
            if (!section) {
                return -2;
            }
        } else if (section) {
            ParseKeyLine(doc, section, start, &doc->keyTableSizeHint);
        }
    }
    comment.MoveTo(section ? &section->comment : &doc->preamble);
    file.reset();

    doc->modifiedTime = platform::FileModifiedTime(doc->fileName);
    return 0;
}

int32_t LoadIfChanged(IniDocument* doc, const char* fileName) {
    if (!fileName || *fileName == '\0') {
        return -1;
    }
    if (EqualNoCase(fileName, doc->fileName, kIniFileNameMax + 1) && doc->modifiedTime != 0 &&
        platform::FileModifiedTime(doc->fileName) == doc->modifiedTime) {
        return 0;
    }
    Reset(doc);
    return Load(doc, fileName);
}

}  // namespace catalog
