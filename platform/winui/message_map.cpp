#include "platform/winui/message_map.h"

namespace winui {

const MessageMapEntry* FindMessageEntry(const MessageMap* map, uint32_t message, uintptr_t wParam) {
    const uint32_t id = static_cast<uint32_t>(wParam & 0xFFFF);
    const uint32_t code = static_cast<uint32_t>((wParam >> 16) & 0xFFFF);
    for (; map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            const MessageMapEntry& entry = map->entries[i];
            if (entry.message != message) continue;
            if (message == kWmCommand && (entry.code != code || entry.id != id)) continue;
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace winui
