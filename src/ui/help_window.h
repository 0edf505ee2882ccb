#pragma once

#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <memory>

class QHelpEngine;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QToolButton;

namespace brenvale {

class HelpSearch;

// Shows the pages of the help collection, with their pictures and style sheet, and follows
// their links.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(QHelpEngine& engine, QWidget* parent = nullptr);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    QHelpEngine& engine_;
};

// The help window "Brenvale ヘルプ": contents, index and search beside the page. It is not
// modal; the program keeps one and shows it again for every help command.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the collection file; throws Error with the message for the user when it cannot be
    // read or holds no pages. The window belongs to owner (the main window).
    HelpWindow(const QString& collection, QWidget* owner);
    // The size it opens with, where the screen has room.
    static constexpr int kWidth = 780;
    static constexpr int kHeight = 540;
    ~HelpWindow() override;

    // Shows the window in front of caller's window. Opened from a modal dialog it stays
    // usable while that dialog is open.
    void presentFor(QWidget* caller);

    void showContents();
    void showSearch();
    void showPage(const QString& page);

    QUrl currentUrl() const;
    QHelpEngine& engine() { return *engine_; }
    HelpBrowser* browser() const { return browser_; }
    QTabWidget* tabs() const { return tabs_; }
    QLineEdit* indexFilter() const { return indexFilter_; }
    QLineEdit* searchInput() const { return searchInput_; }
    QListWidget* searchResults() const { return searchResults_; }
    QLabel* searchStatus() const { return searchStatus_; }

private:
    QWidget* buildIndexTab();
    QWidget* buildSearchTab();
    QWidget* buildNavigation();
    void runSearch();
    void selectInContents(const QUrl& url);
    void anchorTo(QWidget* window);
    // Opens over the main window, wholly on its screen.
    void placeOverOwner();

    QWidget* owner_;
    QHelpEngine* engine_;
    std::unique_ptr<HelpSearch> search_;
    HelpBrowser* browser_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* indexFilter_ = nullptr;
    QLineEdit* searchInput_ = nullptr;
    QListWidget* searchResults_ = nullptr;
    QLabel* searchStatus_ = nullptr;
    QPointer<QWidget> modalCaller_;
};

}  // namespace brenvale
