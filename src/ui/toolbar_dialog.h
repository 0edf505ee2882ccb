#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

#include "settings/command_entry.h"
#include "settings/toolbar_lists.h"
#include "ui/toolbar.h"

class QLabel;
class QMimeData;
class QPushButton;
class QToolButton;

namespace brenvale {

class ImageLists;
class ToolbarEntryModel;
class ToolbarEntryView;

// The toolbar dialog: the available buttons and the buttons to show, moved
// by the buttons between the lists and by dragging one entry at a time. OK writes the
// ToolBar section of the settings file; the caller then builds the toolbar from it.
class ToolbarDialog : public QDialog {
    Q_OBJECT
public:
    using Which = ToolbarLists::Which;

    ToolbarDialog(const std::vector<Toolbar::Slot>& toolbar, const ImageLists& images,
                  QString settingsFile, QWidget* parent = nullptr);
    ~ToolbarDialog() override;

    ToolbarLists& lists() { return lists_; }
    ToolbarEntryView* view(Which which) const {
        return which == Which::Src ? sourceView_ : targetView_;
    }
    QLabel* dstLabel() const { return targetLabel_; }
    QWidget* bottomPanel() const { return bottomPanel_; }
    QTimer& scrollTimer() { return scrollTimer_; }
    bool dragging() const { return dragging_; }

    // A drag of the current entry of a list, as its mime data says.
    QMimeData* dragData(Which from) const;
    // The list and entry a drag carries, if it comes from this dialog.
    struct Dragged {
        Which from;
        size_t index;
    };
    std::optional<Dragged> draggedEntry(const QMimeData* data) const;

    void lbStartDrag(Which which);
    void lbEndDrag();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    QWidget* buildCentrePanel();
    // How wide a list must be to show the longest entry whole.
    int entryListWidth() const;
    ToolbarEntryView* makeList(Which which);
    // Shows the working copy again after a change: entries, selections, buttons, focus.
    void refresh();
    void takeSelection(Which which);
    void SetButtons();
    void run(void (ToolbarLists::*button)());
    void btnOKClick();
    void lbDstDragOver(QDragMoveEvent* event);
    void lbDstDragDrop(QDropEvent* event);
    void lbSrcDragOver(QDragMoveEvent* event);
    void lbSrcDragDrop(QDropEvent* event);
    void startScrolling(int direction);
    void ScrollTimerTimer();

    const QString settingsFile_;
    std::vector<CommandEntry> commands_;
    ToolbarLists lists_;
    ToolbarEntryModel* srcModel_ = nullptr;
    ToolbarEntryModel* dstModel_ = nullptr;
    ToolbarEntryView* sourceView_ = nullptr;
    ToolbarEntryView* targetView_ = nullptr;
    QLabel* targetLabel_ = nullptr;
    QWidget* leftPanel_ = nullptr;
    QWidget* rightPanel_ = nullptr;
    QWidget* bottomPanel_ = nullptr;
    QPushButton* btnAdd_ = nullptr;
    QPushButton* btnDel_ = nullptr;
    QPushButton* btnAddAll_ = nullptr;
    QPushButton* btnDelAll_ = nullptr;
    QToolButton* scrollUpButton_ = nullptr;
    QToolButton* scrollDownButton_ = nullptr;
    QTimer scrollTimer_;
    int scrollDirection_ = 0;
    bool dragging_ = false;
    bool syncing_ = false;
};

}  // namespace brenvale
