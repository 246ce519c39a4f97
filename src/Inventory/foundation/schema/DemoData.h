#pragma once

// A small clinic to try the inventory with: a store room, two treatment rooms and a
// crash cart; two vendors; supplies and vaccines received, moved, used and ordered.
// Stock is consistent: for every product and location the stock items' balances add
// up to the product location's balance, and every order line's filled quantity is what
// its stock items brought in. Dates are relative to the database's current date.

#include <string>

class WSIDatabase;

namespace tavel {

// The demo's one user, who signs in as "admin".
inline constexpr const char* kDemoAdminLogin = "admin";

// Loads the demo into a database whose schema was just created (CreateSchema). All or
// nothing; on failure problem names the row that could not be written.
bool LoadDemoData(WSIDatabase& db, std::string* problem = nullptr);

} // namespace tavel
