#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QVector>

namespace brenvale {

// The two picture lists of the main window: the command images (42 built in, then the user
// icons) and the topic images (8 built in, then the user icons).
class ImageLists {
public:
    ImageLists();

    // Adds a user icon file to both lists; false when it cannot be read.
    bool addUserIcon(const QString& file);

    QIcon barIcon(int index) const;
    // A topic's icon: its normal image, and the selected image shown while it is selected.
    QIcon topicIcon(int icon) const;
    QPixmap topicPixmap(int index) const;
    int topicImageCount() const { return static_cast<int>(topic_.size()); }
    int userIconCount() const;

private:
    QVector<QPixmap> bar_;
    QVector<QPixmap> topic_;
    mutable QVector<QIcon> topicIcons_;
};

}  // namespace brenvale
