#include "SelectTokenizer.h"

#include "DatabaseError.h"

namespace tessaran::db::select {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool endsWord(char c) { return isSpace(c) || c == '"' || c == '=' || c == '#'; }

}  // namespace

void refuseMarks(std::string_view statement) {
    const std::size_t mark = statement.find_first_of("\xFE\xFD\xFC");
    if (mark == std::string_view::npos) return;
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(statement[mark]);
    throw DatabaseError(error_code::kSelectSyntax, std::string("select statement: the mark byte 0x") +
                                                       kHex[byte >> 4] + kHex[byte & 0xF] + " at position " +
                                                       std::to_string(mark + 1) + " cannot be part of a statement");
}

std::vector<Token> tokenize(std::string_view statement) {
    if (statement.size() > kMaxStatementLength)
        throw DatabaseError(error_code::kSelectSyntax,
                            "select statement too long: " + std::to_string(statement.size()) +
                                " characters, at most " + std::to_string(kMaxStatementLength));
    refuseMarks(statement);
    std::vector<Token> tokens;
    std::size_t at = 0;
    while (at < statement.size()) {
        const char c = statement[at];
        if (isSpace(c)) {
            ++at;
            continue;
        }
        Token token;
        token.position = at + 1;
        if (c == '=' || c == '#') {
            token.kind = c == '=' ? Token::Kind::Equal : Token::Kind::NotEqual;
            token.text = std::string(1, c);
            ++at;
        } else if (c == '"') {
            const std::size_t close = statement.find('"', at + 1);
            if (close == std::string_view::npos)
                throw DatabaseError(error_code::kSelectSyntax,
                                    "select statement: unterminated quoted value " +
                                        std::string(statement.substr(at, 40)) + " at position " +
                                        std::to_string(token.position));
            token.kind = Token::Kind::Quoted;
            token.text = std::string(statement.substr(at + 1, close - at - 1));
            at = close + 1;
        } else {
            std::size_t end = at;
            while (end < statement.size() && !endsWord(statement[end])) ++end;
            token.kind = Token::Kind::Word;
            token.text = std::string(statement.substr(at, end - at));
            at = end;
        }
        tokens.push_back(std::move(token));
    }
    Token end;
    end.position = statement.size() + 1;
    tokens.push_back(end);
    return tokens;
}

std::string describe(const Token& token) {
    switch (token.kind) {
    case Token::Kind::End:
        return "the end of the statement";
    case Token::Kind::Quoted:
        return "the value \"" + token.text + "\"";
    default:
        return "\"" + token.text + "\"";
    }
}

}  // namespace tessaran::db::select
