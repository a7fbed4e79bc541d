#pragma once
// JSON text as the import reads it: a document handed to the parser with the source text of
// its numbers. (The export writes its text itself, see ExportDocument.)

#include <cstddef>
#include <iosfwd>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

namespace tessaran::db::json {

// A JSON document handed to the parser byte by byte, read from a stream in chunks of 64 KiB
// (or from text already in memory), so that a document of any size takes the same memory.
// It keeps the source text of the last number it passed: the JSON library hands integers
// over as binary values (it would give back "-0" as "0"), so the texts are taken from the
// document itself. A parser reads the character after a number before it reports the number,
// so the number it reports is the last one passed.
class DocumentInput {
public:
    explicit DocumentInput(std::istream& in);
    explicit DocumentInput(std::string_view document);
    DocumentInput(const DocumentInput&) = delete;
    DocumentInput& operator=(const DocumentInput&) = delete;

    // The input iterator a parser reads with; a default-constructed one marks the end. A
    // stream that fails to read ends the document there (the stream then tells why).
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = char;
        using difference_type = std::ptrdiff_t;
        using pointer = const char*;
        using reference = const char&;

        Iterator() = default;
        explicit Iterator(DocumentInput* input) : input_(input) {}
        reference operator*() const { return input_->chunk_[input_->at_]; }
        Iterator& operator++() {
            input_->pass();
            return *this;
        }
        bool operator==(const Iterator& other) const { return atEnd() == other.atEnd(); }

    private:
        bool atEnd() const { return input_ == nullptr || input_->atEnd(); }
        DocumentInput* input_ = nullptr;
    };

    Iterator begin() { return Iterator(this); }
    static Iterator end() { return Iterator(); }

    // The source text of the last number passed; empty when there was none.
    std::string_view lastNumber() const { return number_; }

private:
    enum class State { kOutside, kString, kEscape, kNumber };

    bool atEnd() { return at_ == chunk_.size() && !refill(); }
    bool refill();
    // Goes past the current character, following strings and numbers.
    void pass();

    std::istream* in_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    std::string_view chunk_;  // what is read and not yet passed lies in chunk_[at_...]
    std::size_t at_ = 0;
    State state_ = State::kOutside;
    std::string number_;
};

}  // namespace tessaran::db::json
