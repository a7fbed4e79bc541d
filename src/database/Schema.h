#pragma once
// The ten data files of the application, in the order the control opens them.

#include <array>
#include <string_view>

namespace tessaran::db {

inline constexpr std::array<std::string_view, 10> kApplicationFiles = {
    "ACTIVITES",      "ASSOCIATION", "BAREMEFEDEASSO", "FEDEASSOC",    "FLUXCOMPTABLES",
    "FLUXPARAM",      "NUMEROFACT",  "ORGPRISECHARGE", "PERIODESPAIE", "SECTEUR"};

}  // namespace tessaran::db
