#pragma once

// Bringing the open database's word index up to date: building it in a file that has none
// (an older file, a restored backup) and taking in records logged since the last time.
namespace shell {

// Work below this many records is done without a window: it takes a fraction of a second.
inline constexpr long long kWordIndexDialogFrom = 20000;

// Shows a progress dialog while the work takes at least dialogFrom records. The user may
// cancel; the index then stays as it was and searches read every record until the next
// start. A failure (a read-only file, a full disk) only leaves the index as it was too.
void bringWordIndexUpToDate(long long dialogFrom = kWordIndexDialogFrom);

}  // namespace shell
