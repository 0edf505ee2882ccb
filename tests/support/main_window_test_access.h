#pragma once

#include "ui/main_window.h"

namespace brenvale {

// The parts of a window only tests reach from outside: the window itself works with them from
// inside.
struct MainWindowTestAccess {
    static MainMenus& menus(MainWindow& w) { return *w.menus_; }
    static Toolbar* toolbar(MainWindow& w) { return w.toolbar_; }
    static QLabel* hintPanel(MainWindow& w) { return w.hint_; }
    // The conflict marks left in the document; hidden while there are none.
    static QLabel* conflictPanel(MainWindow& w) { return w.conflicts_; }
    static CounterPanel* treeCounter(MainWindow& w) { return w.treeCounter_; }
    static CounterPanel* listCounter(MainWindow& w) { return w.listCounter_; }
    static DragScrollTimer* dragScrollTimer(MainWindow& w) { return w.dragScroll_; }
    static FindBar* findBar(MainWindow& w) { return w.findBar_; }
    // Made on first use, as when the user first lists the hits.
    static FindResultsPanel* findResults(MainWindow& w) { return w.findResultsPanel(); }
    static QSplitter* treeColumn(MainWindow& w) { return w.treeColumn_; }
    static FileWatch* fileWatch(MainWindow& w) { return w.fileWatch_; }
    // The agenda window, once it was shown.
    static AgendaDialog* agendaDialog(MainWindow& w) { return w.agenda_; }
    static QLabel* filterLabel(MainWindow& w) { return w.filterLabel_; }
    static WindowHost& host(MainWindow& w) { return w.host_; }
    static const ImageLists& images(MainWindow& w) { return w.images_; }
};

}  // namespace brenvale
