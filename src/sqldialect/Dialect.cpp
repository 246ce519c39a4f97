// Placeholder until the translator lands: passes text through unchanged.
#include "Dialect.h"

namespace sqldialect {

TranslateError::TranslateError(std::string construct, std::size_t position)
    : std::runtime_error("cannot translate " + construct + " at " + std::to_string(position)),
      construct_(std::move(construct)), position_(position) {}

Normalized Normalize(std::string_view oracleSql) { return {std::string(oracleSql), {}}; }

Translation Translate(const Normalized& statement, Target, const SchemaHints&) {
    Translation t;
    t.sql = statement.shape;
    t.returnsRows = statement.shape.rfind("SELECT", 0) == 0;
    return t;
}

std::string MdyToIso(std::string_view) { return {}; }

std::string TranslateToText(std::string_view oracleSql, Target, const SchemaHints&) {
    return std::string(oracleSql);
}

} // namespace sqldialect
