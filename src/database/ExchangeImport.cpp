// Import: an exchange document read event by event as it arrives, each record written as soon
// as it is complete, all in one atomic change that the first thing out of place undoes.

#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include <nlohmann/json.hpp>

#include "DatabaseError.h"
#include "Exchange.h"
#include "ExchangePlace.h"
#include "FieldDefinition.h"
#include "ImportedKeys.h"
#include "JsonText.h"
#include "MultivalueDatabase.h"

namespace tessaran::db {
namespace {

using Json = nlohmann::json;
using exchange::place;
using exchange::shown;

[[noreturn]] void refuse(const std::string& message) {
    throw DatabaseError(error_code::kImport, "import refused: " + message);
}

int attributeNumber(const std::string& name, const std::string& file, const std::string& key) {
    const bool digits = !name.empty() && name.size() <= 6 && name.front() != '0' &&
                        name.find_first_not_of("0123456789") == std::string::npos;
    const int number = digits ? std::stoi(name) : 0;
    if (number < 1 || number > kMaxAttributeNumber)
        refuse(place(file, key, name) + ": an attribute is named by a whole number from 1 to " +
               std::to_string(kMaxAttributeNumber));
    return number;
}

// Why a select statement could not name the key (as a quoted value of "AVEC 0 = ..."), or
// nothing when it can.
std::optional<std::string> keyFault(std::string_view key) {
    if (key.find('"') != std::string_view::npos) return "must not hold a double quote";
    if (!key.empty() && key.back() == ']') return "must not end with \"]\"";
    for (const char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return "must not hold control characters";
        if (c == kAttributeMark || c == kValueMark || c == kSubvalueMark)
            return "must not hold the mark bytes 0xFE, 0xFD or 0xFC";
    }
    return std::nullopt;
}

// Follows the document's events: nesting level 1 holds the files, 2 the records of a file,
// 3 the attributes of a record, 4 the values of an attribute. A record is written when its
// object closes; what is kept meanwhile is the record being read, never the records before.
class DocumentReader final : public nlohmann::json_sax<Json> {
public:
    DocumentReader(MultivalueDatabase& database, const json::DocumentInput& input)
        : database_(database), input_(input) {
        const std::vector<std::string> known = database.fileNames();
        known_.insert(known.begin(), known.end());
    }

    int recordsWritten() const { return written_; }

    bool null() override { refuseHere("null"); }
    bool boolean(bool) override { refuseHere("boolean"); }
    bool number_integer(number_integer_t) override { return scalar(std::string(input_.lastNumber()), "number"); }
    bool number_unsigned(number_unsigned_t) override { return scalar(std::string(input_.lastNumber()), "number"); }
    bool number_float(number_float_t, const string_t&) override {
        return scalar(std::string(input_.lastNumber()), "number");
    }
    bool string(string_t& text) override { return scalar(text, "string"); }
    bool binary(binary_t&) override { refuseHere("binary"); }

    bool start_object(std::size_t) override {
        if (level_ >= 3) refuseHere("object");
        if (level_ == 2) {
            record_ = DynamicArray();
            attributes_.clear();
        }
        ++level_;
        return true;
    }
    bool end_object() override {
        if (level_ == 3) {
            openFile()->write(key_, record_);
            ++written_;
        }
        --level_;
        return true;
    }
    bool start_array(std::size_t) override {
        if (level_ != 3) refuseHere("array");
        record_.set(attribute_, "");
        position_ = 0;
        ++level_;
        return true;
    }
    bool end_array() override {
        --level_;
        return true;
    }

    bool key(string_t& name) override {
        if (level_ == 1) {
            if (known_.count(name) == 0) refuse("unknown file \"" + shown(name) + "\"");
            if (!files_.insert(name).second) refuse(place(name) + " appears twice in the document");
            file_ = name;
        } else if (level_ == 2) {
            if (name.empty()) refuse(place(file_) + ": a record key must not be empty");
            if (const std::optional<std::string> fault = keyFault(name))
                refuse(place(file_, name) + ": a record key " + *fault + " (a select statement could not name it)");
            if (!keys_.add(file_, name)) refuse(place(file_, name) + " appears twice in the document");
            key_ = name;
        } else {
            attributeName_ = name;
            attribute_ = attributeNumber(name, file_, key_);
            if (!attributes_.insert(attribute_).second)
                refuse(place(file_, key_, name) + ": the attribute appears twice in the record");
        }
        return true;
    }

    bool parse_error(std::size_t, const std::string& token, const nlohmann::detail::exception& error) override {
        if (error.id == 406) refuse(here() + ": the number " + token + " is too large to be read");
        std::string what = error.what();
        const std::size_t detail = what.find("] ");
        if (detail != std::string::npos) what.erase(0, detail + 2);
        refuse("the document is not JSON (" + what + ")");
    }

private:
    // The file of the records being read, opened once per import.
    const std::shared_ptr<File>& openFile() {
        std::shared_ptr<File>& opened = openedFiles_[file_];
        if (!opened) opened = database_.OpenFile(file_);
        return opened;
    }

    // A string or a number: a value of an attribute, or out of place.
    bool scalar(const std::string& text, const char* type) {
        if (level_ == 3) record_.set(attribute_, text);
        else if (level_ == 4) record_.set(attribute_, ++position_, text);
        else refuseHere(type);
        return true;
    }

    // Refuses a value of `type` that is out of place at the current level.
    [[noreturn]] void refuseHere(const char* type) const {
        const std::string what = std::string(type) == "array" && level_ == 4 ? "a nested array" : type;
        switch (level_) {
        case 0: refuse("the document must be an object of files, not " + what);
        case 1: refuse(place(file_) + " must be an object of records, not " + what);
        case 2: refuse(place(file_, key_) + ": a record must be an object of attributes, not " + what);
        case 3:
            refuse(place(file_, key_, attributeName_) +
                   ": a value must be a string, a number or an array of them, not " + what);
        default:
            refuse(place(file_, key_, attributeName_) + ": value " + std::to_string(position_ + 1) +
                   " must be a string or a number, not " + what);
        }
    }

    // The place of the value being read, for a message.
    std::string here() const {
        switch (level_) {
        case 0: return "the document";
        case 1: return place(file_);
        case 2: return place(file_, key_);
        default: return place(file_, key_, attributeName_);
        }
    }

    MultivalueDatabase& database_;
    const json::DocumentInput& input_;  // where the source text of numbers is
    std::set<std::string> known_;
    std::set<std::string> files_;             // the files met so far
    std::map<std::string, std::shared_ptr<File>> openedFiles_;
    ImportedKeys keys_;                       // the keys met so far, file by file
    std::set<int> attributes_;                // the attributes met so far in the current record
    int level_ = 0;
    std::string file_;
    std::string key_;
    std::string attributeName_;
    int attribute_ = 0;
    int position_ = 0;
    DynamicArray record_;
    int written_ = 0;
};

int importDocument(MultivalueDatabase& database, json::DocumentInput& input, const std::function<void()>& check) {
    int written = 0;
    database.atomically([&] {
        DocumentReader reader(database, input);
        Json::sax_parse(input.begin(), json::DocumentInput::end(), &reader);
        if (check) check();
        written = reader.recordsWritten();
    });
    return written;
}

}  // namespace

int importJson(MultivalueDatabase& database, std::istream& document, const std::function<void()>& check) {
    json::DocumentInput input(document);
    return importDocument(database, input, check);
}

int importJson(MultivalueDatabase& database, const std::string& jsonText, const std::function<void()>& check) {
    json::DocumentInput input(jsonText);
    return importDocument(database, input, check);
}

}  // namespace tessaran::db
