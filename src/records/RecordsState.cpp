#include "records/RecordsState.h"

#include <QMdiArea>

#include "records/frmDrop.h"

namespace records {

RecordsState& recordsState() {
    static RecordsState state;
    return state;
}

void resetRecordsState() {
    RecordsState& state = recordsState();
    delete state.drop.data();
    state = RecordsState{};
}

}  // namespace records
