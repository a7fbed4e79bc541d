#pragma once
// The text of an export document, written in the layout the JSON library gives with an indent
// of two: files and records are added in order, each record read once on its stored text,
// byte by byte, and the text goes out to the stream in pieces of 512 KiB or more. Strings are
// written as the JSON library writes them: the short escapes for '"', '\', backspace, form
// feed, line feed, carriage return and tab, "\u00xx" for the other control characters below
// 0x20, every other character as it is.

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace tessaran::db {

class ExportDocument {
public:
    explicit ExportDocument(std::ostream& out);
    ExportDocument(const ExportDocument&) = delete;
    ExportDocument& operator=(const ExportDocument&) = delete;

    void beginFile(std::string_view name);
    // Adds the record's object: its non-empty attributes in order, one value as a string,
    // several as an array. Throws kExport naming the file, key and attribute when the key or
    // a value is not UTF-8 text, or an attribute holds subvalues: JSON cannot carry them.
    void addRecord(std::string_view key, std::string_view record);
    void endFile();
    // Closes the document and writes what is left of it.
    void finish();

private:
    // Appends the text from `at` to `end`, escaped, stopping before a mark or a byte that is
    // not UTF-8 text; leaves `at` where it stopped.
    void appendEscaped(const char*& at, const char* end);
    // Appends `text` quoted; false when it is not all UTF-8 text.
    bool appendQuoted(std::string_view text);
    void append(std::string_view text);
    // Room for `size` more bytes after `out`, the end of the text written so far; returns
    // where the end is then (the text moves when it grows).
    char* room(char* out, std::size_t size) {
        return static_cast<std::size_t>(text_.get() + capacity_ - out) < size ? grow(out, size) : out;
    }
    char* grow(char* out, std::size_t size);
    void write();

    std::ostream& out_;
    std::unique_ptr<char[]> text_;
    std::size_t size_ = 0;
    std::size_t capacity_;
    std::string file_;
    bool firstFile_ = true;
    bool firstRecord_ = true;
};

}  // namespace tessaran::db
