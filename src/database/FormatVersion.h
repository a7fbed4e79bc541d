#pragma once
// The version of a database's format, as its catalogue records it (tessaran_meta 'version').

#include <charconv>
#include <string_view>

namespace tessaran::db {

// True when `version` is a later format than `current`: a whole number above it. Anything
// else (an earlier or the same number, a text that is not a number) is not taken as newer.
inline bool newerFormat(std::string_view version, std::string_view current) {
    long long stored = 0;
    long long known = 0;
    const auto storedRead = std::from_chars(version.data(), version.data() + version.size(), stored);
    const auto knownRead = std::from_chars(current.data(), current.data() + current.size(), known);
    return storedRead.ec == std::errc() && storedRead.ptr == version.data() + version.size() &&
           knownRead.ec == std::errc() && stored > known;
}

}  // namespace tessaran::db
