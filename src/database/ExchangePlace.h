#pragma once
// How messages about exchange documents name a place: file "F", key "K", attribute "A", with
// the bytes that would garble a one-line message (control characters, marks, '"') escaped.

#include <cstdio>
#include <string>
#include <string_view>

namespace tessaran::db::exchange {

inline std::string shown(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || byte >= 0xFC) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(byte));
            out += escaped;
        } else {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
    }
    return out;
}

inline std::string place(std::string_view file) { return "file \"" + shown(file) + "\""; }

inline std::string place(std::string_view file, std::string_view key, std::string_view attribute = {}) {
    std::string where = place(file) + ", key \"" + shown(key) + "\"";
    if (!attribute.empty()) where += ", attribute \"" + shown(attribute) + "\"";
    return where;
}

}  // namespace tessaran::db::exchange
