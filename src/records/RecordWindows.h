#pragma once

// The record windows' routines as the other features use them (saving before a search or
// a drill, refreshing after, opening a set, applying the options): one include for the
// window slots, the current record, editing and the display settings.
#include "records/CurrentRecord.h"
#include "records/RecordDisplay.h"
#include "records/RecordEditing.h"
#include "records/RecordSlots.h"
