#include "JsonText.h"

#include <istream>

namespace tessaran::db::json {
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
