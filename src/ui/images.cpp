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

// The scale a picture file was rendered for, from its name ("00@1.5x.png"); 1 without one.
qreal FileScale(const QString& file) {
    for (const char* suffix : kScaleSuffixes) {
        if (file.endsWith(QLatin1String(suffix) + QStringLiteral(".png"))) {
            return QByteArray(suffix + 1).chopped(1).toDouble();
        }
    }
    return 1.0;
}

// An icon over picture files that reads them when it is first drawn or measured, not when it
// is made: the window holds some 400 pictures, and its first paint shows a few of them. Of a
// picture rendered at several scales, a screen at scale 1 reads only the 1x file: drawn or
// measured at its own size or smaller, that file is the one the icon would choose. Any other
// question (a larger size, a scaled screen) reads them all, as if they had been read at once.
class LazyPictures : public LazyIconEngine {
public:
    explicit LazyPictures(QList<QPair<QString, QIcon::Mode>> files)
        : files_(std::move(files)), read_(files_.size(), false) {
        for (const auto& file : files_) {
            scaled_ = scaled_ || FileScale(file.first) != 1.0;
        }
    }

    // Known without reading the files.
    bool isNull() override { return files_.isEmpty(); }
    QString key() const override { return QStringLiteral("brenvale-lazy-pictures"); }
    QIconEngine* clone() const override { return new LazyPictures(*this); }

private:
    QIcon make() override { return iconFor(QSize(), 0); }

    const QIcon& iconFor(const QSize& logical, qreal ratio) override {
        if (!scaled_) {
            readWhere([](qreal) { return true; });
            return icon_;
        }
        readWhere([](qreal scale) { return scale == 1.0; });
        const bool within = logical.isValid() && baseSize_.isValid() &&
                            logical.width() <= baseSize_.width() &&
                            logical.height() <= baseSize_.height();
        if (!(within && ratio > 0 && ratio <= 1.0)) {
            readWhere([](qreal) { return true; });
        }
        return icon_;
    }

    // Reads, in their order, the files not read yet whose scale `wanted` takes.
    template <typename Wanted>
    void readWhere(Wanted wanted) {
        for (qsizetype i = 0; i < files_.size(); ++i) {
            const auto& [file, mode] = files_[i];
            if (read_[i] || !wanted(FileScale(file))) {
                continue;
            }
            read_[i] = true;
            // Read as the PNG it is: a reader left to guess the format loads every image
            // plugin first (JPEG, GIF, ICO and their libraries) to ask each of them.
            QImageReader reader(file, "png");
            reader.setAutoDetectImageFormat(false);
            QImage image;
            if (reader.read(&image)) {
                if (!baseSize_.isValid() && FileScale(file) == 1.0) {
                    baseSize_ = image.size();
                }
                icon_.addPixmap(QPixmap::fromImage(std::move(image)), mode);
            } else {
                icon_.addFile(file, QSize(), mode);
            }
        }
    }

    QList<QPair<QString, QIcon::Mode>> files_;
    QList<bool> read_;
    bool scaled_ = false;  // some file is rendered for a scaled screen
    QSize baseSize_;       // of the first 1x picture read
    QIcon icon_;
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
