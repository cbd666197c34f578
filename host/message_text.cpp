#include "host/message_text.h"

#include <cstdint>
#include <cstdio>

std::string MessageText(std::string_view text, size_t limit) {
    size_t end = text.size();
    if (end > limit) {
        end = limit;
        while (end > 0 && (uint8_t(text[end]) & 0xC0) == 0x80) --end;  // not inside a character
    }
    std::string shown;
    for (size_t i = 0; i < end; ++i) {
        const uint8_t c = uint8_t(text[i]);
        // C1 controls too, as UTF-8 spells them (U+0080..U+009F).
        const bool c1 = c == 0xC2 && i + 1 < end && uint8_t(text[i + 1]) >= 0x80 && uint8_t(text[i + 1]) <= 0x9F;
        char escape[8];
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            shown += escape;
        } else if (c1) {
            std::snprintf(escape, sizeof escape, "\\u%04X", uint8_t(text[++i]));
            shown += escape;
        } else {
            shown += char(c);
        }
    }
    return end < text.size() ? shown + "..." : shown;
}
