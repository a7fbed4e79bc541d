#include "ExportDocument.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <ostream>

#include "DatabaseError.h"
#include "DynamicArray.h"
#include "ExchangePlace.h"

namespace tessaran::db {
namespace {

using exchange::place;

// The text goes out once it holds this much: few writes, little memory.
constexpr std::size_t kWrittenAtOnce = 512 * 1024;
// Stored text is escaped in slices of at most this many bytes, each given room for its
// longest escaped form first (six bytes for one), so that a long record takes room in
// proportion to its text rather than to its worst case.
constexpr std::size_t kSlice = 64 * 1024;
constexpr std::size_t kLongestEscape = 6;
// Plain text is copied eight bytes at a time, written whole before it is looked at.
constexpr std::size_t kWordCopied = 8;

// What a byte of stored text is for the writer: copied as it is, escaped, the lead byte of a
// character of several bytes, or a stop: a mark, or a byte that no UTF-8 character begins with.
enum ByteClass : unsigned char { kPlain, kEscaped, kLeadByte, kStop };

constexpr std::array<unsigned char, 256> kClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (byte < 0x20 || byte == '"' || byte == '\\') classes[byte] = kEscaped;
        else if (byte < 0x80) classes[byte] = kPlain;
        else if (byte >= 0xC2 && byte <= 0xF4) classes[byte] = kLeadByte;
        else classes[byte] = kStop;  // continuation bytes, overlong leads, marks, beyond U+10FFFF
    }
    return classes;
}();

// The length of the well-formed UTF-8 character at `at` (a lead byte), 0 when it is not one:
// a missing or stray continuation byte, an overlong form, a surrogate, above U+10FFFF.
std::size_t characterLength(const unsigned char* at, const unsigned char* end) {
    const unsigned lead = at[0];
    const std::size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (static_cast<std::size_t>(end - at) < length) return 0;
    unsigned low = 0x80;  // the range of the byte after the lead
    unsigned high = 0xBF;
    if (lead == 0xE0) low = 0xA0;        // overlong
    else if (lead == 0xED) high = 0x9F;  // surrogates
    else if (lead == 0xF0) low = 0x90;   // overlong
    else if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    if (at[1] < low || at[1] > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (at[k] < 0x80 || at[k] > 0xBF) return 0;
    return length;
}

char* writeEscape(char* out, unsigned char byte) {
    char shortForm = 0;
    switch (byte) {
    case '"': shortForm = '"'; break;
    case '\\': shortForm = '\\'; break;
    case '\b': shortForm = 'b'; break;
    case '\f': shortForm = 'f'; break;
    case '\n': shortForm = 'n'; break;
    case '\r': shortForm = 'r'; break;
    case '\t': shortForm = 't'; break;
    default: {
        constexpr char kHex[] = "0123456789abcdef";
        std::memcpy(out, "\\u00", 4);
        out[4] = kHex[byte >> 4];
        out[5] = kHex[byte & 0xF];
        return out + 6;
    }
    }
    out[0] = '\\';
    out[1] = shortForm;
    return out + 2;
}

// The bytes of `word` that are not copied as they are, as its high bits: bytes from 0x80 (marks
// and characters of several bytes), control characters, '"' and '\\'. The lowest one set is
// exact (a borrow only carries upwards), which is all that is asked of it.
constexpr std::uint64_t unplainBytes(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHigh = 0x8080808080808080;
    const auto zeroBytes = [](std::uint64_t bytes) { return (bytes - kOnes) & ~bytes & kHigh; };
    return (word & kHigh) | ((word - 0x20 * kOnes) & ~word & kHigh) | zeroBytes(word ^ ('"' * kOnes)) |
           zeroBytes(word ^ ('\\' * kOnes));
}

struct Copied {
    const char* at;  // where the copy stopped in the text
    char* out;       // where it ended in the document
};

// Copies the text from `at` to `stop`, escaped, into `out` (room for six bytes per byte, and
// eight more); stops at `stop` (or past it, by the rest of a character of several bytes, read
// up to `end`), or before a stop byte or a character that is not well formed.
Copied copyEscaped(const char* at, const char* stop, const char* end, char* out) {
    const auto* byte = reinterpret_cast<const unsigned char*>(at);
    const auto* const last = reinterpret_cast<const unsigned char*>(stop);
    const auto* const limit = reinterpret_cast<const unsigned char*>(end);
    char* written = out;
    for (;;) {
        // Eight bytes at a time while they are plain; the first that is not ends the run.
        if constexpr (std::endian::native == std::endian::little) {
            while (last - byte >= 8) {
                std::uint64_t word;
                std::memcpy(&word, byte, 8);
                std::memcpy(written, &word, 8);
                const std::uint64_t unplain = unplainBytes(word);
                if (unplain == 0) {
                    byte += 8;
                    written += 8;
                    continue;
                }
                const auto plain = static_cast<std::size_t>(std::countr_zero(unplain) / 8);
                byte += plain;
                written += plain;
                break;
            }
        }
        if (byte == last) break;
        const unsigned char next = *byte;
        if (kClasses[next] == kPlain) {
            *written++ = static_cast<char>(next);
            ++byte;
        } else if (kClasses[next] == kEscaped) {
            written = writeEscape(written, next);
            ++byte;
        } else if (kClasses[next] == kLeadByte) {
            const std::size_t length = characterLength(byte, limit);
            if (length == 0) break;
            std::memcpy(written, byte, length);
            written += length;
            byte += length;
        } else {
            break;
        }
    }
    return {reinterpret_cast<const char*>(byte), written};
}

// Writes an attribute number; most are below 100.
char* writeNumber(char* out, int number) {
    if (number < 10) {
        *out = static_cast<char>('0' + number);
        return out + 1;
    }
    if (number < 100) {
        out[0] = static_cast<char>('0' + number / 10);
        out[1] = static_cast<char>('0' + number % 10);
        return out + 2;
    }
    return std::to_chars(out, out + 11, number).ptr;
}

}  // namespace

ExportDocument::ExportDocument(std::ostream& out)
    : out_(out), text_(std::make_unique_for_overwrite<char[]>(2 * kWrittenAtOnce)), capacity_(2 * kWrittenAtOnce) {
    append("{");
}

void ExportDocument::beginFile(std::string_view name) {
    append(firstFile_ ? std::string_view("\n  ") : std::string_view(",\n  "));
    firstFile_ = false;
    if (!appendQuoted(name))
        throw DatabaseError(error_code::kExport, "export: " + place(name) + ": the name is not UTF-8 text");
    append(": {");
    file_ = name;
    firstRecord_ = true;
}

void ExportDocument::addRecord(std::string_view key, std::string_view record) {
    append(firstRecord_ ? std::string_view("\n    ") : std::string_view(",\n    "));
    firstRecord_ = false;
    if (!appendQuoted(key))
        throw DatabaseError(error_code::kExport, "export: " + place(file_, key) + ": the key is not UTF-8 text");
    append(": ");
    // Written through `out`, given room before each piece: an attribute's header, or a slice
    // of text with what may follow it (a value mark, the array opened, the string closed).
    constexpr std::size_t kHeaderRoom = 32;
    constexpr std::size_t kAfterText = 32;
    constexpr std::string_view kArray = "[\n        ";
    const char* at = record.data();
    const char* const end = at + record.size();
    char* out = text_.get() + size_;
    bool firstAttribute = true;
    for (int number = 1; at != end; ++number) {
        if (*at == kAttributeMark) {  // an empty attribute is left out
            ++at;
            continue;
        }
        // The attribute is written as one string, and made an array at its first value mark.
        out = room(out, kHeaderRoom);
        std::memcpy(out, firstAttribute ? "{\n      \"" : ",\n      \"", 9);
        out = writeNumber(out + 9, number);
        std::memcpy(out, "\": \"", 4);
        out += 4;
        const std::size_t opening = static_cast<std::size_t>(out - 1 - text_.get());
        bool several = false;
        for (;;) {
            for (;;) {
                const char* const stop = at + std::min<std::size_t>(static_cast<std::size_t>(end - at), kSlice);
                // A character of several bytes begun before `stop` is copied whole: room for 3 more.
                out = room(out, kLongestEscape * static_cast<std::size_t>(stop - at) + 3 + kWordCopied + kAfterText);
                const Copied copied = copyEscaped(at, stop, end, out);
                at = copied.at;
                out = copied.out;
                if (at < stop || at >= end) break;
            }
            if (at == end || *at == kAttributeMark) break;
            if (*at != kValueMark)
                throw DatabaseError(error_code::kExport, "export: " + place(file_, key, std::to_string(number)) +
                                                             " holds subvalues or bytes that are not UTF-8 text");
            if (!several) {
                char* const value = text_.get() + opening;
                std::memmove(value + kArray.size(), value, static_cast<std::size_t>(out - value));
                std::memcpy(value, kArray.data(), kArray.size());
                out += kArray.size();
                several = true;
            }
            std::memcpy(out, "\",\n        \"", 12);
            out += 12;
            ++at;
        }
        if (several) {
            std::memcpy(out, "\"\n      ]", 9);
            out += 9;
        } else {
            *out++ = '"';
        }
        firstAttribute = false;
        if (at != end) ++at;  // past the attribute mark
    }
    size_ = static_cast<std::size_t>(out - text_.get());
    append(firstAttribute ? std::string_view("{}") : std::string_view("\n    }"));
    if (size_ >= kWrittenAtOnce) write();
}

void ExportDocument::endFile() { append(firstRecord_ ? std::string_view("}") : std::string_view("\n  }")); }

void ExportDocument::finish() {
    append(firstFile_ ? std::string_view("}\n") : std::string_view("\n}\n"));
    write();
}

void ExportDocument::appendEscaped(const char*& at, const char* end) {
    char* out = text_.get() + size_;
    for (;;) {
        const char* const stop = at + std::min<std::size_t>(static_cast<std::size_t>(end - at), kSlice);
        out = room(out, kLongestEscape * static_cast<std::size_t>(stop - at) + 3 + kWordCopied);
        const Copied copied = copyEscaped(at, stop, end, out);
        at = copied.at;
        out = copied.out;
        if (at < stop || at >= end) break;
    }
    size_ = static_cast<std::size_t>(out - text_.get());
}

bool ExportDocument::appendQuoted(std::string_view text) {
    append("\"");
    const char* at = text.data();
    appendEscaped(at, text.data() + text.size());
    if (at != text.data() + text.size()) return false;
    append("\"");
    return true;
}

void ExportDocument::append(std::string_view text) {
    char* const out = room(text_.get() + size_, text.size());
    std::memcpy(out, text.data(), text.size());
    size_ += text.size();
}

char* ExportDocument::grow(char* out, std::size_t size) {
    const auto used = static_cast<std::size_t>(out - text_.get());
    const std::size_t capacity = std::max(2 * capacity_, used + size);
    auto text = std::make_unique_for_overwrite<char[]>(capacity);
    std::memcpy(text.get(), text_.get(), used);
    text_ = std::move(text);
    capacity_ = capacity;
    return text_.get() + used;
}

void ExportDocument::write() {
    out_.write(text_.get(), static_cast<std::streamsize>(size_));
    size_ = 0;
}

}  // namespace tessaran::db
