// The options command: the options dialog over the window's settings, and how each option it
// writes takes effect at once.
#include <QLineEdit>
#include <QStatusBar>

#include "common/path.h"
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

void MainWindow::setViewColour(ViewColour which, Colour colour) {
    const bool tree = which == ViewColour::TreeBack || which == ViewColour::TreeText;
    const bool background = which == ViewColour::TreeBack || which == ViewColour::ListBack;
    Colour& kept = tree ? (background ? colours_.treeBack : colours_.treeText)
                        : (background ? colours_.listBack : colours_.listText);
    kept = colour;
    // After the options dialog the edit boxes take the text colours as well.
    QWidget* const widgets[] = {tree ? static_cast<QWidget*>(tree_) : list_,
                                tree ? treeEdit_ : listEdit_};
    for (QWidget* widget : widgets) {
        SetWidgetColours(widget, background ? std::optional(colour) : std::nullopt,
                         background ? std::nullopt : std::optional(colour));
    }
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
    context.values = {editor_->settings(), colours_, editor_->session().autoSaveInterval()};
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
    if (colours_.treeBack != before.treeBack || colours_.treeText != before.treeText) {
        editor_->expandAllTopics();
    }
}

}  // namespace brenvale
