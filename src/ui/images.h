#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace brenvale {

// A picture of the program's resources with its renderings for scaled screens
// (NAME@1.5x.png, NAME@2x.png, NAME@3x.png beside NAME.png): the icon takes the one that
// fits the screen's device pixel ratio, so no picture is an enlarged bitmap.
QIcon ScaledResourceIcon(const QString& path);

// The application icon (name "mainicon") or the document icon ("myicon") in every size.
QIcon ApplicationIcon(const QString& name);

// A resource picture of `size` logical pixels for a screen of device pixel ratio `ratio`.
QPixmap ScaledResourcePixmap(const QString& path, QSize size, qreal ratio);

// The two picture lists of the main window: the command images (built in, then the user
// icons) and the topic images (8 built in, then the user icons).
class ImageLists {
public:
    ImageLists();

    // Adds a user icon file to both lists; false when it cannot be read. Every size the file
    // holds is kept, so a scaled screen gets its larger pictures.
    bool addUserIcon(const QString& file);

    QIcon barIcon(int index) const;
    // A topic's icon: its normal image, and the selected image shown while it is selected.
    QIcon topicIcon(int icon) const;
    // One topic image at every scale, and its 16-pixel picture for an unscaled screen.
    QIcon topicImage(int index) const;
    QPixmap topicPixmap(int index) const;
    int topicImageCount() const { return static_cast<int>(topic_.size()); }
    int userIconCount() const;

private:
    QVector<QIcon> bar_;
    QVector<QIcon> topic_;
    QVector<QStringList> topicFiles_;  // the files each topic image was read from
    mutable QVector<QIcon> topicIcons_;
};

}  // namespace brenvale
