#include "store/DatabaseConnection.h"

#include "store/sql/ConnectionImpl.h"

DatabaseConnection::ReadSnapshot::ReadSnapshot(DatabaseConnection& connection)
    : m_connection(connection), m_generation(connection.d->generation) {
    if (m_connection.d->engine)
        m_connection.d->engine->beginReading();
}

DatabaseConnection::ReadSnapshot::~ReadSnapshot() {
    // A file closed or reopened meanwhile took its read transaction along.
    if (m_connection.d->engine && m_connection.d->generation == m_generation)
        m_connection.d->engine->endReading();
}
