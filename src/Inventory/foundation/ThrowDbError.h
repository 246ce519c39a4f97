#pragma once

namespace tavel {

// Turns a table error number (high byte: table, low byte: failed check) into the business
// exception for it and throws it. Returns false, throwing nothing, for a number without
// one (0, the generic write failures 0x4002-0x4004, 0x4405, anything unknown); the caller
// then throws its own fallback.
bool ThrowDbError(unsigned short error);

} // namespace tavel
