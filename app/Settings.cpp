#include "app/Settings.h"

#include "store/WholeFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <optional>

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

bool isEnclosedInQuotes(QStringView text) {
    return text.size() >= 2 && isQuote(text.front()) && text.back() == text.front();
}

// The file as lines, each without its line feed; a carriage return before
// the line feed stays on the line, so lines that are not touched are written
// back exactly as they were.
struct IniLines {
    QStringList lines;
    bool crlf = false;
};

QString decodeFileText(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Not UTF-8: a file written by the old program in the GBK code page.
    QStringDecoder gbk("GBK");
    return gbk.decode(bytes);
}

IniLines readLines(const QString& filePath) {
    IniLines ini;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return ini;
    const QString text = decodeFileText(file.readAll());
    if (text.isEmpty())
        return ini;
    ini.lines = text.split(u'\n');
    if (ini.lines.back().isEmpty())
        ini.lines.removeLast();
    ini.crlf = !ini.lines.isEmpty() && ini.lines.front().endsWith(u'\r');
    return ini;
}

QStringView lineContent(const QString& line) {
    QStringView content(line);
    if (content.endsWith(u'\r'))
        content.chop(1);
    return content;
}

std::optional<QStringView> sectionNameOf(QStringView line) {
    line = trimBlanks(line);
    if (!line.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = line.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimBlanks(line.sliced(1, close - 1));
}

// The lines of the program's section: header index (-1 when the section is
// missing) and the index one past its last line.
struct SectionRange {
    qsizetype header = -1;
    qsizetype end = 0;
};

SectionRange findSection(const QStringList& lines) {
    SectionRange range;
    const QString wanted = QString::fromUtf8(settingsSection);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionNameOf(lineContent(lines[i]));
        if (!name)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (name->compare(wanted, Qt::CaseInsensitive) == 0)
            range.header = i;
    }
    range.end = lines.size();
    return range;
}

// The key of a "key=value" line; empty for other lines and for comments.
QStringView keyOf(QStringView line) {
    if (trimBlanks(line).startsWith(u';'))
        return QStringView();
    const qsizetype equals = line.indexOf(u'=');
    return equals < 0 ? QStringView() : trimBlanks(line.first(equals));
}

qsizetype findKey(const QStringList& lines, SectionRange section, const QString& key) {
    if (section.header < 0)
        return -1;
    for (qsizetype i = section.header + 1; i < section.end; ++i) {
        const QStringView lineKey = keyOf(lineContent(lines[i]));
        if (!lineKey.isEmpty() && lineKey.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString valueOf(QStringView line) {
    QStringView value = trimBlanks(line.sliced(line.indexOf(u'=') + 1));
    if (isEnclosedInQuotes(value))
        value = value.sliced(1, value.size() - 2);
    return value.toString();
}

// Reading trims blanks and drops enclosing quotation marks, so a value that
// would lose something that way is written inside quotation marks.
QString encodeValue(const QString& value) {
    const bool needsQuotes =
        (!value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()))) ||
        isEnclosedInQuotes(value);
    return needsQuotes ? u'"' + value + u'"' : value;
}

void writeLines(const QString& filePath, const IniLines& ini) {
    QString text;
    for (const QString& line : ini.lines)
        text += line + u'\n';
    writeWholeFile(filePath, text.toUtf8());
}

} // namespace

Settings::Settings(QString filePath) : m_filePath(std::move(filePath)) {}

QString Settings::readText(const QString& key, const QString& defaultValue) const {
    const IniLines ini = readLines(m_filePath);
    const qsizetype at = findKey(ini.lines, findSection(ini.lines), key);
    return at < 0 ? defaultValue : valueOf(lineContent(ini.lines[at]));
}

int Settings::readInteger(const QString& key, const QString& defaultValue) const {
    return parseSettingInteger(readText(key, defaultValue));
}

bool Settings::readFlag(const QString& key) const {
    return readText(key, QString::fromUtf8(falseFlag)) == QString::fromUtf8(trueFlag);
}

void Settings::writeText(const QString& key, const QString& value) const {
    // A line break would end the line early and turn the rest into lines of
    // their own; such a value cannot be stored.
    if (value.contains(u'\n') || value.contains(u'\r'))
        return;
    IniLines ini = readLines(m_filePath);
    const QString lineEnd = ini.crlf ? QStringLiteral("\r") : QString();
    const SectionRange section = findSection(ini.lines);
    const qsizetype at = findKey(ini.lines, section, key);
    if (at >= 0) {
        QString& line = ini.lines[at];
        const QString ownLineEnd = line.endsWith(u'\r') ? QStringLiteral("\r") : QString();
        line = line.first(line.indexOf(u'=') + 1) + encodeValue(value) + ownLineEnd;
    } else if (section.header >= 0) {
        // After the section's last line that is not blank.
        qsizetype insertAt = section.end;
        while (insertAt > section.header + 1 &&
               trimBlanks(lineContent(ini.lines[insertAt - 1])).isEmpty())
            --insertAt;
        ini.lines.insert(insertAt, key + u'=' + encodeValue(value) + lineEnd);
    } else {
        ini.lines.append(u'[' + QString::fromUtf8(settingsSection) + u']' + lineEnd);
        ini.lines.append(key + u'=' + encodeValue(value) + lineEnd);
    }
    writeLines(m_filePath, ini);
}

void Settings::writeInteger(const QString& key, int value) const {
    writeText(key, QString::number(value));
}

void Settings::writeFlag(const QString& key, bool value) const {
    writeText(key, QString::fromUtf8(value ? trueFlag : falseFlag));
}

int parseSettingInteger(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulated as a negative number, whose range reaches one further.
    constexpr long long lowest = std::numeric_limits<int>::min();
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::max(lowest, value * 10 - (text[i].unicode() - u'0'));
    if (!negative)
        value = std::min<long long>(-value, std::numeric_limits<int>::max());
    return int(value);
}
