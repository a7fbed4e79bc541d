#pragma once
// What the commands say when the database they were given is not there.

#include <filesystem>
#include <string>

#include "database/OpenDatabase.h"
#include "Messages.h"

namespace tessaran::app {

// "no database at PATH" and how to make one, or that its folder does not exist.
inline std::string missingDatabaseMessage(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::exists(folder, error) && !error) {
        return filled(QCoreApplication::translate("DatabasePath", "no database at %1: the folder %2 does not exist"),
                      {path, folder.string()});
    }
    return filled(QCoreApplication::translate("DatabasePath", "no database at %1 (create one with 'tessaran init' or 'tessaran demo')"),
                  {path});
}

// True when `path` names something (an unknown answer counts as yes: never clobber). A
// database on a server is taken as there: connecting to it says whether it is.
inline bool databaseFileExists(const std::string& path) {
    if (db::isServerLocation(path)) return true;
    std::error_code error;
    return std::filesystem::exists(path, error) || error;
}

}  // namespace tessaran::app
