#pragma once

#include "store/StatusView.h"

#include <QString>

inline constexpr char editingRefusalMessage[] = "【保护】你目前正处于编辑模式，请先保存或返回";

// While the edit page is open the commands that would lose or misdirect the
// edit refuse: true when refused, with the message shown.
inline bool refuseWhileEditing(bool editing, StatusView& view) {
    if (editing)
        view.showStatus(QString::fromUtf8(editingRefusalMessage));
    return editing;
}
