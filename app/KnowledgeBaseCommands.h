#pragma once

class ApplicationContext;
class KnowledgeBaseView;
class Prompts;

// 文件 → 新建知识库(&N): asks for a name, creates runDirectory/<name>.db and
// records it in Setting.ini. Refused while editing.
void newKnowledgeBase(ApplicationContext& context, Prompts& prompts, KnowledgeBaseView& view,
                      bool editing);

// 文件 → 打开知识库(&O): opens a chosen file and records its file name.
// Refused while editing, since a save would otherwise go into the other
// knowledge base.
void openChosenKnowledgeBase(ApplicationContext& context, Prompts& prompts, KnowledgeBaseView& view,
                             bool editing);

// At the window's first activation: the knowledge base that Setting.ini
// names, from runDirectory. A failed open shows nothing.
void openLastKnowledgeBase(ApplicationContext& context, KnowledgeBaseView& view);
