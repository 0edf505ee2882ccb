#include "ui/images.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>

#include "document/model.h"
#include "editor/icon_menu.h"
#include "ui/lazy_icon_engine.h"

// The pictures are compiled into the program; a static library has to pull them in itself.
static void InitResources() {
    Q_INIT_RESOURCE(resources);
}

namespace brenvale {

namespace {

// The scales resources/render.sh renders every picture at, besides 1x.
const char* const kScaleSuffixes[] = {"@1.5x", "@2x", "@3x"};

// The files of a resource picture: the 1x one and those for scaled screens.
QStringList ScaledResourceFiles(const QString& path) {
    InitResources();
    QStringList files;
    if (!QFile::exists(path)) {
        return files;
    }
    files << path;
    const QString base = path.chopped(4);  // without ".png"
    for (const char* suffix : kScaleSuffixes) {
        QString scaled = base + QLatin1String(suffix) + QStringLiteral(".png");
        if (QFile::exists(scaled)) {
            files << scaled;
        }
    }
    return files;
}

// An icon over picture files that reads them when it is first drawn or measured, not when it
// is made: the window holds some 400 pictures, and its first paint shows a few of them.
class LazyPictures : public LazyIconEngine {
public:
    explicit LazyPictures(QList<QPair<QString, QIcon::Mode>> files) : files_(std::move(files)) {}

    // Known without reading the files.
    bool isNull() override { return files_.isEmpty(); }
    QString key() const override { return QStringLiteral("brenvale-lazy-pictures"); }
    QIconEngine* clone() const override { return new LazyPictures(*this); }

private:
    QIcon make() override {
        QIcon icon;
        for (const auto& [file, mode] : files_) {
            // Read as the PNG it is: a reader left to guess the format loads every image
            // plugin first (JPEG, GIF, ICO and their libraries) to ask each of them.
            QImageReader reader(file, "png");
            reader.setAutoDetectImageFormat(false);
            QImage image;
            if (reader.read(&image)) {
                icon.addPixmap(QPixmap::fromImage(std::move(image)), mode);
            } else {
                icon.addFile(file, QSize(), mode);
            }
        }
        return icon;
    }

    QList<QPair<QString, QIcon::Mode>> files_;
};

QIcon LazyIcon(QList<QPair<QString, QIcon::Mode>> files) {
    return files.isEmpty() ? QIcon() : QIcon(new LazyPictures(std::move(files)));
}

QIcon IconOf(const QStringList& files) {
    QList<QPair<QString, QIcon::Mode>> normal;
    for (const QString& file : files) {
        normal.append({file, QIcon::Normal});
    }
    return LazyIcon(std::move(normal));
}

}  // namespace

QIcon ScaledResourceIcon(const QString& path) {
    return IconOf(ScaledResourceFiles(path));
}

QIcon ApplicationIcon(const QString& name) {
    InitResources();
    QStringList files;
    for (int size : {16, 24, 32, 48, 64, 96, 128, 256}) {
        QString file = QStringLiteral(":/app/%1-%2.png").arg(name).arg(size);
        if (QFile::exists(file)) {
            files << file;
        }
    }
    return IconOf(files);
}

QPixmap ScaledResourcePixmap(const QString& path, QSize size, qreal ratio) {
    return ScaledResourceIcon(path).pixmap(size, ratio);
}

ImageLists::ImageLists() {
    InitResources();
    for (int i = 0; i < kBuiltInBarImages; ++i) {
        bar_.push_back(
            ScaledResourceIcon(QStringLiteral(":/bar/%1.png").arg(i, 2, 10, QLatin1Char('0'))));
    }
    for (int i = 0; i < kBuiltInTopicImages; ++i) {
        topicFiles_.push_back(ScaledResourceFiles(QStringLiteral(":/tree/%1.png").arg(i)));
        topic_.push_back(IconOf(topicFiles_.back()));
    }
}

bool ImageLists::addUserIcon(const QString& file) {
    // An .ico holds several sizes: the icon keeps them all and draws the best one for the
    // size and scale asked.
    QIcon icon(file);
    if (icon.pixmap(16, 16).isNull()) {
        return false;
    }
    topicFiles_.push_back({file});
    topic_.push_back(icon);
    bar_.push_back(icon);
    topicIcons_.clear();
    return true;
}

int ImageLists::userIconCount() const {
    return static_cast<int>(topic_.size()) - kBuiltInTopicImages;
}

QIcon ImageLists::barIcon(int index) const {
    return index >= 0 && index < bar_.size() ? bar_[index] : QIcon();
}

QIcon ImageLists::topicImage(int index) const {
    return index >= 0 && index < topic_.size() ? topic_[index] : QIcon();
}

QPixmap ImageLists::topicPixmap(int index) const {
    return topicImage(index).pixmap(QSize(16, 16), 1.0);
}

QIcon ImageLists::topicIcon(int icon) const {
    if (icon < 0 || icon >= topic_.size()) {
        icon = kIconMissing;
    }
    if (topicIcons_.isEmpty()) {
        for (int i = 0; i < topic_.size(); ++i) {
            QList<QPair<QString, QIcon::Mode>> files;
            for (const QString& file : topicFiles_[i]) {
                files.append({file, QIcon::Normal});
            }
            for (const QString& file : topicFiles_[i == 0 ? 1 : i]) {
                files.append({file, QIcon::Selected});
            }
            topicIcons_.push_back(LazyIcon(std::move(files)));
        }
    }
    return topicIcons_[icon];
}

}  // namespace brenvale
