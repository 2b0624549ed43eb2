#include "store/DatabaseConnection.h"

#include "store/sql/ConnectionImpl.h"

DatabaseConnection::DatabaseConnection() : d(std::make_unique<Impl>()) {}

DatabaseConnection::~DatabaseConnection() = default;

bool DatabaseConnection::open(const QString& file, const QString& password) {
    close();
    return d->attempt([&] {
        if (!password.isEmpty())
            throw sql::failures::passwordNotSupported();
        d->engine = std::make_unique<sql::Engine>(file);
        ++d->generation;
    });
}

void DatabaseConnection::close() {
    d->errorText.clear();
    if (!d->engine)
        return;
    d->engine.reset();
    ++d->generation;
}

bool DatabaseConnection::execute(const QString& statement) {
    ++d->statementCount;
    return d->attempt([&] { d->connectedEngine().execute(statement); });
}

bool DatabaseConnection::isConnected() const {
    return d->engine != nullptr;
}

QString DatabaseConnection::errorText() const {
    return d->errorText;
}

bool DatabaseConnection::runInTransaction(const std::function<bool()>& work) {
    if (!d->attempt([&] { d->connectedEngine().begin(); }))
        return false;
    const quint64 generation = d->generation;
    auto rollBack = [&] {
        if (d->generation != generation)
            return; // closing the file rolled the transaction back
        try {
            d->engine->rollback();
        } catch (const sql::SqlFailure&) {
            // The transaction is over either way; the failure that led here is
            // the one to report.
        }
    };
    bool done = false;
    try {
        done = work();
    } catch (...) {
        rollBack();
        throw;
    }
    if (d->generation != generation) {
        d->errorText = sql::errorRecordText(sql::failures::connectionChangedInTransaction());
        return false;
    }
    if (!done) {
        rollBack(); // errorText keeps what work's failing statement said
        return false;
    }
    return d->attempt([&] {
        try {
            d->engine->commit();
        } catch (const sql::SqlFailure&) {
            rollBack();
            throw;
        }
    });
}

quint64 DatabaseConnection::statementCount() const {
    return d->statementCount;
}
