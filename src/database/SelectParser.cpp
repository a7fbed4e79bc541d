#include "SelectParser.h"

#include <algorithm>
#include <optional>

#include "DatabaseError.h"
#include "SelectTokenizer.h"

namespace tessaran::db::select {
namespace {

bool isNumber(const std::string& word) {
    if (word.empty()) return false;
    for (const char c : word)
        if (c < '0' || c > '9') return false;
    return true;
}

class Parser {
public:
    Parser(std::string_view statement, const schema::Catalogue& catalogue)
        : tokens_(tokenize(statement)), catalogue_(catalogue) {}

    // statement := "SSELECT" file-name [ "AVEC" condition-chain ] { "PAR" field } end
    Statement statement() {
        expectWord("SSELECT", "a statement begins with SSELECT, not");
        const Token& file = next();
        if (file.kind != Token::Kind::Word) refuse(file, "missing file name: found");
        if (catalogue_.files.count(file.text) == 0) refuse(file, "unknown file");
        result_.file = file.text;
        if (isWord(peek(), "AVEC")) {
            next();
            conditionChain();
        }
        while (isWord(peek(), "PAR")) {
            next();
            if (result_.sortFields.size() == kMaxSortFields) refuse(peek(), "too many sort fields at");
            result_.sortFields.push_back(field());
        }
        const Token& end = peek();
        if (end.kind != Token::Kind::End) {
            if (end.kind == Token::Kind::Word && !isKeyword(end.text)) refuse(end, "unknown word");
            refuse(end, "unexpected");
        }
        return std::move(result_);
    }

private:
    // condition-chain := and-group { "OR" "AVEC" and-group }
    void conditionChain() {
        andGroup();
        while (isWord(peek(), "OR") && isWord(peek(1), "AVEC")) {
            next();
            next();
            andGroup();
        }
    }

    // and-group := condition { "AND" "AVEC" condition }
    void andGroup() {
        result_.groups.emplace_back();
        result_.groups.back().conditions.push_back(condition());
        while (isWord(peek(), "AND")) {
            next();
            expectWord("AVEC", "AND must be followed by AVEC, not");
            result_.groups.back().conditions.push_back(condition());
        }
    }

    // condition := field operator value { "OR" operator value }
    Condition condition() {
        if (++conditionCount_ > kMaxConditions) refuse(peek(), "too many conditions at");
        Condition condition;
        condition.field = field();
        condition.alternatives.push_back(alternative());
        while (isWord(peek(), "OR") && !isWord(peek(1), "AVEC")) {
            next();
            if (condition.alternatives.size() == kMaxAlternatives) refuse(peek(), "too many values at");
            condition.alternatives.push_back(alternative());
        }
        return condition;
    }

    // operator value, where operator := "=" | "#" and value := quoted text, a final "]"
    // making it a prefix
    Alternative alternative() {
        const Token& op = next();
        if (op.kind != Token::Kind::Equal && op.kind != Token::Kind::NotEqual)
            refuse(op, "missing operator (= or #): found");
        const Token& value = next();
        if (value.kind != Token::Kind::Quoted) refuse(value, "missing quoted value after \"" + op.text + "\": found");
        Alternative alternative;
        alternative.equal = op.kind == Token::Kind::Equal;
        alternative.text = value.text;
        if (!alternative.text.empty() && alternative.text.back() == ']') {
            alternative.text.pop_back();
            alternative.prefix = true;
        }
        return alternative;
    }

    // field := attribute-number | dictionary-name
    Field field() {
        const Token& word = next();
        if (word.kind != Token::Kind::Word || isKeyword(word.text)) refuse(word, "missing field: found");
        if (isNumber(word.text) && (word.text.size() > 6 || std::stoi(word.text) > kMaxAttributeNumber))
            refuse(word, "attribute number too large:");
        std::optional<FieldDefinition> definition = resolveField(word.text, result_.file, catalogue_);
        if (!definition) refuse(word, "unknown field");
        return Field{word.text, std::move(*definition)};
    }

    static bool isKeyword(const std::string& word) {
        return word == "SSELECT" || word == "AVEC" || word == "AND" || word == "OR" || word == "PAR";
    }
    static bool isWord(const Token& token, std::string_view word) {
        return token.kind == Token::Kind::Word && token.text == word;
    }
    void expectWord(std::string_view word, const std::string& complaint) {
        const Token& token = next();
        if (!isWord(token, word)) refuse(token, complaint);
    }
    const Token& peek(std::size_t ahead = 0) const {
        return tokens_[std::min(at_ + ahead, tokens_.size() - 1)];
    }
    const Token& next() {
        const Token& token = peek();
        if (at_ < tokens_.size() - 1) ++at_;
        return token;
    }
    [[noreturn]] static void refuse(const Token& token, const std::string& complaint) {
        throw DatabaseError(error_code::kSelectSyntax, "select statement: " + complaint + " " + describe(token) +
                                                           " at position " + std::to_string(token.position));
    }

    std::vector<Token> tokens_;
    std::size_t at_ = 0;
    std::size_t conditionCount_ = 0;
    const schema::Catalogue& catalogue_;
    Statement result_;
};

}  // namespace

std::optional<FieldDefinition> resolveField(const std::string& word, const std::string& file,
                                            const schema::Catalogue& catalogue) {
    if (isNumber(word)) {
        if (word.size() > 6) return std::nullopt;
        const int number = std::stoi(word);
        if (number > kMaxAttributeNumber) return std::nullopt;
        return FieldDefinition::attributeNumber(number);
    }
    if (const FieldDefinition* named = catalogue.field(file, word)) return *named;
    return std::nullopt;
}

Statement parse(std::string_view statement, const schema::Catalogue& catalogue) {
    return Parser(statement, catalogue).statement();
}

}  // namespace tessaran::db::select
