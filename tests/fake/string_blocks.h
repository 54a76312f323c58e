// String-table blocks for the fake platform, laid out as the resource
// compiler lays them out: 16 counted strings back to back.
#pragma once

#include <string>
#include <vector>

namespace fake {

inline std::vector<unsigned char> MakeBlock(const std::vector<std::wstring> &entries) {
    std::vector<unsigned char> block;
    auto put = [&block](unsigned unit) {
        block.push_back(static_cast<unsigned char>(unit & 0xFF));
        block.push_back(static_cast<unsigned char>(unit >> 8));
    };
    for (const std::wstring &entry : entries) {
        put(static_cast<unsigned>(entry.size()));
        for (wchar_t unit : entry)
            put(static_cast<unsigned>(unit));
    }
    return block;
}

// Block 7 with the product name at entry 7 and the message format at entry 15.
inline std::vector<unsigned char> NoticeBlock(const std::wstring &name,
                                              const std::wstring &format) {
    std::vector<std::wstring> entries(16);
    entries[7] = name;
    entries[15] = format;
    return MakeBlock(entries);
}

} // namespace fake
