#include "shell/DataErrors.h"

#include "platform/dao/DaoError.h"
#include "platform/ui/MessageBox.h"

namespace shell {

void ReportDataError(const dao::DaoError& error) {
    ui::MsgBox(error.description(), ui::Buttons::OKOnly);
}

}  // namespace shell
