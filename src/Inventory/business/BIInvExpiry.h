#pragma once

// Expiry watch: the lots with a balance that expire on or before a cut-off day, soonest
// first, with what they are worth at their own cost. The screen, the sign-in notice and
// invctl expiring all read through here, so they always agree on which lots are meant.

#include "Records.h"

#include <string>
#include <vector>

class WSIDatabase;

namespace tavel {

// How soon a lot expires, for colouring and sorting attention.
enum class ExpiryUrgency {
    Expired, // the expiry day has passed: the lot may no longer be used
    Within30,
    Within60,
    Later,
};

struct ExpiringLot {
    long invItem = 0;
    long product = 0;
    std::string productCode;
    std::string description;
    std::string unit;
    std::string invLoc;
    std::string locationName;
    double balance = 0;
    double costPerUnit = 0;
    double value = 0; // balance at the lot's cost, rounded to cents
    WSIDate expiryDate;
    long daysLeft = 0; // negative once expired; 0 on the expiry day itself
    ExpiryUrgency urgency = ExpiryUrgency::Later;
};

ExpiryUrgency UrgencyOf(long daysLeft);

class BIInvExpiry {
public:
    explicit BIInvExpiry(WSIDatabase* db);

    // Lots with a balance and an expiry day on or before `until` (lots already expired
    // included), at `invLoc` or at every location when it is empty. Sorted by expiry day,
    // then location, product code and lot. Days left count from the connection's today.
    std::vector<ExpiringLot> Lots(const WSIDate& until, const std::string& invLoc) const;
    // The same for a window of `days` days from today (today + days included).
    std::vector<ExpiringLot> LotsWithin(int days, const std::string& invLoc) const;
    // How many lots LotsWithin would list.
    long CountWithin(int days, const std::string& invLoc) const;

    // The active decreasing adjustment code meant for expired stock: code "EXP", else the
    // first whose description begins with "Expir"; "" when the clinic has none.
    std::string ExpiredStockCode() const;

    // The last day of a window of `days` days from today.
    WSIDate WindowEnd(int days) const;

private:
    WSIDatabase* db_;
};

} // namespace tavel
