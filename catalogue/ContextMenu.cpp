#include "catalogue/ContextMenu.h"

#include <QMenu>

using namespace Qt::StringLiterals;

ContextMenu createContextMenu(QWidget* parent) {
    ContextMenu m;
    m.menu = new QMenu(u"右键"_s, parent);
    m.menu->setObjectName(u"右键"_s);
    m.addDocument = m.menu->addAction(u"添加文档"_s);
    m.addDirectory = m.menu->addAction(u"添加目录"_s);
    m.menu->addSeparator();
    m.refresh = m.menu->addAction(u"刷新"_s);
    m.menu->addSeparator();
    m.edit = m.menu->addAction(u"编辑"_s);
    m.adjustMenu = m.menu->addMenu(u"调整位置"_s);
    m.manualAdjust = m.adjustMenu->addAction(u"手动调整"_s);
    m.moveToTopLevel = m.adjustMenu->addAction(u"到根目录"_s);
    m.adjustMenu->addSeparator();
    m.cancelAdjust = m.adjustMenu->addAction(u"取消调整"_s);
    m.menu->addSeparator();
    m.deleteItem = m.menu->addAction(u"删除"_s);
    return m;
}
