#pragma once

#include "store/sql/Ast.h"

#include <QString>

namespace sql {

// Reads one statement of the dialect: Create Table, Select, Insert Into,
// Update or Delete From, with at most one trailing ";". Keywords and names
// ignore letter case. Throws SqlFailure (state 42000) for anything else.
Statement parseStatement(const QString& text);

} // namespace sql
