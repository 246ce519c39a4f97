#include "CsvFile.h"

#include <csv.h>

#include <istream>
#include <memory>

namespace tavel::csv {

namespace {

bool NeedsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos ||
           (!field.empty() && (field.front() == ' ' || field.back() == ' '));
}

// What the parser's callbacks fill while one line is fed to it.
struct ParseState {
    const std::function<bool(const Row&)>* onRow = nullptr;
    Row row;
    long line = 0;     // the line being fed
    long rowStart = 0; // the line the row being read began on
    bool stopped = false;
};

void OnField(void* text, std::size_t size, void* data) {
    auto* state = static_cast<ParseState*>(data);
    if (state->row.fields.empty())
        state->row.line = state->rowStart;
    state->row.fields.emplace_back(text ? static_cast<const char*>(text) : "", text ? size : 0);
}

void OnRowEnd(int, void* data) {
    auto* state = static_cast<ParseState*>(data);
    if (!state->stopped && !(*state->onRow)(state->row))
        state->stopped = true;
    state->row.fields.clear();
}

struct ParserDeleter {
    void operator()(csv_parser* p) const {
        csv_free(p);
        delete p;
    }
};

} // namespace

void AppendRow(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        const std::string& f = fields[i];
        if (!NeedsQuotes(f)) {
            out += f;
            continue;
        }
        // libcsv writes the quotes and doubles the ones inside; at most twice the size
        // plus the two around.
        std::string quoted(f.size() * 2 + 2, '\0');
        quoted.resize(csv_write(quoted.data(), quoted.size(), f.data(), f.size()));
        out += quoted;
    }
    out += "\r\n";
}

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        unsigned long code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past the last code point are not text.
        static constexpr unsigned long kMin[] = {0, 0x80, 0x800, 0x10000};
        if (code < kMin[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

bool ReadRows(std::istream& in, const std::function<bool(const Row&)>& onRow, std::string& problem,
              long& problemLine) {
    std::unique_ptr<csv_parser, ParserDeleter> parser(new csv_parser);
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI | CSV_APPEND_NULL) != 0) {
        problem = "out of memory";
        problemLine = 0;
        return false;
    }
    ParseState state;
    state.onRow = &onRow;
    std::string line;
    // Fed a line at a time, so that a row knows the line it starts on.
    while (!state.stopped && std::getline(in, line)) {
        ++state.line;
        if (state.line == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        const bool outsideRow = parser->pstate == 0;
        if (outsideRow && (line.empty() || line == "\r")) {
            Row empty;
            empty.line = state.line;
            if (!onRow(empty))
                return true;
            continue;
        }
        if (outsideRow)
            state.rowStart = state.line;
        if (!in.eof())
            line += '\n';
        if (csv_parse(parser.get(), line.data(), line.size(), OnField, OnRowEnd, &state) !=
            line.size()) {
            problem = csv_strerror(csv_error(parser.get()));
            problemLine = state.line;
            return false;
        }
    }
    if (state.stopped)
        return true;
    if (csv_fini(parser.get(), OnField, OnRowEnd, &state) != 0) {
        problem = csv_strerror(csv_error(parser.get()));
        problemLine = state.line;
        return false;
    }
    return true;
}

} // namespace tavel::csv
