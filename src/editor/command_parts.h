#pragma once

#include <string>

#include "editor/editor_parts.h"

namespace brenvale {

// The parts a command works on, in bundles by concern: a handler takes the bundle of its concern
// and reaches nothing else. A bundle is made from EditorParts or from any wider bundle that holds
// the same parts, so a handler hands what it holds on to the routines it calls, and a routine
// that needs a part its caller lacks does not compile. Bundles are small: they go by value.

// The hint panel, which a drag owns while it lasts.
struct HintParts {
    template <typename P>
    HintParts(const P& p) : drag(p.drag), hint(p.hint) {}
    DragState& drag;
    HintPanel& hint;
};

// Shows text in the hint panel, unless a drag owns the panel while it lasts.
void ShowHint(HintParts p, const std::string& text);

// What the window does itself: its dialogs and switches.
struct WindowParts {
    template <typename P>
    WindowParts(const P& p) : host(p.host), settings(p.settings) {}
    EditorHost& host;
    const Settings& settings;
};

// One undo step with the selection before and after it.
struct StepParts {
    template <typename P>
    StepParts(const P& p) : history(p.history), selection(p.selection), list(p.list) {}
    UndoHistory& history;
    Selection& selection;
    VisibleList& list;
};

// The selected Topic, its list and the tree it shows in, as a change of the selection (and of
// the tag filter, which may move it) touches them.
struct SelectionParts {
    template <typename P>
    SelectionParts(const P& p)
        : host(p.host),
          views(p.views),
          session(p.session),
          history(p.history),
          changes(p.changes),
          rows(p.rows),
          selection(p.selection),
          list(p.list),
          index(p.index),
          tagFilter(p.tagFilter) {}
    EditorHost& host;
    ViewNotifier& views;
    DocumentSession& session;
    UndoHistory& history;
    DocumentChanges& changes;
    TreeRows& rows;
    Selection& selection;
    VisibleList& list;
    ScheduleIndex& index;
    TagFilterState& tagFilter;

    Document& doc() const;
};

// The tree's commands: Topics added, moved, removed and given icons.
struct TreeParts : SelectionParts {
    template <typename P>
    TreeParts(const P& p) : SelectionParts(p), topicImageCount(p.topicImageCount) {}
    int topicImageCount;
};

// The list's commands, and those of dates and tags on its Items: they read the options and the
// clock and say in the hint panel what they could not do.
struct ListParts : SelectionParts, HintParts {
    template <typename P>
    ListParts(const P& p)
        : SelectionParts(p), HintParts(p), settings(p.settings), schedule(p.schedule) {}
    const Settings& settings;
    ScheduleClock& schedule;
};

// The clipboard and drag and drop: Topics and Items taken from one place to another.
struct MoveParts : ListParts {
    template <typename P>
    MoveParts(const P& p) : ListParts(p), topicImageCount(p.topicImageCount) {}
    int topicImageCount;
};

// Finding: the searches, their hits, and the hint panel that reports them.
struct FindParts : SelectionParts, HintParts {
    template <typename P>
    FindParts(const P& p) : SelectionParts(p), HintParts(p), find(p.find) {}
    FindState& find;
};

// Undo and redo.
struct UndoParts : SelectionParts, HintParts {
    template <typename P>
    UndoParts(const P& p) : SelectionParts(p), HintParts(p) {}
};

}  // namespace brenvale
