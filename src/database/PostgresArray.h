#pragma once
// A one-dimensional array parameter in the server's binary array format, built a value at a
// time: a statement given arrays writes or reads a whole batch of rows (unnest, = ANY), and
// no value is spelled out as text or escaped on the way.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaran::db::postgres {

class ArrayParameter {
public:
    // The element types used, by their type identifiers in the server's catalogue.
    enum class Element : std::uint32_t { Bytes = 17, Integer = 23 };

    explicit ArrayParameter(Element element);

    void append(std::string_view bytes);  // an element of a bytes array
    void append(std::int32_t number);     // an element of an integer array
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The array as the server reads it; the builder is left empty.
    std::string take();

private:
    void appendLength(std::uint32_t length);
    Element element_;
    std::size_t count_ = 0;
    std::string encoded_;  // the header (its count written by take) then each element
};

}  // namespace tessaran::db::postgres
