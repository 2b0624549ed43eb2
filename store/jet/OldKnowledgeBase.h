#pragma once

#include <QString>

class StatusView;

enum class OldKnowledgeBaseConversion {
    NotOldFormat, // the file is no Jet database; nothing was done
    Converted,    // converted in place; the original was kept as a .jet.bak file
    Failed        // the file stays as it was; the reason was shown
};

// Recognises a knowledge base file of the old program (a Jet 4.0 database) by
// its first page and converts it into this program's format at the same
// path, reporting progress and failure through view. After a conversion,
// report holds the message that names the kept original; the caller shows it
// once the new file is open, so that it is the last word.
OldKnowledgeBaseConversion convertOldKnowledgeBase(const QString& path, StatusView& view,
                                                   QString& report);
