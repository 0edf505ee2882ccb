#pragma once

#include <string>

#include "editor/command_parts.h"

namespace brenvale {

class ActionRunner;
class Topic;

// The topic tree as the window's tree view drives it: its rows, the selected Topic, what is
// opened or folded, the icon menu, and the counter "3/12".
class TreeActions {
public:
    TreeActions(ActionRunner& runner, TreeParts parts) : runner_(runner), parts_(parts) {}
    TreeActions(const TreeActions&) = delete;
    TreeActions& operator=(const TreeActions&) = delete;

    // The tree's rows: the Topics a tree view shows, in order.
    const TreeRows& rows() const { return parts_.rows; }
    void selectTopic(Topic* topic);
    // The user opened or folded a Topic in the view.
    void setTopicExpanded(Topic* topic, bool expanded);
    void expandAllTopics();
    // The user opened a Topic and everything below it.
    void expandTopicSubtree(Topic* topic);
    // The tree's own label editing is refused; the focus goes to the tree's edit box instead.
    void treeEditRequested();
    // A click in an icon menu; tag 1 is the folder pair, any other tag the icon index.
    void iconMenuClick(int tag);
    // The status bar's counter "3/12" (the list's are VisibleList's).
    std::string treeCounterText() const;

private:
    ActionRunner& runner_;
    TreeParts parts_;
};

}  // namespace brenvale
