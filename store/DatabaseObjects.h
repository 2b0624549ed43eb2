#pragma once

#include "store/DatabaseConnection.h"
#include "store/RecordSet.h"

// The connection and its two record sets, alive for the whole process and
// handed to every part that reaches the knowledge base. The primary record
// set carries loops over result rows, the secondary one the look-ups nested
// in them and nextItemId.
struct DatabaseObjects {
    DatabaseConnection connection;
    RecordSet primaryRecordSet;
    RecordSet secondaryRecordSet;
};
