#pragma once
// JSON text as exchange documents hold it: strings written exactly as the JSON library writes
// them, the UTF-8 check that decides whether a text can be written at all, and the source text
// of numbers.

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaran::db::json {

// True for well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool isUtf8(std::string_view text);

// Appends `text` (well-formed UTF-8) as a quoted JSON string: the short escapes for '"', '\',
// backspace, form feed, line feed, carriage return and tab, "\u00xx" for the other control
// characters below 0x20, every other character as it is.
void appendQuoted(std::string& out, std::string_view text);

// The source text of each number of a JSON document, in document order. The JSON library
// hands integers over as binary values (it would give back "-0" as "0"), so the texts are
// taken from the document itself; a parser reports the numbers in the same order.
class NumberTexts {
public:
    explicit NumberTexts(std::string_view document) : document_(document) {}
    // The next number after the last one returned; empty when there is none.
    std::string_view next();

private:
    std::string_view document_;
    std::size_t at_ = 0;
};

}  // namespace tessaran::db::json
