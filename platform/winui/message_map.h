// Message maps as tables: which handler a window message goes to.
//
// Each class with handlers has one static table; the table names the base
// class's table, so a lookup walks from the most derived class to the base
// and the first match wins. The entry holds a thunk that knows the handler's
// signature, so the tables stay plain data. Nothing here calls Windows, so
// the lookup is tested on every build.
#pragma once

#include <cstddef>
#include <cstdint>

namespace winui {

class CCmdTarget;

inline constexpr uint32_t kWmCommand = 0x0111;  // WM_COMMAND

// Calls the handler; returns the message's result.
using HandlerThunk = intptr_t (*)(CCmdTarget& target, uintptr_t wParam, intptr_t lParam);

// WM_COMMAND entries match on message, notification code and control id;
// every other entry matches on the message alone.
struct MessageMapEntry {
    uint32_t message;
    uint32_t code;
    uint32_t id;
    HandlerThunk thunk;
};

struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
    size_t count;
};

// The entry for the message, searching the map and then its bases, or nullptr.
const MessageMapEntry* FindMessageEntry(const MessageMap* map, uint32_t message, uintptr_t wParam);

// Something that receives messages through a map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const MessageMap* GetMessageMap() const { return nullptr; }
};

}  // namespace winui
