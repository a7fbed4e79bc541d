#pragma once
// The ten data files of the application opened on one database, each with the record last
// read from it (its slot), and the select request. Whoever opens the database owns them: the
// control from Init to its termination, the command line for one command. A record that
// cannot be read leaves its slot with what it held before.

#include <memory>
#include <string>

#include "database/Database.h"

namespace tessaran::billing {

struct FileSlot {
    std::shared_ptr<db::File> file;
    std::shared_ptr<db::Record> record;

    // Reads `key` into the slot; throws the database's error, the slot keeping what it held.
    db::Record& read(const std::string& key);
    // The record held; throws std::logic_error naming the file when nothing was read into it.
    db::Record& held() const;
};

class DataFiles {
public:
    // Opens the ten files in the application's order, then creates the select request
    // (Ouvre_Fichiers). Throws at the first file that cannot be opened.
    explicit DataFiles(std::shared_ptr<db::Database> database);
    // Releases the request, the record slots, the files, then the database (Libere_Objets).
    ~DataFiles();
    DataFiles(const DataFiles&) = delete;
    DataFiles& operator=(const DataFiles&) = delete;

    db::Database& database() const { return *database_; }
    db::SelectRequest& request() const { return *request_; }
    // Runs a select statement through the request; one attribute per record found, with the
    // values of `attributes` ("0" the key, "0 1" the key then attribute 1).
    db::DynamicArray select(const std::string& statement, const std::string& fileName,
                            const std::string& attributes = "0") const;

    FileSlot activities;     // ACTIVITES
    FileSlot issuer;         // ASSOCIATION: the federation, record "001"
    FileSlot feeScales;      // BAREMEFEDEASSO
    FileSlot associations;   // FEDEASSOC
    FileSlot flows;          // FLUXCOMPTABLES
    FileSlot parameters;     // FLUXPARAM
    FileSlot counter;        // NUMEROFACT
    FileSlot fundingBodies;  // ORGPRISECHARGE
    FileSlot payPeriods;     // PERIODESPAIE
    FileSlot sectors;        // SECTEUR

private:
    FileSlot& slot(const std::string& fileName);

    std::shared_ptr<db::Database> database_;
    std::shared_ptr<db::SelectRequest> request_;
};

}  // namespace tessaran::billing
