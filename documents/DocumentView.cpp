#include "documents/DocumentView.h"

#include "documents/HtmlView.h"
#include "documents/TempPage.h"
#include "resources/WelcomePage.h"
#include "store/RecordSet.h"
#include "store/Statements.h"

DocumentView::DocumentView(const QString& runDirectory, RecordSet& primaryRecordSet,
                           HtmlView& viewBox)
    : m_tempPage(::tempPage(runDirectory)), m_primaryRecordSet(primaryRecordSet),
      m_viewBox(viewBox) {}

void DocumentView::showHtml(HtmlView& browserBox, const QString& text) {
    writeTempPage(m_tempPage, text);
    browserBox.setAddress(m_tempPage);
}

void DocumentView::showItem(const QString& id) {
    m_primaryRecordSet.open(selectItemById(id));
    const bool found = m_primaryRecordSet.recordCount() > 0;
    const QString text = found ? m_primaryRecordSet.readText(QStringLiteral("NText")) : QString();
    if (found && !text.isEmpty())
        showHtml(m_viewBox, text);
    else
        showHtml(m_viewBox, welcomePage());
}
