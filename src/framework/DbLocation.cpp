#include "DbLocation.h"

#include "WSIDatabase.h"

namespace tavel {

std::unique_ptr<WSIDatabase> OpenDatabase(const DbLocation& where) {
    auto db = std::make_unique<WSIDatabase>();
    if (where.IsServer())
        db->OpenServer(where.target);
    else
        db->Open(where.target);
    return db;
}

} // namespace tavel
