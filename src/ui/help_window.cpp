#include "ui/help_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHelpContentItem>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "common/error.h"
#include "editor/window_placement.h"
#include "ui/codec.h"
#include "ui/help_pages.h"
#include "ui/help_search.h"
#include "ui/images.h"

namespace brenvale {

namespace {

constexpr int kContentsTab = 0;
constexpr int kIndexTab = 1;
constexpr int kSearchTab = 2;

QVBoxLayout* TightColumn(QWidget* widget) {
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    return layout;
}

}  // namespace

HelpBrowser::HelpBrowser(QHelpEngine& engine, QWidget* parent)
    : QTextBrowser(parent), engine_(engine) {}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    if (name.scheme() == QLatin1String("qthelp")) {
        return engine_.fileData(name);
    }
    return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(const QString& collection, QWidget* owner)
    : QWidget(owner, Qt::Window), owner_(owner), engine_(new QHelpEngine(collection, this)) {
    // The installed collection lies in a folder the user cannot write: read it as it is.
    engine_->setReadOnly(true);
    if (!engine_->setupData() ||
        engine_->fileData(HelpUrl(QString::fromLatin1(kHelpContentsPage))).isEmpty()) {
        QString reason =
            engine_->error().isEmpty() ? QStringLiteral("ページがありません。") : engine_->error();
        throw Error(
            ToUtf8(QStringLiteral("ヘルプファイル %1 を開けません。\n%2").arg(collection, reason)));
    }
    search_ = std::make_unique<HelpSearch>(*engine_);

    setWindowTitle(QStringLiteral("Brenvale ヘルプ"));
    setWindowIcon(ApplicationIcon(QStringLiteral("mainicon")));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(kWidth, kHeight);

    browser_ = new HelpBrowser(*engine_);
    browser_->setOpenExternalLinks(true);

    tabs_ = new QTabWidget;
    tabs_->addTab(engine_->contentWidget(), QStringLiteral("目次"));
    tabs_->addTab(buildIndexTab(), QStringLiteral("索引"));
    tabs_->addTab(buildSearchTab(), QStringLiteral("検索"));
    // A single click opens a page too, as in a web page's table of contents.
    QHelpContentWidget* contents = engine_->contentWidget();
    connect(contents, &QHelpContentWidget::linkActivated, browser_,
            [this](const QUrl& url) { browser_->setSource(url); });
    connect(contents, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (QHelpContentItem* item = engine_->contentModel()->contentItemAt(index)) {
            browser_->setSource(item->url());
        }
    });
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::selectInContents);
    // The contents are read in the background: open them fully once they are there.
    connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, this, [this] {
        engine_->contentWidget()->expandAll();
        selectInContents(browser_->source());
    });

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(tabs_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 540});

    QVBoxLayout* layout = TightColumn(this);
    layout->addWidget(buildNavigation());
    layout->addWidget(splitter, 1);
}

HelpWindow::~HelpWindow() = default;

QWidget* HelpWindow::buildNavigation() {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    auto button = [row](const QString& text) {
        auto* b = new QToolButton;
        b->setText(text);
        b->setAutoRaise(true);
        row->addWidget(b);
        return b;
    };
    QToolButton* back = button(QStringLiteral("← 戻る"));
    QToolButton* forward = button(QStringLiteral("進む →"));
    QToolButton* home = button(QStringLiteral("目次"));
    row->addStretch(1);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, &HelpWindow::showContents);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    return bar;
}

QWidget* HelpWindow::buildIndexTab() {
    auto* tab = new QWidget;
    QVBoxLayout* column = TightColumn(tab);
    auto* label = new QLabel(QStringLiteral("キーワード(&K):"));
    indexFilter_ = new QLineEdit;
    label->setBuddy(indexFilter_);
    QHelpIndexWidget* index = engine_->indexWidget();
    column->addWidget(label);
    column->addWidget(indexFilter_);
    column->addWidget(index, 1);
    connect(indexFilter_, &QLineEdit::textChanged, index,
            [index](const QString& text) { index->filterIndices(text); });
    connect(indexFilter_, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QAbstractItemView::clicked, index, &QHelpIndexWidget::activateCurrentItem);
    // A keyword of several pages opens the first of them.
    connect(index, &QHelpIndexWidget::documentActivated, browser_,
            [this](const QHelpLink& link, const QString&) { browser_->setSource(link.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, browser_,
            [this](const QList<QHelpLink>& links, const QString&) {
                if (!links.isEmpty()) {
                    browser_->setSource(links.first().url);
                }
            });
    return tab;
}

QWidget* HelpWindow::buildSearchTab() {
    auto* tab = new QWidget;
    QVBoxLayout* column = TightColumn(tab);
    auto* label = new QLabel(QStringLiteral("探す語句(&W):"));
    searchInput_ = new QLineEdit;
    label->setBuddy(searchInput_);
    auto* go = new QPushButton(QStringLiteral("検索(&S)"));
    auto* row = new QHBoxLayout;
    row->addWidget(searchInput_, 1);
    row->addWidget(go);
    searchStatus_ = new QLabel;
    searchResults_ = new QListWidget;
    column->addWidget(label);
    column->addLayout(row);
    column->addWidget(searchStatus_);
    column->addWidget(searchResults_, 1);
    connect(searchInput_, &QLineEdit::returnPressed, this, &HelpWindow::runSearch);
    connect(go, &QPushButton::clicked, this, &HelpWindow::runSearch);
    connect(searchResults_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        browser_->setSource(item->data(Qt::UserRole).toUrl());
    });
    connect(searchResults_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        browser_->setSource(item->data(Qt::UserRole).toUrl());
    });
    return tab;
}

void HelpWindow::runSearch() {
    searchResults_->clear();
    QString query = searchInput_->text().trimmed();
    if (query.isEmpty()) {
        searchStatus_->setText(QStringLiteral("探す語句を入力して下さい。"));
        return;
    }
    const QList<HelpHit> hits = search_->find(query);
    for (const HelpHit& hit : hits) {
        auto* item = new QListWidgetItem(hit.title, searchResults_);
        item->setData(Qt::UserRole, hit.url);
    }
    searchStatus_->setText(hits.isEmpty()
                               ? QStringLiteral("「%1」を含むページはありません。").arg(query)
                               : QStringLiteral("%1 ページ見つかりました。").arg(hits.size()));
    if (!hits.isEmpty()) {
        searchResults_->setCurrentRow(0);
        browser_->setSource(hits.first().url);
    }
}

void HelpWindow::selectInContents(const QUrl& url) {
    QHelpContentWidget* contents = engine_->contentWidget();
    QUrl page = url.adjusted(QUrl::RemoveFragment);
    QModelIndex index = contents->indexOf(page);
    if (index.isValid()) {
        contents->setCurrentIndex(index);
    }
}

void HelpWindow::anchorTo(QWidget* window) {
    if (window && windowHandle() && window->windowHandle()) {
        windowHandle()->setTransientParent(window->windowHandle());
    }
}

void HelpWindow::presentFor(QWidget* caller) {
    // A modal dialog blocks every window but its own descendants. A help window whose
    // transient parent is the dialog counts as one of them, so its help can be read and
    // clicked while the dialog stays open. Once the dialog is gone the window belongs to its
    // owner again.
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* callerWindow = caller ? caller->window() : nullptr;
    if (modal && callerWindow != modal) {
        modal = nullptr;  // a help command of a window the dialog does not block
    }
    winId();  // the native window, whose transient parent is set below
    if (modal) {
        modal->winId();
        anchorTo(modal);
        if (modalCaller_ != modal) {
            modalCaller_ = modal;
            connect(modal, &QObject::destroyed, this, [this] { anchorTo(owner_); });
        }
    } else {
        anchorTo(owner_);
    }
    if (isMinimized()) {
        showNormal();
    }
    if (!isVisible()) {
        placeOverOwner();
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::placeOverOwner() {
    QWidget* main = owner_ ? owner_->window() : nullptr;
    QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    // The window system adds a frame like the main window's; until it has one, a usual one.
    QMargins frame(8, 30, 8, 8);
    QRect owner = screen->availableGeometry();
    if (main && main->isVisible()) {
        const QRect outer = main->frameGeometry();
        const QRect inner = main->geometry();
        if (outer != inner) {
            frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        }
        owner = outer;
    }
    const QRect work = screen->availableGeometry();
    const QSize wanted = QSize(kWidth, kHeight).grownBy(frame);
    const Bounds placed = PlaceOverOwner(wanted.width(), wanted.height(),
                                         {owner.left(), owner.top(), owner.width(), owner.height()},
                                         {work.left(), work.top(), work.width(), work.height()});
    setGeometry(QRect(placed.left, placed.top, placed.width, placed.height) - frame);
}

void HelpWindow::showContents() {
    tabs_->setCurrentIndex(kContentsTab);
    showPage(QString::fromLatin1(kHelpContentsPage));
    engine_->contentWidget()->setFocus();
}

void HelpWindow::showSearch() {
    tabs_->setCurrentIndex(kSearchTab);
    if (browser_->source().isEmpty()) {
        showPage(QString::fromLatin1(kHelpContentsPage));
    }
    searchInput_->setFocus();
    searchInput_->selectAll();
}

void HelpWindow::showPage(const QString& page) {
    browser_->setSource(HelpUrl(page));
}

QUrl HelpWindow::currentUrl() const {
    return browser_->source();
}

}  // namespace brenvale
