#pragma once
// The text of one value of a parsed record: its subvalues joined by the subvalue mark.

#include <string>

#include "DynamicArray.h"

namespace tessaran::db {

inline std::string valueText(const DynamicArray::Value& value) {
    if (value.size() == 1) return value.front();
    std::string text;
    for (std::size_t s = 0; s < value.size(); ++s) {
        if (s) text += kSubvalueMark;
        text += value[s];
    }
    return text;
}

}  // namespace tessaran::db
