#include "store/jet/OldKnowledgeBase.h"

OldKnowledgeBaseConversion convertOldKnowledgeBase(const QString&, StatusView&) {
    return OldKnowledgeBaseConversion::NotOldFormat;
}
