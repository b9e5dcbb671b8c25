#include "shell/DataErrors.h"

#include "platform/dao/DaoError.h"
#include "platform/ui/MessageBox.h"
#include "shell/DataStoreConstants.h"

namespace shell {

void ReportDataError(const dao::DaoError& error) {
    ui::MsgBox(error.description(), ui::Buttons::OKOnly, QString::fromLatin1(kApplicationTitle));
}

}  // namespace shell
