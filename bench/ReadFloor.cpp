// tessaran_read_floor: the export's floor. Reads every record of every data file (key and
// stored text) through the storage's own scan, in one read transaction, as `tessaran export`
// does, and does nothing with them; prints how many records and bytes were read.
//
// Usage: tessaran_read_floor --db LOCATION   (a file path or a PostgreSQL connection)

#include <cstddef>
#include <iostream>
#include <string>
#include <string_view>

#include "database/OpenDatabase.h"

int main(int argc, char** argv) {
    const std::string option = argc == 3 ? argv[1] : "";
    if (option != "--db") {
        std::cerr << "Usage: tessaran_read_floor --db LOCATION\n";
        return 1;
    }
    try {
        const auto database = tessaran::db::openDatabase(argv[2]);
        std::size_t records = 0;
        std::size_t bytes = 0;
        database->readConsistently([&] {
            for (const std::string& file : database->fileNames())
                database->scan(file, [&](std::string_view key, std::string_view record) {
                    ++records;
                    bytes += key.size() + record.size();
                });
        });
        std::cout << records << " records, " << bytes << " bytes\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "tessaran_read_floor: " << error.what() << '\n';
        return 1;
    }
}
