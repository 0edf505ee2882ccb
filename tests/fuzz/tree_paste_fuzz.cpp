// The tree paste of any text into a small document: no crash, and every pasted subtree copied
// and pasted again comes back the same.
#include <set>

#include "document/model.h"
#include "document/tree_clipboard.h"
#include "fuzz_check.h"

using namespace brenvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Document doc;
    Topic& work = AddTopic(doc, nullptr, "Work@03@", 0, kBuiltInTopicImages);
    AppendStoredItem(&work, "\x81\xA0item");
    Topic& week = AddChildTopic(doc, &work, "Week", 0, kBuiltInTopicImages);
    AddTopic(doc, nullptr, "Trash@04@", 0, kBuiltInTopicImages);

    PasteResult pasted = PasteTreeText(doc, &week, fuzz::Bytes(data, size), kBuiltInTopicImages);
    const std::set<Topic*> created(pasted.created.begin(), pasted.created.end());
    fuzz::Check(created.size() == pasted.created.size(), "every pasted Topic is a new one");
    size_t inTree = 0;
    ForEachTopic(doc,
                 [&](const Topic& t, int) { inTree += created.count(const_cast<Topic*>(&t)); });
    fuzz::Check(inTree == created.size(), "every pasted Topic is in the tree");

    for (Topic* t : pasted.created) {
        if (created.count(t->parent())) {
            continue;  // inside a pasted subtree
        }
        std::string copied = BuildTreeClipboardText(*t);
        Document again;
        PasteResult back = PasteTreeText(again, nullptr, copied, kBuiltInTopicImages);
        fuzz::Check(again.first() && !again.first()->nextSibling(), "a copy pastes as one Topic");
        fuzz::Check(fuzz::Rows(*again.first()) == fuzz::Rows(*t),
                    "a pasted subtree copied and pasted again is the same");
        fuzz::Check(back.created.size() == fuzz::Rows(*t).size(), "as many Topics come back");
    }
    return 0;
}
