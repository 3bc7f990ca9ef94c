#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// A lottery number written as everywhere in the program: at least two digits ("%.2d": 01 .. 11).
inline void AppendNumberText(std::string& out, std::int64_t number) {
    if (number < 0) {
        out += '-';
        number = -number;
    }
    if (number < 10)
        out += '0';
    out += std::to_string(number);
}

inline std::string NumberText(std::int64_t number) {
    std::string text;
    AppendNumberText(text, number);
    return text;
}

} // namespace tarvo
