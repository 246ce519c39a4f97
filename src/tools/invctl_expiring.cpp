// invctl expiring: the lots that expire within a number of days, for scheduled reports.

#include "invctl.h"

#include "BIInvExpiry.h"
#include "BoundedFormat.h"
#include "WSIDatabase.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace invctl {
namespace {

// The longest window a report may ask for: ten years, far beyond any shelf life.
constexpr long kMaxDays = 3660;

const char* UrgencyName(tavel::ExpiryUrgency urgency) {
    switch (urgency) {
    case tavel::ExpiryUrgency::Expired:
        return "expired";
    case tavel::ExpiryUrgency::Within30:
        return "30";
    case tavel::ExpiryUrgency::Within60:
        return "60";
    case tavel::ExpiryUrgency::Later:
        break;
    }
    return "later";
}

// A field of a CSV row: quoted when it holds the separator, a quote or a line break, with
// its quotes doubled.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

// A field of a TSV row: tabs and line breaks inside a text become blanks.
std::string TsvField(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return out;
}

void PrintRow(const std::vector<std::string>& fields, bool csv) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            line += csv ? "," : "\t";
        line += csv ? CsvField(fields[i]) : TsvField(fields[i]);
    }
    // RFC 4180 ends records with CRLF.
    line += csv ? "\r\n" : "\n";
    std::fputs(line.c_str(), stdout);
}

int RunExpiring(const Options& options, const Args& args) {
    long days = -1;
    std::string location;
    std::string format = "tsv";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--days" && hasValue) {
            const std::string& v = args[++i];
            char* end = nullptr;
            days = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || days < 0 || days > kMaxDays)
                return UsageError(kExpiringCommand, "--days takes a whole number from 0 to " +
                                                        std::to_string(kMaxDays) + ", not " + v);
        } else if (a == "--location" && hasValue) {
            location = args[++i];
        } else if (a == "--format" && hasValue) {
            format = args[++i];
            if (format != "tsv" && format != "csv")
                return UsageError(kExpiringCommand, "--format is tsv or csv, not " + format);
        } else {
            return UsageError(kExpiringCommand, "unexpected argument " + a);
        }
    }
    if (days < 0)
        return UsageError(kExpiringCommand, "--days is required");
    if (options.db.empty())
        return UsageError(kExpiringCommand, "no database file given (--db FILE)");
    std::string problem;
    std::unique_ptr<WSIDatabase> db = OpenInventory(options.db, problem);
    if (!db)
        return Fail(problem);
    if (!location.empty()) {
        WSIInvLoc loc(db.get());
        std::snprintf(loc.data.InvLoc, sizeof loc.data.InvLoc, "%s", location.c_str());
        if (location.size() >= sizeof loc.data.InvLoc || !loc.GetEqual(__FILE__, __LINE__))
            return Fail("no location " + location);
    }
    const bool csv = format == "csv";
    const std::vector<tavel::ExpiringLot> lots =
        tavel::BIInvExpiry(db.get()).LotsWithin(static_cast<int>(days), location);
    PrintRow({"ExpiryDate", "DaysLeft", "Urgency", "InvLoc", "Location", "ProductCode",
              "Description", "InvItem", "Balance", "Unit", "CostPerUnit", "Value"},
             csv);
    for (const tavel::ExpiringLot& lot : lots) {
        char date[32], balance[32], cost[32], value[32];
        TVL_FORMAT(date, "%04d-%02d-%02d", lot.expiryDate.year, lot.expiryDate.month,
                   lot.expiryDate.day);
        TVL_FORMAT(balance, "%g", lot.balance);
        TVL_FORMAT(cost, "%.2f", lot.costPerUnit);
        TVL_FORMAT(value, "%.2f", lot.value);
        PrintRow({date, std::to_string(lot.daysLeft), UrgencyName(lot.urgency), lot.invLoc,
                  lot.locationName, lot.productCode, lot.description, std::to_string(lot.invItem),
                  balance, lot.unit, cost, value},
                 csv);
    }
    return kExitOk;
}

} // namespace

const Command kExpiringCommand{"expiring", "--days N [--location L] [--format tsv|csv]",
                               "the lots with a balance that expire within N days (already "
                               "expired ones included), soonest first, with days left and value "
                               "at cost; at one location with --location",
                               RunExpiring};

} // namespace invctl
