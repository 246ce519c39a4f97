#include "ReportTexts.h"

#include "StringTable.h"

namespace tavel::report {

namespace {
const StringTable& Texts() {
    static const StringTable table = [] {
        StringTable t;
        t.LoadDefault();
        return t;
    }();
    return table;
}
} // namespace

std::string ReportText(unsigned code) {
    const StringTable& t = Texts();
    if (!t.Has(code))
        return std::string(1, '[').append(std::to_string(code)).append(1, ']');
    return std::string(t.Get(code));
}

std::string ReportText(unsigned code, std::initializer_list<std::string> args) {
    // Markers are filled without printf so that a text never reads beyond its arguments.
    const std::string format = ReportText(code);
    std::string out;
    auto arg = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            const char c = format[i + 1];
            if (c == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (c == 's' || c == 'd') {
                if (arg != args.end())
                    out += *arg++;
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

} // namespace tavel::report
