// The options command: the options dialog over the window's settings, and how each option it
// writes takes effect at once.
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QStatusBar>

#include "common/path.h"
#include "settings/colour_scheme.h"
#include "settings/ini_file.h"
#include "settings/ini_value.h"
#include "ui/check_list_view.h"
#include "ui/codec.h"
#include "ui/colours.h"
#include "ui/counter_panel.h"
#include "ui/main_window.h"
#include "ui/options_dialog.h"
#include "ui/topic_tree_view.h"

namespace brenvale {

namespace {

class WindowOptionTarget : public OptionTarget {
public:
    explicit WindowOptionTarget(MainWindow& window) : window_(window) {}

    void ApplySettings(const Settings& settings) override {
        window_.editor().setSettings(settings);
    }
    void ApplyAutoSaveInterval(int milliseconds) override {
        window_.editor().session().setAutoSaveInterval(milliseconds);
    }
    void ApplyColour(ViewColour which, Colour colour) override {
        window_.setViewColour(which, colour);
    }

private:
    MainWindow& window_;
};

}  // namespace

namespace {

bool DesktopIsDark() {
    const QPalette desktop = QGuiApplication::palette();
    return IsDarkPalette(FromQColor(desktop.color(QPalette::Window)),
                         FromQColor(desktop.color(QPalette::WindowText)));
}

}  // namespace

ViewColours MainWindow::viewColours() const {
    return ColoursInEffect(colours_, DesktopIsDark());
}

void MainWindow::applyViewColours() {
    const bool dark = DesktopIsDark();
    const ViewColours shown = ColoursInEffect(colours_, dark);
    // The edit boxes take the colours of their views, so their text stays readable on any
    // background.
    SetWidgetColours(tree_, shown.treeBack, shown.treeText);
    SetWidgetColours(treeEdit_, shown.treeBack, shown.treeText);
    SetWidgetColours(list_, shown.listBack, shown.listText);
    SetWidgetColours(listEdit_, shown.listBack, shown.listText);
    treeCounter_->setColours(TreeCounterColours(dark));
    listCounter_->setColours(ListCounterColours(dark));
}

void MainWindow::setViewColour(ViewColour which, Colour colour) {
    const bool tree = which == ViewColour::TreeBack || which == ViewColour::TreeText;
    const bool background = which == ViewColour::TreeBack || which == ViewColour::ListBack;
    Colour ViewColours::*field =
        tree ? (background ? &ViewColours::treeBack : &ViewColours::treeText)
             : (background ? &ViewColours::listBack : &ViewColours::listText);
    // A colour the user chose is kept as chosen, whatever the desktop's palette; so is the
    // other colour of its view, as it shows now.
    bool& follows = FollowsDesktopFlag(colours_, field);
    if (follows) {
        const ViewColours shown = viewColours();
        (tree ? colours_.treeBack : colours_.listBack) = tree ? shown.treeBack : shown.listBack;
        (tree ? colours_.treeText : colours_.listText) = tree ? shown.treeText : shown.listText;
        follows = false;
    }
    colours_.*field = colour;
    applyViewColours();
}

void MainWindow::changeSwitch(bool Settings::*option, bool on) {
    for (const OptionRow& row : OptionTable()) {
        const auto* field = std::get_if<bool Settings::*>(&row.field);
        if (field && *field == option) {
            IniFile(ToUtf8(options_.settingsFile))
                .WriteString(row.section, row.key, FormatIniBool(on));
            break;
        }
    }
    Settings settings = editor_->settings();
    settings.*option = on;
    editor_->setSettings(settings);
}

void MainWindow::showOptionsDialog() {
    const ViewColours before = colours_;
    OptionsContext context;
    // The samples show the colours in use.
    context.values = {editor_->settings(), viewColours(), editor_->session().autoSaveInterval()};
    // The folder the program keeps its own files in: the program's folder, or the user's
    // configuration folder where that cannot be written.
    context.programFolder = options_.companionFolder;
    context.programPath = options_.programPath;
    context.settingsFile = options_.settingsFile;
    WindowOptionTarget target(*this);
    OptionsDialog dialog(context, target, this);
    if (dialog.exec() == QDialog::Accepted) {
        list_->viewport()->update();
        countersChanged();
        statusBar()->update();
        editor_->session().updateTitle();
    }
    // A new tree colour shows on every Topic.
    if (colours_.treeBack != before.treeBack || colours_.treeText != before.treeText ||
        colours_.treeFollowsDesktop != before.treeFollowsDesktop) {
        editor_->tree().expandAllTopics();
    }
}

}  // namespace brenvale
