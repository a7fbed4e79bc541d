#include "JsonText.h"

#include <cstdio>
#include <istream>

namespace tessaran::db::json {

bool isUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 0;
        unsigned char low = 0x80;  // the range of the byte after the lead
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;   // overlong
            if (lead == 0xED) high = 0x9F;  // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;   // overlong
            if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
        } else {
            return false;
        }
        if (at + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[at + k]);
            if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF)) return false;
        }
        at += length;
    }
    return true;
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    // Runs of characters that need no escape are copied whole.
    const auto plain = [](char c) { return c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20; };
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && plain(text[end])) ++end;
        out.append(text.data() + at, end - at);
        if (end == text.size()) break;
        const char c = text[end];
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        }
        }
        at = end + 1;
    }
    out += '"';
}

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

bool startsNumber(char c) { return c == '-' || (c >= '0' && c <= '9'); }
bool continuesNumber(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

}  // namespace

DocumentInput::DocumentInput(std::istream& in) : in_(&in), buffer_(std::make_unique<char[]>(kChunkSize)) {}

DocumentInput::DocumentInput(std::string_view document) : chunk_(document) {}

bool DocumentInput::refill() {
    if (in_ == nullptr || !in_->good()) return false;
    in_->read(buffer_.get(), static_cast<std::streamsize>(kChunkSize));
    chunk_ = std::string_view(buffer_.get(), static_cast<std::size_t>(in_->gcount()));
    at_ = 0;
    return !chunk_.empty();
}

void DocumentInput::pass() {
    const char c = chunk_[at_++];
    switch (state_) {
    case State::kString:
        if (c == '\\') state_ = State::kEscape;
        else if (c == '"') state_ = State::kOutside;
        return;
    case State::kEscape: state_ = State::kString; return;
    case State::kNumber:
        if (continuesNumber(c)) {
            number_ += c;
            return;
        }
        state_ = State::kOutside;
        break;  // the character after the number is outside it
    case State::kOutside: break;
    }
    if (c == '"') {
        state_ = State::kString;
    } else if (startsNumber(c)) {
        state_ = State::kNumber;
        number_.assign(1, c);
    }
}

}  // namespace tessaran::db::json
