#pragma once

#include <QString>

class HtmlView;
class RecordSet;

// Displays HTML texts and stored items. Every display goes through TempPage:
// the text is written to the file and the view is pointed at it.
class DocumentView {
public:
    // viewBox is 超文本浏览框, where showItem displays.
    DocumentView(const QString& runDirectory, RecordSet& primaryRecordSet, HtmlView& viewBox);

    // runDirectory/Data/Temp.html.
    const QString& tempPage() const { return m_tempPage; }

    // Writes text to TempPage and points browserBox at it. A failed write is
    // not reported; the box then loads whatever the file holds.
    void showHtml(HtmlView& browserBox, const QString& text);
    // Shows the body of the item with this ID (decimal text) in the view box,
    // or the welcome page when there is no such item or its body is empty.
    void showItem(const QString& id);

private:
    QString m_tempPage;
    RecordSet& m_primaryRecordSet;
    HtmlView& m_viewBox;
};
