#pragma once

namespace dao {
class DaoError;
}

namespace shell {

// An unexpected data access error in a command: its own description, OK, and the
// application's title; the window stays usable.
void ReportDataError(const dao::DaoError& error);

}  // namespace shell
