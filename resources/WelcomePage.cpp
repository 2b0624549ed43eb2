#include "resources/WelcomePage.h"

#include "resources/WebAddresses.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// The link's content is the address without its scheme.
QString addressWithoutScheme(const QString& address) {
    const qsizetype schemeEnd = address.indexOf(u"://"_s);
    return schemeEnd < 0 ? address : address.mid(schemeEnd + 3);
}

} // namespace

QString welcomePage() {
    const QString home = QString::fromUtf8(homePageAddress);
    const QStringList lines = {
        u"欢迎使用 <h1><font color=\"#FF0000\">岚笺学习机</font></h1><br/>"_s,
        u"<br/>"_s,
        u"使用它，你可以一边学习一边记录，将每一个知识点写成一篇文档。以后，你就可以随时回来翻阅、"
        u"查询和编辑。就像是一本由你亲手打造的电子字典一样方便快捷<br/>"_s,
        u"<br/>"_s,
        u"还等什么，赶快试试吧<br/>"_s,
        u"<br/>"_s,
        u"岚笺工作室 <a href=\""_s + home + u"\" target=\"_blank\">"_s +
            addressWithoutScheme(home) + u"</a>"_s,
    };
    return lines.join(u"\r\n"_s);
}
