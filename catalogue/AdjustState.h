#pragma once

#include <QString>

// The adjust mode: while active, the next current item of the tree box is the
// target of a move of the marked item.
struct AdjustState {
    bool active = false;
    // The marked item's ID as decimal text and its tree item's text.
    QString movingId;
    QString movingTitle;
};
