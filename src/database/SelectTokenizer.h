#pragma once
// Splits a select statement into tokens: words (verbs, file and field names, attribute
// numbers), the operators "=" and "#", and double-quoted values. Positions count characters
// of the statement from 1, for error messages.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessaran::db::select {

struct Token {
    enum class Kind { Word, Equal, NotEqual, Quoted, End };
    Kind kind = Kind::End;
    std::string text;        // the word, the operator, or the value without its quotes
    std::size_t position = 0;
};

// Longest statement accepted; longer ones are refused before any work is done.
inline constexpr std::size_t kMaxStatementLength = 1 << 20;

// Throws DatabaseError kSelectSyntax naming the position of the statement's first mark byte
// (0xFE, 0xFD, 0xFC): a statement travels in attribute 1 of a select request, which the marks
// would cut, and no word or value of the language holds one.
void refuseMarks(std::string_view statement);

// Throws DatabaseError kSelectSyntax on an unterminated quoted value, a mark byte or an
// over-long statement.
std::vector<Token> tokenize(std::string_view statement);

// How a token is named in an error message: the word, "=", the quoted value, "the end".
std::string describe(const Token& token);

}  // namespace tessaran::db::select
