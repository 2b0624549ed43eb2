// The tag stripping and the keyword test on any text: the first line of the
// input is the keyword, the rest the text.

#include "search/SearchText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype lineEnd = input.indexOf(u'\n');
    const QString keyword = lineEnd < 0 ? QString() : input.left(lineEnd);
    const QString text = input.mid(lineEnd + 1);

    const QString stripped = stripTags(text);
    QString buffer;
    if (stripTags(QStringView(text), buffer) != stripped || stripped.size() > text.size())
        abort();
    for (qsizetype from = 0; from <= stripped.size(); from += 1 + from / 8) {
        const qsizetype hit = findKeyword(stripped, keyword, from);
        if (hit != -1 && (hit < from || hit + keyword.size() > stripped.size()))
            abort();
    }
    return 0;
}
