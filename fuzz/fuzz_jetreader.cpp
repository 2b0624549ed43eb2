// Old knowledge base files of any content: the Jet reader and the text
// decoder must answer, never crash or hang.

#include "store/jet/JetReader.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    JetTable table;
    readJetTable(file, QStringLiteral("NKTB"),
                 {QStringLiteral("ID"), QStringLiteral("NFID"), QStringLiteral("NTitle"),
                  QStringLiteral("NKey"), QStringLiteral("NText"), QStringLiteral("NTime"),
                  QStringLiteral("NType")},
                 table);
    QString text;
    decodeJetText(QByteArrayView(file).first(std::min<qsizetype>(file.size(), 4096)), text);
    return 0;
}
