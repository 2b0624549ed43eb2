#pragma once

#include <QString>
#include <QStringView>

// The settings file Setting.ini, section 岚笺学习机. Every read goes to the
// file at the moment the value is needed and every write changes one key on
// disk, so no value is ever held here. The file keeps the old private-profile
// rules: a missing file, section or key gives the default; a write creates
// what is missing and leaves every other line as it was; a value that is
// enclosed in quotation marks is read without them.
class Settings {
public:
    explicit Settings(QString filePath);

    const QString& filePath() const { return m_filePath; }

    QString readText(const QString& key, const QString& defaultValue) const;
    // The leading decimal integer of the value (see parseSettingInteger).
    int readInteger(const QString& key, const QString& defaultValue) const;
    // A flag is set only when its value is exactly "真"; missing means "假".
    bool readFlag(const QString& key) const;

    // Writes one key. A failed write (read-only place, full disk) is not
    // reported and leaves the file as it was.
    void writeText(const QString& key, const QString& value) const;
    void writeInteger(const QString& key, int value) const;
    void writeFlag(const QString& key, bool value) const;

private:
    QString m_filePath;
};

// The section every key lives in, and the keys the program uses.
inline constexpr char settingsSection[] = "岚笺学习机";
inline constexpr char knowledgeBaseKey[] = "知识库";
inline constexpr char maximisedKey[] = "最大化";
inline constexpr char leftKey[] = "左边";
inline constexpr char topKey[] = "顶边";
inline constexpr char widthKey[] = "宽度";
inline constexpr char heightKey[] = "高度";
inline constexpr char staysOnTopKey[] = "置顶";

inline constexpr char trueFlag[] = "真";
inline constexpr char falseFlag[] = "假";

// The integer reading rule: leading white space, an optional sign, then the
// leading decimal digits; a text without digits reads as 0. Values beyond
// the range of int are held at its ends.
int parseSettingInteger(QStringView text);
