#pragma once

#include <QList>
#include <QString>
#include <QUrl>

class QHelpEngineCore;

namespace brenvale {

// One page that holds every word of a search.
struct HelpHit {
    QUrl url;
    QString title;
    int count = 0;  // how often the words occur on the page
};

// Full-text search over the pages of the help collection. Japanese text has no spaces
// between words, so a word is found wherever it occurs in a page's text, not only where a
// word index would have cut it out. Full-width and half-width forms and letter case count
// as the same. The pages' texts are read once, at the first search.
class HelpSearch {
public:
    explicit HelpSearch(QHelpEngineCore& engine) : engine_(engine) {}

    // The pages holding every blank-separated word of query, most occurrences first, then
    // in page order. An empty query finds nothing.
    QList<HelpHit> find(const QString& query);

    // The text of a page as the search sees it.
    static QString NormalizedText(const QString& text);

private:
    struct Page {
        QUrl url;
        QString title;
        QString text;
    };
    void load();

    QHelpEngineCore& engine_;
    QList<Page> pages_;
    bool loaded_ = false;
};

}  // namespace brenvale
