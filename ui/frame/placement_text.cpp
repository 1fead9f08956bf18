#include "ui/frame/placement_text.h"

#include <charconv>
#include <cstdint>

#include "platform/core/text.h"

std::string FormatPlacement(const plat::WINDOWPLACEMENT& p) {
    const RECT& r = p.rcNormalPosition;
    return plat::Format("%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", 0u, p.showCmd, static_cast<int>(p.ptMinPosition.x),
                        static_cast<int>(p.ptMinPosition.y), static_cast<int>(p.ptMaxPosition.x),
                        static_cast<int>(p.ptMaxPosition.y), static_cast<int>(r.left), static_cast<int>(r.top),
                        static_cast<int>(r.right), static_cast<int>(r.bottom));
}

std::optional<plat::WINDOWPLACEMENT> ParsePlacement(std::string_view text) {
    std::int64_t numbers[10] = {};
    std::size_t count = 0;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while (count < 10) {
        while (at < end && *at == ' ') ++at;
        const auto [next, fault] = std::from_chars(at, end, numbers[count]);
        if (fault != std::errc() || numbers[count] < INT32_MIN || numbers[count] > UINT32_MAX) return std::nullopt;
        ++count;
        at = next;
        while (at < end && *at == ' ') ++at;
        if (at == end) break;
        if (*at != ',') return std::nullopt;
        ++at;
    }
    if (count != 10 || at != end) return std::nullopt;
    plat::WINDOWPLACEMENT p;
    p.flags = static_cast<UINT>(numbers[0]);
    p.showCmd = static_cast<UINT>(numbers[1]);
    p.ptMinPosition = POINT{static_cast<LONG>(numbers[2]), static_cast<LONG>(numbers[3])};
    p.ptMaxPosition = POINT{static_cast<LONG>(numbers[4]), static_cast<LONG>(numbers[5])};
    p.rcNormalPosition = RECT{static_cast<LONG>(numbers[6]), static_cast<LONG>(numbers[7]),
                              static_cast<LONG>(numbers[8]), static_cast<LONG>(numbers[9])};
    return p;
}
