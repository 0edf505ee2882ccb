#include "ui/images.h"

#include <QIcon>

#include "document/model.h"
#include "editor/icon_menu.h"

// The pictures are compiled into the program; a static library has to pull them in itself.
static void InitResources() {
    Q_INIT_RESOURCE(resources);
}

namespace brenvale {

namespace {

QPixmap Load(const QString& path) {
    QPixmap pixmap(path);
    return pixmap.isNull() ? pixmap : pixmap.scaled(16, 16, Qt::KeepAspectRatio);
}

}  // namespace

ImageLists::ImageLists() {
    InitResources();
    for (int i = 0; i < kBuiltInBarImages; ++i) {
        bar_.push_back(Load(QStringLiteral(":/bar/%1.png").arg(i, 2, 10, QLatin1Char('0'))));
    }
    for (int i = 0; i < kBuiltInTopicImages; ++i) {
        topic_.push_back(Load(QStringLiteral(":/tree/%1.png").arg(i)));
    }
}

bool ImageLists::addUserIcon(const QString& file) {
    QPixmap pixmap = QIcon(file).pixmap(16, 16);
    if (pixmap.isNull()) {
        return false;
    }
    topic_.push_back(pixmap);
    bar_.push_back(pixmap);
    topicIcons_.clear();
    return true;
}

int ImageLists::userIconCount() const {
    return static_cast<int>(topic_.size()) - kBuiltInTopicImages;
}

QIcon ImageLists::barIcon(int index) const {
    return index >= 0 && index < bar_.size() ? QIcon(bar_[index]) : QIcon();
}

QPixmap ImageLists::topicPixmap(int index) const {
    return index >= 0 && index < topic_.size() ? topic_[index] : QPixmap();
}

QIcon ImageLists::topicIcon(int icon) const {
    if (icon < 0 || icon >= topic_.size()) {
        icon = kIconMissing;
    }
    if (topicIcons_.isEmpty()) {
        for (int i = 0; i < topic_.size(); ++i) {
            QIcon combined;
            combined.addPixmap(topic_[i], QIcon::Normal);
            combined.addPixmap(topic_[i == 0 ? 1 : i], QIcon::Selected);
            topicIcons_.push_back(combined);
        }
    }
    return topicIcons_[icon];
}

}  // namespace brenvale
