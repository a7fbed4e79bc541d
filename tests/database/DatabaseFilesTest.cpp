// The database's files on disk: commits that reach the disk, and databases that cannot be
// written or opened (read-only file or folder, no permission, full disk) reported as such.

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>

#include "DatabaseTestSupport.h"
#include "database/Exchange.h"

namespace tessaran::db {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// Counts the syncs that files receive, through a VFS wrapped around SQLite's default one and
// made the default while the counter lives.
class SyncCounter {
public:
    SyncCounter() : vfs_(*base_) {
        vfs_.zName = "tessaran-sync-counter";
        vfs_.xOpen = [](sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
            const int rc = base_->xOpen(base_, name, file, flags, outFlags);
            if (rc != SQLITE_OK || file->pMethods == nullptr) return rc;
            // One counting copy per kind of file (database, log...), keyed by the original.
            sqlite3_io_methods& counting = kinds_.try_emplace(file->pMethods, *file->pMethods).first->second;
            counting.xSync = [](sqlite3_file* synced, int syncFlags) {
                ++syncs_;
                for (const auto& [base, kind] : kinds_)
                    if (&kind == synced->pMethods) return base->xSync(synced, syncFlags);
                return SQLITE_IOERR_FSYNC;
            };
            file->pMethods = &counting;
            return rc;
        };
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~SyncCounter() {
        sqlite3_vfs_register(base_, 1);
        sqlite3_vfs_unregister(&vfs_);
    }
    int syncs() const { return syncs_; }

private:
    static inline sqlite3_vfs* const base_ = sqlite3_vfs_find(nullptr);
    static inline int syncs_ = 0;
    static inline std::map<const sqlite3_io_methods*, sqlite3_io_methods> kinds_;
    sqlite3_vfs vfs_;
};

TEST(DatabaseFiles, EveryCommitReachesTheDiskBeforeItReturns) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "a server keeps its own commits";
    ScratchDatabase scratch;
    SyncCounter counter;
    auto database = openDatabase(scratch.path);
    auto sectors = database->OpenFile("SECTEUR");
    sectors->write("S00", DynamicArray("first"));  // the first commit to a new log also syncs its header
    for (int commit = 1; commit <= 3; ++commit) {
        const int before = counter.syncs();
        if (commit == 3) database->begin();
        sectors->write("S01", DynamicArray(std::to_string(commit)));
        if (commit == 3) database->commit();
        EXPECT_GT(counter.syncs(), before) << "commit " << commit;
    }
}

TEST(DatabaseFiles, ReadOnlyDatabaseIsReadWithoutLeavingFilesThatBlockLaterRuns) {
    TempDir scratch;
    fs::permissions(fs::path(scratch.file("")).parent_path(), fs::perms::all);
    Unprivileged nobody;
    if (!nobody.restricted()) GTEST_SKIP() << "cannot run without the rights of root";
    const fs::path folder = scratch.file("shared");
    fs::create_directory(folder);
    const std::string path = (folder / "base.db").string();
    SqliteDatabase::create(path)->OpenFile("SECTEUR")->write("S01", DynamicArray("Aide"));

    const auto expectReadOnly = [&](const std::string& what) {
        {
            auto database = openDatabase(path);
            EXPECT_EQ(database->OpenFile("SECTEUR")->Read("S01")->str(), "Aide") << what;
            EXPECT_THAT(exportJson(*database), HasSubstr("Aide")) << what;
            EXPECT_EQ(codeOf([&] { database->begin(); }), error_code::kReadOnly) << what;
            const auto refused = raised([&] { database->OpenFile("SECTEUR")->write("S02", DynamicArray("x")); });
            EXPECT_EQ(refused.code, error_code::kReadOnly) << what;
            EXPECT_THAT(refused.message, HasSubstr("read-only")) << what;
        }
        for (const char* left : {"-shm", "-wal"}) EXPECT_FALSE(fs::exists(path + left)) << what << left;
    };
    for (const fs::path& readOnly : {fs::path(path), folder}) {  // the file, then its folder
        fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::remove);
        expectReadOnly(readOnly.filename().string());
        fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
    }

    // While a print run has it open, a reader without write access reads through the run's
    // shared memory: the last commit, not the run's uncommitted writes.
    {
        auto printRun = openDatabase(path);
        printRun->begin();
        printRun->OpenFile("SECTEUR")->write("S01", DynamicArray("pending"));
        fs::permissions(path, fs::perms::owner_read);
        EXPECT_EQ(openDatabase(path)->OpenFile("SECTEUR")->Read("S01")->str(), "Aide");
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
        printRun->commit();
    }
    // Later runs with write access are not blocked.
    openDatabase(path)->OpenFile("SECTEUR")->write("S02", DynamicArray("Soins"));
    EXPECT_EQ(openDatabase(path)->records("SECTEUR").size(), 2u);

    for (const fs::path& locked : {fs::path(path), folder}) {
        fs::permissions(locked, fs::perms::none);
        const auto refused = raised([&] { openDatabase(path); });
        EXPECT_EQ(refused.code, error_code::kNoAccess) << locked;
        EXPECT_THAT(refused.message, HasSubstr("permission")) << locked;
        fs::permissions(locked, fs::perms::owner_all);
    }
}

// The code of the error `action` raises while no file may grow past `bytes`.
std::uint32_t codeWithFilesLimitedTo(rlim_t bytes, const std::function<void()>& action) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    const std::uint32_t code = codeOf(action);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    return code;
}

TEST(DatabaseFiles, NoRoomToWriteIsReportedAsSuchAndChangesNothing) {
    TempDir scratch;
    const std::string path = scratch.file("full.db");
    SqliteDatabase::create(path)->OpenFile("SECTEUR")->write("S01", DynamicArray("Aide"));
    // Opening creates the shared-memory file beside the database (eight pages).
    EXPECT_EQ(codeWithFilesLimitedTo(4096, [&] { openDatabase(path); }), error_code::kDiskFull);

    auto database = openDatabase(path);
    const auto writeLongRecord = [&] {
        database->OpenFile("SECTEUR")->write("S02", DynamicArray(std::string(50000, 'x')));
    };
    EXPECT_EQ(codeWithFilesLimitedTo(3 * 4096, writeLongRecord), error_code::kDiskFull);
    EXPECT_EQ(database->records("SECTEUR").size(), 1u);
    writeLongRecord();
    EXPECT_EQ(database->records("SECTEUR").size(), 2u);
}

}  // namespace
}  // namespace tessaran::db
