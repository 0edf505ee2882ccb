#pragma once

#include <string>

#include "document/document.h"
#include "document/model.h"
#include "support/temp_dir.h"

namespace brenvale::test {

// The sample document: 仕事 with 報告書 (checked), 会議の準備, a separator and the no-box
// Item メモ; its child 来週 (list icon) with 出張; then ごみ箱 (trash icon) without Items.
inline void BuildExample(Document& doc) {
    Topic& work = AddTopic(doc, nullptr, Sjis("仕事"), 0, kBuiltInTopicImages);
    work.items.push_back(Item(Sjis("■"), Sjis("報告書")));
    work.items.push_back(Item::Unchecked(Sjis("会議の準備")));
    work.items.push_back(Item::Unchecked("-"));
    work.items.push_back(Item::Unchecked(Sjis("-メモ")));
    Topic& next = AddChildTopic(doc, &work, Sjis("来週"), 3, kBuiltInTopicImages);
    next.items.push_back(Item::Unchecked(Sjis("出張")));
    AddTopic(doc, nullptr, Sjis("ごみ箱"), 4, kBuiltInTopicImages);
}

inline std::string ExampleFileBytes() {
    return "\x07Height376\r\n\x07Width573\r\n\x07Top200\r\n\x07Left300\r\n\x07TreeWidth129\r\n" +
           Sjis("仕事@00@\r\n") + "\x08" + Sjis("■報告書\r\n") + "\x08" + Sjis("□会議の準備\r\n") +
           "\x08" + Sjis("□-\r\n") + "\x08" + Sjis("□-メモ\r\n") + "\t" + Sjis("来週@03@\r\n") +
           "\t\x08" + Sjis("□出張\r\n") + Sjis("ごみ箱@04@\r\n");
}

}  // namespace brenvale::test
