#pragma once

namespace kiv {

constexpr int MessageCount = 132;

// The printf-style text of a message-table entry; "" for an index outside the table.
const char* Message(int index);

} // namespace kiv

namespace kiv {

// Reports a fault of game logic through the shared record _UE: the failing operation's
// signature, then the table message `index` formatted with the values that follow.
void ReportUserError(const char* function, int index, ...);
// The same, for a message that is not in the table.
void ReportUserErrorText(const char* function, const char* message);

} // namespace kiv

namespace kiv {

// The same, for a fault the game cannot run past: the report goes through the fatal exit.
[[noreturn]] void ExitWithUserError(const char* function, int index, ...);

} // namespace kiv
