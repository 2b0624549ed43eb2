#pragma once

#include "store/DatabaseConnection.h"
#include "store/sql/Engine.h"
#include "store/sql/SqlFailure.h"

#include <memory>
#include <new>

// What a DatabaseConnection holds; record sets read through it too.
struct DatabaseConnection::Impl {
    std::unique_ptr<sql::Engine> engine; // null while no file is open
    QString errorText;
    quint64 statementCount = 0;
    // Changes with every open and close, so that a result can tell that the
    // file it came from is gone.
    quint64 generation = 0;

    sql::Engine& connectedEngine() {
        if (!engine)
            throw sql::failures::noConnection();
        return *engine;
    }

    // Runs work as one operation: errorText is cleared first and describes
    // the failure when work throws one; true when it did not.
    template <typename Work> bool attempt(Work&& work) {
        errorText.clear();
        try {
            work();
            return true;
        } catch (const sql::SqlFailure& failure) {
            errorText = sql::errorRecordText(failure);
            return false;
        } catch (const std::bad_alloc&) {
            errorText = sql::errorRecordText(sql::failures::outOfMemory());
            return false;
        }
    }
};
