#include "app/KnowledgeBaseCommands.h"

#include "app/ApplicationContext.h"
#include "app/EditingRefusal.h"
#include "documents/Prompts.h"
#include "store/KnowledgeBase.h"

void newKnowledgeBase(ApplicationContext& context, Prompts& prompts, KnowledgeBaseView& view,
                      bool editing) {
    if (refuseWhileEditing(editing, view))
        return;
    const QString name = prompts.askText(QStringLiteral("请输入新知识库的名称"), QString(),
                                         QStringLiteral("新建 知识库"));
    if (createKnowledgeBase(context.database(), context.runDirectory(), name, view))
        context.settings().writeText(knowledgeBaseKey, name + QStringLiteral(".db"));
}

void openChosenKnowledgeBase(ApplicationContext& context, Prompts& prompts, KnowledgeBaseView& view,
                             bool editing) {
    if (refuseWhileEditing(editing, view))
        return;
    const QString path =
        prompts.chooseFile(QStringLiteral("请选择资料库文件"), QStringLiteral("岚笺知识库(*.db)"),
                           context.runDirectory());
    if (path.isEmpty())
        return;
    openKnowledgeBase(context.database(), path, view, context.runDirectory());
    context.settings().writeText(knowledgeBaseKey, fileNameOf(path));
}

void openLastKnowledgeBase(ApplicationContext& context, KnowledgeBaseView& view) {
    openStartupKnowledgeBase(context.database(), context.runDirectory(),
                             context.settings().readText(knowledgeBaseKey, QString()), view);
}
