#include "bench/SampleTree.h"

#include "store/Statements.h"

#include <QDateTime>

#include <algorithm>
#include <array>

namespace {

// splitmix64: small, fast and the same everywhere, so every run builds the
// same knowledge bases.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int bound) { return int(next() % std::uint64_t(bound)); }
    double unit() { return double(next() >> 11) / double(1ull << 53); }

private:
    std::uint64_t m_state;
};

const std::array<const char16_t*, 24> chinesePhrases = {
    u"数据结构与算法",       u"英语语法要点",     u"中国历史年表",       u"线性代数",
    u"学而时习之，不亦说乎", u"二叉树的遍历",     u"动态规划的状态转移", u"唐诗三百首",
    u"牛顿第二定律",         u"细胞的有丝分裂",   u"宋词的格律",         u"操作系统的进程调度",
    u"化学反应速率",         u"概率论与数理统计", u"明清小说选读",       u"计算机网络协议",
    u"函数的极限与连续",     u"古代汉语虚词",     u"光的折射与反射",     u"编译原理",
    u"世界地理概况",         u"经济学原理",       u"哈希表的冲突处理",   u"岚笺学习笔记"};

const std::array<const char*, 16> asciiWords = {
    "algorithm", "TCP/IP",  "O(n log n)", "vector", "present perfect", "HTML",  "pointer",
    "Newton",    "entropy", "matrix",     "Tang",   "lambda",          "cache", "B-tree",
    "grammar",   "kernel"};

QString chinesePhrase(Random& random) {
    return QString::fromUtf16(chinesePhrases[random.below(int(chinesePhrases.size()))]);
}

QString asciiWord(Random& random) {
    return QLatin1String(asciiWords[random.below(int(asciiWords.size()))]);
}

// Where the keywords are planted: the Chinese one in a body, the ASCII one in
// a summary and, in capitals, in the body of the next item.
bool plantsChineseInBody(int id) {
    return id % 100 == 7;
}
bool plantsAsciiInSummary(int id) {
    return id % 100 == 42;
}
bool plantsAsciiInBody(int id) {
    return id % 100 == 43;
}

int utf8Bytes(const QString& text) {
    int bytes = 0;
    for (QChar c : text)
        bytes += c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
    return bytes;
}

} // namespace

SampleTreeShape SampleTreeShape::catalogue(int itemCount) {
    SampleTreeShape shape;
    shape.itemCount = itemCount;
    shape.topLevelDirectories = 300;
    shape.childDirectoriesEach = 1;
    const int fixedPart = shape.topLevelDirectories * (1 + shape.childDirectoriesEach);
    shape.bigDirectoryChildren = std::clamp(itemCount - fixedPart, 0, 1000);
    return shape;
}

SampleTreeShape SampleTreeShape::directoriesOnly(int topLevel, int childrenEach, int bodyBytes) {
    SampleTreeShape shape;
    shape.itemCount = topLevel * (1 + childrenEach);
    shape.topLevelDirectories = topLevel;
    shape.childDirectoriesEach = childrenEach;
    shape.minBodyBytes = shape.maxBodyBytes = bodyBytes;
    return shape;
}

SampleTree::SampleTree(const SampleTreeShape& shape) : m_shape(shape) {
    m_parentIds.reserve(shape.itemCount);
    m_isDirectory.reserve(shape.itemCount);
    std::vector<int> depthOf(1, 0); // by ID; ID 0 is the top level
    std::vector<int> parentCandidates;
    auto add = [&](int parentId, bool isDirectory) {
        if (itemCount() == shape.itemCount)
            return;
        m_parentIds.push_back(parentId);
        m_isDirectory.push_back(isDirectory);
        const int id = itemCount();
        depthOf.push_back(depthOf[parentId] + 1);
        const bool isBigDirectory = shape.bigDirectoryChildren > 0 && id == bigDirectoryId();
        if (isDirectory && depthOf[id] > 1 && depthOf[id] < shape.maxDepth && !isBigDirectory)
            parentCandidates.push_back(id);
    };

    for (int i = 0; i < shape.topLevelDirectories; ++i)
        add(0, true);
    for (int topLevelId = 1; topLevelId <= shape.topLevelDirectories; ++topLevelId)
        for (int i = 0; i < shape.childDirectoriesEach; ++i)
            add(topLevelId, true);
    for (int i = 0; i < shape.bigDirectoryChildren; ++i)
        add(bigDirectoryId(), false);
    Random random(0x4C4A4B42);
    while (itemCount() < shape.itemCount && !parentCandidates.empty()) {
        const int parentId = parentCandidates[random.below(int(parentCandidates.size()))];
        add(parentId, random.unit() < shape.directoryShare);
    }
}

QString SampleTree::chineseKeyword() {
    return QStringLiteral("检索词");
}

QString SampleTree::asciiKeyword() {
    return QStringLiteral("Quantum");
}

QString SampleTree::absentKeyword() {
    return QStringLiteral("不存在的词条");
}

int SampleTree::itemsHolding(const QString& keyword) const {
    int count = 0;
    for (int id = 1; id <= itemCount(); ++id)
        if (keyword == chineseKeyword()
                ? plantsChineseInBody(id)
                : keyword == asciiKeyword() && (plantsAsciiInSummary(id) || plantsAsciiInBody(id)))
            ++count;
    return count;
}

SampleItem SampleTree::item(int index) const {
    SampleItem item;
    item.id = index + 1;
    item.parentId = m_parentIds[index];
    item.isDirectory = m_isDirectory[index];
    Random random(std::uint64_t(item.id) * 7919);
    const QString phrase = chinesePhrase(random);
    item.title =
        item.isDirectory
            ? QStringLiteral("目录%1 %2").arg(item.id).arg(phrase)
            : QStringLiteral("%1 第%2篇 %3").arg(phrase).arg(item.id).arg(asciiWord(random));
    if (random.below(5) != 0)
        item.summary = QStringLiteral("%1, %2").arg(chinesePhrase(random), asciiWord(random));
    if (plantsAsciiInSummary(item.id))
        item.summary += QStringLiteral(" quantum");
    item.body = bodyFor(item.id);
    item.timeText =
        creationTimeText(QDateTime(QDate(2012, 3, 5), QTime(0, 0)).addSecs(qint64(item.id) * 37));
    return item;
}

QString SampleTree::bodyFor(int id, std::uint32_t variant) const {
    Random random(std::uint64_t(id) << 32 | variant);
    const int target =
        m_shape.minBodyBytes + random.below(m_shape.maxBodyBytes - m_shape.minBodyBytes + 1);
    QString body;
    body.reserve(target / 2);
    int bytes = 0;
    auto append = [&](const QString& piece) {
        body += piece;
        bytes += utf8Bytes(piece);
    };
    append(QStringLiteral("<html><body>\r\n<h2>%1</h2>\r\n").arg(chinesePhrase(random)));
    if (plantsChineseInBody(id))
        append(QStringLiteral("<p>本篇的") + chineseKeyword() + QStringLiteral("在这里。</p>"));
    if (plantsAsciiInBody(id))
        append(QStringLiteral("<p>QUANTUM mechanics</p>"));
    while (bytes < target) {
        switch (random.below(10)) {
        case 0:
            append(QStringLiteral("<b>%1</b>").arg(chinesePhrase(random)));
            break;
        case 1:
            append(QStringLiteral("<a href='Data\\att%1.zip'>附件%1</a>").arg(random.below(1000)));
            break;
        case 2:
            append(QStringLiteral("<img src='pic\\%1.png'>").arg(random.below(1000)));
            break;
        case 3:
            append(QStringLiteral("<code>int x = %1;</code>\r\n").arg(random.below(100000)));
            break;
        default: {
            QString paragraph = QStringLiteral("<p>");
            for (int words = 3 + random.below(6); words > 0; --words) {
                paragraph += chinesePhrase(random);
                paragraph += QLatin1Char(' ');
                paragraph += asciiWord(random);
                paragraph += QStringLiteral("，");
            }
            append(paragraph + QStringLiteral("</p>\r\n"));
        }
        }
    }
    append(QStringLiteral("</body></html>"));
    return body;
}
