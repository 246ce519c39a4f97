#pragma once

// Text values go into SQL between single quotes ('%s'); a quote inside the value must be
// doubled, or a name like O'Brien would end the literal early and the rest would be read
// as SQL.

#include <string>

namespace tavel {

// The text with every single quote doubled; null reads as the empty text.
inline std::string EscapeQuotes(const char* text) {
    std::string out;
    if (!text)
        return out;
    for (const char* p = text; *p; ++p) {
        out += *p;
        if (*p == '\'')
            out += '\'';
    }
    return out;
}

} // namespace tavel
