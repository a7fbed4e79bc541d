#include "PostgresArray.h"

#include <limits>

#include "DatabaseError.h"

namespace tessaran::db::postgres {
namespace {

// Dimensions, null flag, element type, length, lower bound: five 32-bit words.
constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kCountOffset = 12;

void putWord(std::string& out, std::size_t at, std::uint32_t word) {
    out[at] = static_cast<char>(word >> 24);
    out[at + 1] = static_cast<char>(word >> 16);
    out[at + 2] = static_cast<char>(word >> 8);
    out[at + 3] = static_cast<char>(word);
}

std::string header(ArrayParameter::Element element) {
    std::string out(kHeaderSize, '\0');
    putWord(out, 0, 1);  // one dimension
    putWord(out, 4, 0);  // no null element
    putWord(out, 8, static_cast<std::uint32_t>(element));
    putWord(out, 16, 1);  // numbered from 1
    return out;
}

}  // namespace

ArrayParameter::ArrayParameter(Element element) : element_(element), encoded_(header(element)) {}

void ArrayParameter::appendLength(std::uint32_t length) {
    encoded_.append(4, '\0');
    putWord(encoded_, encoded_.size() - 4, length);
}

void ArrayParameter::append(std::string_view bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw DatabaseError(error_code::kStorage, "a value too long for the database server");
    appendLength(static_cast<std::uint32_t>(bytes.size()));
    encoded_ += bytes;
    ++count_;
}

void ArrayParameter::append(std::int32_t number) {
    appendLength(4);
    encoded_.append(4, '\0');
    putWord(encoded_, encoded_.size() - 4, static_cast<std::uint32_t>(number));
    ++count_;
}

std::string ArrayParameter::take() {
    if (count_ == 0) {
        // An empty array has no dimension, so no length nor lower bound either.
        putWord(encoded_, 0, 0);
        encoded_.resize(kCountOffset);
    } else {
        putWord(encoded_, kCountOffset, static_cast<std::uint32_t>(count_));
    }
    std::string done = std::move(encoded_);
    encoded_ = header(element_);
    count_ = 0;
    return done;
}

}  // namespace tessaran::db::postgres
