#pragma once
// The process-wide objects the control works with: the database, the host's client object,
// the ten open files, their eleven current-record slots (two for the accounting flows), the
// select request, and the utility component and help viewer, created on first use.
// One instance, reached through dataModule(); tests reset it between cases.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "database/Database.h"
#include "platform/Client.h"
#include "platform/HelpViewer.h"
#include "platform/Utility.h"

namespace tessaran::control {

struct FileSlot {
    std::shared_ptr<db::File> file;
    std::shared_ptr<db::Record> record;
};

class DataModule {
public:
    std::shared_ptr<db::Database> database;
    std::shared_ptr<platform::Client> client;

    FileSlot ACTIVITES;
    FileSlot ASSOCIATION;
    FileSlot BAREMEFEDEASSO;
    FileSlot FEDEASSOC;
    FileSlot FLUXCOMPTABLES;
    std::shared_ptr<db::Record> FLUXCOMPTABLES2;  // second slot: complementary flows
    FileSlot FLUXPARAM;
    FileSlot NUMEROFACT;
    FileSlot ORGPRISECHARGE;
    FileSlot PERIODESPAIE;
    FileSlot SECTEUR;

    std::shared_ptr<db::SelectRequest> request;

    // Created on first use, kept until the module is reset.
    std::unique_ptr<platform::Utility> utility;
    std::unique_ptr<platform::HelpViewer> helpViewer;

    // Opens the ten files in the application's order, then creates the select request.
    // A failure stops at the file that failed; the files after it stay unopened.
    void Ouvre_Fichiers();
    // Releases the request, the eleven record slots, the ten files, then the database.
    void Libere_Objets();
    // The slot of a file by name (FLUXCOMPTABLES gives the first slot).
    FileSlot& slot(const std::string& fileName);
};

DataModule& dataModule();
// The record a slot holds; throws std::logic_error naming the file when nothing was read into
// it, so that a procedure finding an empty slot fails like any other statement.
db::Record& heldRecord(const std::shared_ptr<db::Record>& slot, std::string_view fileName);
// Tests: a fresh module.
void resetDataModule();

}  // namespace tessaran::control
