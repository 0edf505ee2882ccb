#pragma once

#include <functional>
#include <vector>

namespace brenvale {
class Editor;
}

namespace brenvale::bench {

// One user action on an open document.
struct CommandStep {
    const char* name;
    std::function<void()> run;
    bool asks = false;  // it asks a question first (a window must answer it)
};

// Every command of the tree and the list, on a Topic in the middle of the top level and its
// list, in an order that leaves the document as large as it was.
std::vector<CommandStep> CommandSteps(Editor& editor);

}  // namespace brenvale::bench
