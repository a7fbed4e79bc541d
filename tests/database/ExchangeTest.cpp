#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <ranges>
#include <sstream>
#include <tuple>
#include <utility>

#include "DatabaseTestSupport.h"
#include "database/Exchange.h"

#include <nlohmann/json.hpp>

namespace tessaran::db {
namespace {

using namespace testing;

TEST(Exchange, ImportKeepsNumbersAsWrittenAndExportWritesTheSameFormInOrder) {
    auto database = tessaran::testing::newTestDatabase();
    // exchange.json holds numbers of every form, and digits, signs and escaped quotes inside
    // keys and strings, which are not numbers; the export shows what was stored.
    EXPECT_EQ(importJson(*database, testData("exchange.json")), 4);
    EXPECT_EQ(exportJson(*database, {"FEDEASSOC", "ACTIVITES"}), testData("exchange-export.json"));
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("P1"));  // imported records are indexed

    const std::string everything = exportJson(*database);
    auto copy = tessaran::testing::newTestDatabase();
    importJson(*copy, everything);
    EXPECT_EQ(exportJson(*copy), everything);
    EXPECT_THAT(everything, HasSubstr("\"PERIODESPAIE\": {}"));
    EXPECT_EQ(codeOf([&] { exportJson(*database, {"NOPE"}); }), error_code::kUnknownFile);
}

TEST(Exchange, RefusesBadDocumentsNamingThePlaceAndChangesNothing) {
    auto database = tessaran::testing::newTestDatabase();
    importJson(*database, R"({"SECTEUR": {"S01": {"1": "Aide"}}})");
    const std::string before = exportJson(*database);

    const std::string good = R"("SECTEUR": {"S00": {"1": "new"}}, )";
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {R"({"SECTEUR": {"S02": {"1": "x"}})", {"not JSON", "line 1, column 32"}},
        {"", {"not JSON"}},
        {R"(["SECTEUR"])", {"object of files"}},
        {"{" + good + R"("SECTEURS": {}})", {"unknown file \"SECTEURS\""}},
        {R"({"SECTEUR": []})", {"file \"SECTEUR\"", "object of records"}},
        {R"({"SECTEUR": {"S02": "Soins"}})", {"file \"SECTEUR\", key \"S02\"", "object of attributes"}},
        {R"({"SECTEUR": {"S02": {"0": "x"}}})", {"key \"S02\", attribute \"0\"", "whole number"}},
        {R"({"SECTEUR": {"S02": {"01": "x"}}})", {"attribute \"01\""}},
        {R"({"SECTEUR": {"S02": {"soins": "x"}}})", {"attribute \"soins\""}},
        {R"({"SECTEUR": {"S02": {"1": true}}})", {"attribute \"1\"", "boolean"}},
        {R"({"SECTEUR": {"S02": {"1": null}}})", {"attribute \"1\"", "null"}},
        {R"({"SECTEUR": {"S02": {"1": {"a": "b"}}}})", {"attribute \"1\"", "object"}},
        {R"({"SECTEUR": {"S02": {"1": ["a", ["b"]]}}})", {"attribute \"1\"", "value 2", "nested array"}},
        {R"({"SECTEUR": {"S02": {"1": ["a", {}]}}})", {"value 2", "object"}},
        {R"({"SECTEUR": {"": {"1": "a"}}})", {"key must not be empty"}},
        // Keys a select statement could not name.
        {R"({"SECTEUR": {"A\"1": {"1": "a"}}})", {"key \"A\\\"1\"", "double quote"}},
        {R"({"SECTEUR": {"A1]": {"1": "a"}}})", {"key \"A1]\"", "end with"}},
        {R"({"SECTEUR": {"A\u0001": {"1": "a"}}})", {"key \"A\\x01\"", "control"}},
        {R"({"SECTEUR": {"A\u007f": {"1": "a"}}})", {"key \"A\\x7F\"", "control"}},
        // What would be silently lost.
        {"{" + good + R"("SECTEUR": {"S03": {"1": "x"}}})", {"file \"SECTEUR\" appears twice"}},
        {R"({"SECTEUR": {"S02": {"1": "a"}, "S02": {"1": "b"}}})", {"key \"S02\" appears twice"}},
        {R"({"SECTEUR": {"S02": {"1": "a", "1": "b"}}})", {"attribute \"1\"", "twice"}},
        {R"({"SECTEUR": {"S02": {"5": [1, -1e999]}}})", {"key \"S02\", attribute \"5\"", "-1e999", "too large"}},
    };
    for (const auto& [document, named] : cases) {
        const auto refused = raised([&] { importJson(*database, document); });
        EXPECT_EQ(refused.code, error_code::kImport) << document;
        for (const std::string& part : named) EXPECT_THAT(refused.message, HasSubstr(part)) << document;
        EXPECT_EQ(exportJson(*database), before) << document;
    }
}

// A document longer than the chunks the import reads: 3,000 activities whose attribute 2 is
// a number, one of them written across the end of the first chunk (64 KiB).
std::string longDocument(const std::string& tail) {
    std::string document = R"({"SECTEUR": {"S01": {"1": "Aide"}}, "ACTIVITES": {)";
    for (int i = 0; i < 3000; ++i) {
        char opening[64];
        std::snprintf(opening, sizeof opening, R"(%s"K%05d": {"1": "activité", "2": )", i == 0 ? "" : ", ", i);
        const std::size_t numberAt = document.size() + std::strlen(opening);
        if (numberAt > 65400 && numberAt < 65530) document += std::string(65530 - numberAt, ' ');
        document += opening + ("-" + std::to_string(i) + ".50e+2}");
    }
    return document + tail;
}

TEST(Exchange, ImportStreamsALongDocumentAndARefusalAtItsEndKeepsNothing) {
    auto database = tessaran::testing::newTestDatabase();
    importJson(*database, R"({"ACTIVITES": {"A0": {"12": "P"}}})");
    const std::string before = exportJson(*database);

    const auto refuseAll = [] { throw DatabaseError(error_code::kImport, "import refused: counter"); };
    const std::vector<std::tuple<std::string, std::function<void()>, std::string>> cases = {
        {R"(, "K00000": {"1": "again"}}})", nullptr, "file \"ACTIVITES\", key \"K00000\" appears twice"},
        {R"(}, "SECTEUR": {}})", nullptr, "file \"SECTEUR\" appears twice"},
        {R"(, "K99999": {"1": [1, 2e999]}}})", nullptr, "key \"K99999\", attribute \"1\": the number 2e999"},
        {R"(, "K99999": {"1": "x"}})", nullptr, "not JSON"},
        {"}}", refuseAll, "counter"},
    };
    for (const auto& [tail, check, named] : cases) {
        std::istringstream document(longDocument(tail));
        const auto refused = raised([&] { importJson(*database, document, check); });
        EXPECT_EQ(refused.code, error_code::kImport) << tail;
        EXPECT_THAT(refused.message, HasSubstr(named)) << tail;
        EXPECT_EQ(exportJson(*database), before) << tail;
    }

    std::istringstream document(longDocument("}}"));
    EXPECT_EQ(importJson(*database, document), 3001);
    const auto activities = database->records("ACTIVITES");
    ASSERT_EQ(activities.size(), 3001u);
    for (int i = 0; i < 3000; ++i)  // every number as written, the one across the chunks too
        ASSERT_EQ(activities[static_cast<std::size_t>(i) + 1].second.get(2), "-" + std::to_string(i) + ".50e+2");
}

TEST(Exchange, ExportReadsOneSnapshotWhileAnotherConnectionWrites) {
    ScratchDatabase scratch;
    const auto& [directory, path, database] = scratch;
    importJson(*database, R"({"ACTIVITES": {"A1": {"12": "P"}}, "SECTEUR": {"S01": {"1": "before"}}})");
    const std::string before = exportJson(*database);

    // A print run holds its transaction open, and commits once the export has begun writing.
    auto printRun = openDatabase(path);
    printRun->begin();
    printRun->OpenFile("ACTIVITES")->write("A2", DynamicArray("x"));
    printRun->OpenFile("SECTEUR")->write("S01", DynamicArray("after"));
    struct CommitOnFirstWrite : std::stringbuf {
        std::function<void()> commit;
        std::streamsize xsputn(const char* text, std::streamsize size) override {
            if (commit) std::exchange(commit, nullptr)();
            return std::stringbuf::xsputn(text, size);
        }
    } output;
    output.commit = [&] { printRun->commit(); };
    std::ostream out(&output);
    exportJson(*database, out);
    EXPECT_EQ(output.str(), before);
    EXPECT_THAT(exportJson(*database), HasSubstr("after"));
}

TEST(Exchange, ImportFailingMidwayLeavesNothingBehind) {
    auto database = tessaran::testing::newTestDatabase();
    importJson(*database, R"({"ACTIVITES": {"A0": {"12": "P"}}})");
    const std::string before = exportJson(*database);
    const std::string document = R"({"ACTIVITES": {"A1": {"12": "P"}, "A2": {"12": "P"}, "A3": {"12": "P"}}})";

    for (int failing = 1; failing <= 3; ++failing) {
        database->failWriteAfter(failing);
        EXPECT_THROW(importJson(*database, document), DatabaseError);
        EXPECT_EQ(exportJson(*database), before);
        EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A0"));  // nor index entries
        EXPECT_FALSE(database->inTransaction());
    }

    // Inside the caller's transaction a failed import is undone and the transaction goes on.
    database->begin();
    database->OpenFile("ACTIVITES")->write("B1", DynamicArray("kept"));
    database->failWriteAfter(2);
    EXPECT_THROW(importJson(*database, document), DatabaseError);
    EXPECT_TRUE(database->inTransaction());
    database->commit();
    EXPECT_EQ(database->OpenFile("ACTIVITES")->Read("B1")->str(), "kept");
    EXPECT_EQ(database->records("ACTIVITES").size(), 2u);

    database->failWriteAfter(0);
    EXPECT_EQ(importJson(*database, document), 3);
}

// The export writes its text itself; the JSON library's own layout and escaping, on the same
// records, is what it must give, byte for byte.
std::string documentByTheJsonLibrary(MultivalueDatabase& database, const std::string& file) {
    nlohmann::ordered_json records = nlohmann::ordered_json::object();
    database.scan(file, [&](std::string_view key, std::string_view text) {
        nlohmann::ordered_json record = nlohmann::ordered_json::object();
        std::size_t number = 1;
        for (const auto attribute : std::views::split(text, kAttributeMark)) {
            const std::string_view values(attribute.begin(), attribute.end());
            if (values.find(kValueMark) != std::string_view::npos) {
                nlohmann::ordered_json array = nlohmann::ordered_json::array();
                for (const auto value : std::views::split(values, kValueMark)) array.push_back(std::string(value.begin(), value.end()));
                record[std::to_string(number)] = array;
            } else if (!values.empty()) {
                record[std::to_string(number)] = std::string(values);
            }
            ++number;
        }
        records[std::string(key)] = record;
    });
    return nlohmann::ordered_json{{file, records}}.dump(2) + "\n";
}

TEST(Exchange, ExportToAnOutputThatFailsStopsQuietlyAndLeavesTheStreamFailed) {
    auto database = tessaran::testing::newTestDatabase();
    auto sectors = database->OpenFile("SECTEUR");
    for (int n = 0; n < 3000; ++n) sectors->write("S" + std::to_string(10000 + n), DynamicArray(std::string(100, 'x')));
    // A disk that fills up after the first 1,000 bytes.
    struct FullDisk : std::streambuf {
        std::size_t room = 1000;
        std::streamsize xsputn(const char*, std::streamsize count) override {
            if (static_cast<std::size_t>(count) > room) return 0;
            room -= static_cast<std::size_t>(count);
            return count;
        }
        int_type overflow(int_type) override { return traits_type::eof(); }
    } disk;
    std::ostream out(&disk);
    EXPECT_NO_THROW(exportJson(*database, out, {"SECTEUR"}));
    EXPECT_TRUE(out.bad());  // for the caller to say the output could not be written
}

TEST(Exchange, ExportWritesAnyTextAsTheJsonLibraryDoes) {
    auto database = tessaran::testing::newTestDatabase();
    // Pieces of every kind the writer tells apart: plain runs, escapes, characters of two to
    // four bytes (the highest below the surrogates, the lowest after them, the last one), marks.
    const std::vector<std::string> pieces = {
        "202611", "COTISATION FÉDÉRALE", "0123456789abcdef0123", "\"", "\\", "\n", "\t", "\b", "\f", "\r",
        "\x01", "\x1f", "\x7f", "/", "é", "€", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF0\x90\x80\x80",
        "\xF4\x8F\xBF\xBF", std::string(1, kValueMark), std::string(1, kAttributeMark),
        std::string(3, kAttributeMark)};
    std::mt19937 random(2611);
    database->atomically([&] {
        for (int k = 0; k < 300; ++k) {
            std::string text;
            const std::size_t count = random() % (k % 50 == 0 ? 12000 : 60);
            for (std::size_t n = 0; n < count; ++n) text += pieces[random() % pieces.size()];
            database->OpenFile("SECTEUR")->write("S" + std::to_string(1000 + k), DynamicArray(text));
        }
        // Long texts go through in slices: a character of several bytes or an escape astride
        // the end of one.
        for (const std::size_t before : {65533u, 65534u, 65535u, 65536u})
            database->OpenFile("SECTEUR")->write("T" + std::to_string(before),
                DynamicArray(std::string(before, 'a') + "€\"\x01" + kValueMark + "b" + kAttributeMark + "c"));
    });
    EXPECT_EQ(exportJson(*database, {"SECTEUR"}), documentByTheJsonLibrary(*database, "SECTEUR"));
}

TEST(Exchange, RefusesToExportWhatJsonCannotCarry) {
    auto database = tessaran::testing::newTestDatabase();
    database->OpenFile("SECTEUR")->write("S01", DynamicArray(std::string("a") + kSubvalueMark + "b"));
    const auto refused = raised([&] { exportJson(*database); });
    EXPECT_EQ(refused.code, error_code::kExport);
    EXPECT_THAT(refused.message, HasSubstr("file \"SECTEUR\", key \"S01\", attribute \"1\""));
    // Nor what is not UTF-8: an encoded surrogate, an overlong form, a character above U+10FFFF,
    // one cut short by a mark, a stray continuation byte; in any attribute of a long record.
    const std::string before = std::string(70000, 'a') + kAttributeMark + "b" + kValueMark + "c" + kAttributeMark;
    for (const std::string text : {"\xED\xA0\x80", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xC3", "\x80"}) {
        database->OpenFile("SECTEUR")->write("S01", DynamicArray(before + "x" + text + kValueMark + "y"));
        const auto refusal = raised([&] { exportJson(*database); });
        EXPECT_EQ(refusal.code, error_code::kExport);
        EXPECT_THAT(refusal.message, HasSubstr("key \"S01\", attribute \"3\""));
    }
    database->OpenFile("SECTEUR")->write("S01", DynamicArray("a"));
    database->OpenFile("SECTEUR")->write("S02\xFF", DynamicArray("a"));
    EXPECT_THAT(raised([&] { exportJson(*database); }).message, HasSubstr("key \"S02\\xFF\": the key is not UTF-8"));

    // The document goes out as it is written: a refusal ends it where it stands, and what was
    // written before is not a document an import would take.
    auto large = tessaran::testing::newTestDatabase();
    large->atomically([&] {
        for (int k = 0; k < 12; ++k) large->OpenFile("SECTEUR")->write("S" + std::to_string(10 + k), DynamicArray(std::string(60000, 'x')));
        large->OpenFile("SECTEUR")->write("Z", DynamicArray(std::string("a") + kSubvalueMark));
    });
    std::ostringstream out;
    EXPECT_EQ(codeOf([&] { exportJson(*large, out); }), error_code::kExport);
    EXPECT_THAT(out.str(), ::testing::StartsWith("{\n  \"ACTIVITES\": {}"));
    auto copy = tessaran::testing::newTestDatabase();
    EXPECT_EQ(codeOf([&] { importJson(*copy, out.str()); }), error_code::kImport);
    EXPECT_TRUE(copy->records("SECTEUR").empty());
}

}  // namespace
}  // namespace tessaran::db
