#include "ui/help_search.h"

#include <QHelpEngineCore>
#include <QRegularExpression>
#include <QTextDocumentFragment>

#include <algorithm>

#include "ui/help_pages.h"

namespace brenvale {

namespace {

QString TitleOf(const QString& html, const QUrl& url) {
    static const QRegularExpression title(
        QStringLiteral("<title>(.*?)</title>"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch match = title.match(html);
    return match.hasMatch() ? QTextDocumentFragment::fromHtml(match.captured(1)).toPlainText()
                            : url.fileName();
}

int CountOf(const QString& text, const QString& word) {
    int count = 0;
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + word.size())) {
        ++count;
    }
    return count;
}

}  // namespace

QString HelpSearch::NormalizedText(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

void HelpSearch::load() {
    loaded_ = true;
    const QList<QUrl> files =
        engine_.files(QString::fromLatin1(kHelpNamespace), QString(), QStringLiteral("html"));
    for (const QUrl& url : files) {
        QString html = QString::fromUtf8(engine_.fileData(url));
        QString text = QTextDocumentFragment::fromHtml(html).toPlainText();
        pages_.append({url, TitleOf(html, url), NormalizedText(text)});
    }
    std::sort(pages_.begin(), pages_.end(),
              [](const Page& a, const Page& b) { return a.url.path() < b.url.path(); });
}

QList<HelpHit> HelpSearch::find(const QString& query) {
    const QStringList words =
        NormalizedText(query).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        return {};
    }
    if (!loaded_) {
        load();
    }
    QList<HelpHit> hits;
    for (const Page& page : pages_) {
        int total = 0;
        for (const QString& word : words) {
            int count = CountOf(page.text, word);
            if (count == 0) {
                total = 0;
                break;
            }
            total += count;
        }
        if (total > 0) {
            hits.append({page.url, page.title, total});
        }
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const HelpHit& a, const HelpHit& b) { return a.count > b.count; });
    return hits;
}

}  // namespace brenvale
