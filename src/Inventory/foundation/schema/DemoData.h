#pragma once

// A small clinic group to try the inventory with: a central store room, two treatment
// rooms, two satellite clinics, a crash cart and a dispensary; five vendors; about two
// hundred products (supplies, vaccines, drugs, IV and lab supplies) received, moved,
// used, written off and ordered. Some lots are past or close to their expiry date, and
// orders are open in every status. Stock is consistent: for every product and location
// the stock items' balances add up to the product location's balance, and every order
// line's filled quantity is what its stock items brought in. Dates are relative to the
// database's current date, so a fixed date gives the same demo every time.

#include <string>

class WSIDatabase;

namespace tavel {

// The demo's administrator, who signs in as "admin".
inline constexpr const char* kDemoAdminLogin = "admin";

// The demo's staff. USERS has no rights column: the host keeps passwords and rights and
// grants the approval right to the users marked here.
struct DemoUser {
    const char* login;
    const char* name;  // USERS "Name" (family name)
    const char* first; // USERS "First"
    bool canApprove;
};
inline constexpr DemoUser kDemoUsers[] = {
    {kDemoAdminLogin, "Administrator", "System", true},
    {"mlee", "Lee", "Margaret", true},         // nurse manager
    {"dtremblay", "Tremblay", "Daniel", true}, // pharmacist
    {"jpatel", "Patel", "Jason", false},       // registered nurse
    {"skowalski", "Kowalski", "Sara", false},  // clinic clerk
};

// Loads the demo into a database whose schema was just created (CreateSchema). All or
// nothing; on failure problem names the row that could not be written.
bool LoadDemoData(WSIDatabase& db, std::string* problem = nullptr);

} // namespace tavel
