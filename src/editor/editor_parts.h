#pragma once

#include <string>

#include "settings/settings.h"

namespace brenvale {

class CommandStates;
class Document;
class DocumentChanges;
class DocumentSession;
class EditorHost;
class FindState;
class HintPanel;
class ProgressCounts;
class ScheduleClock;
class ScheduleIndex;
class Selection;
class TagFilterState;
class TreeRows;
class UndoHistory;
class ViewNotifier;
class VisibleList;
struct DragState;

// The parts of an editor, for the commands, which work on several of them. Only the editor
// and its commands see this; the window goes through Editor.
struct EditorParts {
    EditorHost& host;
    const Settings& settings;
    // Images of the topic image list: the built-in ones, then the user icons.
    int topicImageCount;
    ViewNotifier& views;
    DocumentSession& session;
    UndoHistory& history;
    DocumentChanges& changes;
    TreeRows& rows;
    Selection& selection;
    VisibleList& list;
    DragState& drag;
    HintPanel& hint;
    CommandStates& commands;
    ProgressCounts& progress;
    FindState& find;
    ScheduleIndex& index;
    TagFilterState& tagFilter;
    ScheduleClock& schedule;

    Document& doc() const;
};

}  // namespace brenvale
