// The catalogue's INI reader: one file loaded into sections of key/value
// entries, looked up without regard to the case of ASCII letters.
//
// Text is bytes of the ANSI code page; nothing is converted. The reader never
// writes a file. Before its first load a document is zeroed (as constructed
// here) with keyTableSizeHint and pool set by its owner; whoever loads it
// ends with Release or Reset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "catalog/blockalloc.h"
#include "catalog/hashtable.h"

namespace catalog {

constexpr size_t kIniFileNameMax = 254;     // longer names are refused
constexpr size_t kIniLinePieceMax = 65534;  // longer lines arrive in pieces
constexpr size_t kLowerKeyMax = 96;         // bytes that tell names and keys apart

struct IniSection {
    char* name;                // the header text as written
    ChainedHashTable entries;  // LowerKey(key) -> IniEntry
    char* comment;             // the comment lines of the body, or none
};

// One allocation: this record, then the line as stored, "key = value",
// terminated; value points into it, after "key = ".
struct IniEntry {
    char* value;
};

inline const char* EntryText(const IniEntry* entry) {
    return reinterpret_cast<const char*>(entry + 1);
}

struct IniDocument {
    char fileName[kIniFileNameMax + 2] = {};
    uint32_t modifiedTime = 0;  // 0: no completed load, or no file status
    uint8_t released = 0;
    char* preamble = nullptr;   // comment lines before the first header
    ChainedHashTable sections;  // LowerKey(name) -> IniSection
    uint32_t keyTableSizeHint = 10;
    BlockAlloc* pool = nullptr;  // owned by the document's owner
};

// The table key of a section name or a key: its first 96 bytes with A-Z
// lowered, byte by byte.
struct LowerKeyText {
    char bytes[kLowerKeyMax + 1];
    uint32_t length;
};
LowerKeyText LowerKey(const char* text);

// 0 when the document is current or was loaded; -1 no file name, a name of
// more than 254 characters, or the file cannot be opened; -2 memory ran out.
// Without a name the document is left as it was.
int32_t LoadIfChanged(IniDocument* doc, const char* fileName);
// The same results, for a document that Reset has emptied.
int32_t Load(IniDocument* doc, const char* fileName);

IniSection* FindSection(const IniDocument* doc, const char* name);
IniEntry* FindEntry(const IniSection* section, const char* key);

// A copy of the value of key in section "TYPE", or of defaultText. Empty when
// even the copy cannot be made.
std::string GetTypeValue(const IniDocument* doc, const char* key, const char* defaultText) noexcept;
std::string GetTypeValue(const IniDocument* doc, const char* key) noexcept;

// The parser's steps.
IniSection* GetOrCreateSection(IniDocument* doc, const char* name);
// 0; -2 the key table cannot be created; -3 the entry cannot be allocated;
// -4 the key table refused the key (already present, or no memory for it).
int32_t AddEntry(IniDocument* doc, IniSection* section, const char* key, const char* value,
                 uint32_t* keyTableSizeHint);
// line starts at its first non-blank character and is cut up in place.
// -1 when it has no "=" or begins with one; otherwise AddEntry's result.
int32_t ParseKeyLine(IniDocument* doc, IniSection* section, char* line, uint32_t* keyTableSizeHint);

void FreeSection(IniDocument* doc, IniSection* section);
// Frees everything the document holds; harmless when repeated.
void Release(IniDocument* doc);
// Release, then empty: only keyTableSizeHint and pool stay.
void Reset(IniDocument* doc);

}  // namespace catalog
