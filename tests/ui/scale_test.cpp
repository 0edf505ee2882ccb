// The pictures at the device pixel ratios of scaled screens.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "document/model.h"
#include "editor/icon_menu.h"
#include "support/main_window_test_access.h"
#include "support/temp_dir.h"
#include "ui/counter_panel.h"
#include "ui/images.h"
#include "ui/main_window.h"
#include "ui/test_window.h"
#include "ui/view_drag.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

QImage Rgba(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The file drawn for a ratio: NAME.png, NAME@1.5x.png, NAME@2x.png, NAME@3x.png.
QString ScaledFile(const QString& path, qreal ratio) {
    if (ratio == 1.0) {
        return path;
    }
    return path.chopped(4) + QStringLiteral("@%1x.png").arg(ratio);
}

// One icon image of `size` in `count` colours, as an .ico entry would hold it.
QImage Square(int size, QColor colour) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// An .ico file holding 32-bit pictures of the given sizes, smallest first.
QByteArray IcoFile(const QList<QImage>& images) {
    QByteArray header;
    QByteArray data;
    auto u16 = [](QByteArray& to, int v) {
        to.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    };
    auto u32 = [&](QByteArray& to, quint32 v) {
        u16(to, int(v & 0xFFFF));
        u16(to, int(v >> 16));
    };
    u16(header, 0);
    u16(header, 1);
    u16(header, int(images.size()));
    int offset = 6 + 16 * int(images.size());
    for (const QImage& image : images) {
        const int w = image.width();
        const int h = image.height();
        const int maskRow = ((w + 31) / 32) * 4;
        QByteArray dib;
        u32(dib, 40);
        u32(dib, quint32(w));
        u32(dib, quint32(h * 2));
        u16(dib, 1);
        u16(dib, 32);
        for (int i = 0; i < 6; ++i) {
            u32(dib, 0);
        }
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                QRgb p = image.pixel(x, y);
                dib.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p)));
                dib.append(char(qAlpha(p)));
            }
        }
        dib.append(QByteArray(maskRow * h, '\0'));
        header.append(char(w)).append(char(h)).append('\0').append('\0');
        u16(header, 1);
        u16(header, 32);
        u32(header, quint32(dib.size()));
        u32(header, quint32(offset));
        offset += int(dib.size());
        data += dib;
    }
    return header + data;
}

}  // namespace

class ScaleTest : public QObject {
    Q_OBJECT
private slots:
    void everyPictureIsDrawnForEveryScale();
    void aPictureAskedInAnyOrderDrawsAsOneReadWhole();
    void userIconsKeepEverySizeTheyHold();
    void theDragCursorAndTheApplicationIconFollowTheScale();
    void theCountersPaintTheirIconForTheScreen();
};

void ScaleTest::everyPictureIsDrawnForEveryScale() {
    ImageLists images;
    struct Picture {
        QIcon icon;
        QString file;
    };
    QList<Picture> pictures;
    for (int i = 0; i < kBuiltInBarImages; ++i) {
        pictures.push_back(
            {images.barIcon(i), QStringLiteral(":/bar/%1.png").arg(i, 2, 10, QLatin1Char('0'))});
    }
    for (int i = 0; i < kBuiltInTopicImages; ++i) {
        pictures.push_back({images.topicImage(i), QStringLiteral(":/tree/%1.png").arg(i)});
        // The tree shows both pictures of a topic icon; the selected one of the folder is 1.
        QIcon shown = images.topicIcon(i);
        QCOMPARE(Rgba(shown.pixmap(QSize(16, 16), 2.0, QIcon::Normal).toImage()),
                 Rgba(QImage(ScaledFile(pictures.back().file, 2.0))));
        const QString selected = QStringLiteral(":/tree/%1.png").arg(i == 0 ? 1 : i);
        QCOMPARE(Rgba(shown.pixmap(QSize(16, 16), 2.0, QIcon::Selected).toImage()),
                 Rgba(QImage(ScaledFile(selected, 2.0))));
    }
    for (const Picture& picture : pictures) {
        for (qreal ratio : {1.0, 1.5, 2.0, 3.0}) {
            // The pixels of the rendering made for the ratio, untouched: no picture is an
            // enlarged or resampled bitmap, and the 1x one is the picture as it always was.
            QPixmap pixmap = picture.icon.pixmap(QSize(16, 16), ratio);
            QImage drawn(ScaledFile(picture.file, ratio));
            QVERIFY2(!drawn.isNull(), qPrintable(ScaledFile(picture.file, ratio)));
            QCOMPARE(pixmap.size(), QSize(16, 16) * ratio);
            QCOMPARE(pixmap.devicePixelRatio(), ratio);
            QVERIFY2(Rgba(pixmap.toImage()) == Rgba(drawn),
                     qPrintable(picture.file + QStringLiteral(" at %1").arg(ratio)));
            QImage image = Rgba(pixmap.toImage());
            bool painted = false;
            for (int y = 0; y < image.height() && !painted; ++y) {
                for (int x = 0; x < image.width() && !painted; ++x) {
                    painted = qAlpha(image.pixel(x, y)) != 0;
                }
            }
            QVERIFY2(painted, qPrintable(picture.file));
        }
    }
}

// At scale 1 a picture reads only its 1x file until a question needs more: whatever comes
// first (a small size, its own, a larger one, a scaled painter, the sizes it has), each answer
// is the one an icon holding every rendering gives.
void ScaleTest::aPictureAskedInAnyOrderDrawsAsOneReadWhole() {
    const QString file = QStringLiteral(":/bar/07.png");
    QIcon whole;
    for (qreal ratio : {1.0, 1.5, 2.0, 3.0}) {
        whole.addPixmap(QPixmap::fromImage(QImage(ScaledFile(file, ratio))));
    }
    const QList<QSize> sizes = {{16, 16}, {12, 12}, {24, 24}, {32, 32}, {48, 48}, {16, 16}};
    for (qsizetype first = 0; first < sizes.size(); ++first) {
        ImageLists images;
        QIcon icon = images.barIcon(7);
        QCOMPARE(icon.actualSize(sizes[first]), whole.actualSize(sizes[first]));
        for (qsizetype k = 0; k < sizes.size(); ++k) {
            QSize size = sizes[(first + k) % sizes.size()];
            QVERIFY2(
                Rgba(icon.pixmap(size, 1.0).toImage()) == Rgba(whole.pixmap(size, 1.0).toImage()),
                qPrintable(QStringLiteral("%1 px after %2 px")
                               .arg(size.width())
                               .arg(sizes[first].width())));
        }
    }
    ImageLists images;
    QIcon icon = images.barIcon(7);
    QCOMPARE(Rgba(icon.pixmap(QSize(16, 16), 1.0).toImage()), Rgba(QImage(file)));
    // Painted on a device at scale 2: the 2x rendering, as the whole icon paints it.
    auto painted = [](const QIcon& i) {
        QImage canvas(32, 32, QImage::Format_ARGB32_Premultiplied);
        canvas.setDevicePixelRatio(2.0);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        i.paint(&painter, QRect(0, 0, 16, 16));
        return canvas;
    };
    QCOMPARE(painted(icon), painted(whole));
    QCOMPARE(icon.availableSizes(), whole.availableSizes());
}

void ScaleTest::userIconsKeepEverySizeTheyHold() {
    test::TempDir dir;
    const QString file = QString::fromStdString(dir.file("Icon01.ico"));
    {
        QFile ico(file);
        QVERIFY(ico.open(QIODevice::WriteOnly));
        ico.write(IcoFile({Square(16, Qt::red), Square(32, Qt::blue), Square(48, Qt::green)}));
    }
    ImageLists images;
    QVERIFY(images.addUserIcon(file));
    const int topic = kBuiltInTopicImages;
    const int bar = kBuiltInBarImages;
    // An unscaled screen shows the 16-pixel picture, a scaled one the larger ones.
    QCOMPARE(images.topicPixmap(topic).toImage().pixelColor(8, 8), QColor(Qt::red));
    QPixmap two = images.barIcon(bar).pixmap(QSize(16, 16), 2.0);
    QCOMPARE(two.size(), QSize(32, 32));
    QCOMPARE(two.toImage().pixelColor(16, 16), QColor(Qt::blue));
    QPixmap three = images.topicIcon(topic).pixmap(QSize(16, 16), 3.0, QIcon::Selected);
    QCOMPARE(three.size(), QSize(48, 48));
    QCOMPARE(three.toImage().pixelColor(24, 24), QColor(Qt::green));

    // A file that holds no picture is no icon.
    const QString broken = QString::fromStdString(dir.file("Icon02.ico"));
    test::WriteBytes(broken.toStdString(), "not an icon");
    QVERIFY(!images.addUserIcon(broken));
}

void ScaleTest::theDragCursorAndTheApplicationIconFollowTheScale() {
    for (qreal ratio : {1.0, 2.0, 3.0}) {
        // The arrow tip, the picture's top left pixel, is the cursor's centre.
        QPixmap cursor = DragCursor(ratio);
        const int arrow = qRound(32 * ratio);
        QCOMPARE(cursor.size(), QSize(arrow, arrow) * 2);
        QCOMPARE(cursor.devicePixelRatio(), ratio);
        QImage image = Rgba(cursor.toImage());
        QVERIFY(qAlpha(image.pixel(arrow, arrow)) != 0);
        QVERIFY(qAlpha(image.pixel(arrow - 1, arrow - 1)) == 0);
        QCOMPARE(image.copy(arrow, arrow, arrow, arrow),
                 Rgba(QImage(ScaledFile(QStringLiteral(":/cursor/crdrag.png"), ratio))));
    }
    for (const char* name : {"mainicon", "myicon"}) {
        QIcon icon = ApplicationIcon(QLatin1String(name));
        for (int size : {16, 32}) {
            for (qreal ratio : {1.0, 1.5, 2.0, 3.0}) {
                QPixmap pixmap = icon.pixmap(QSize(size, size), ratio);
                QCOMPARE(pixmap.size(), QSize(size, size) * ratio);
                // Drawn at that size, not scaled from another one.
                const QString file = QStringLiteral(":/app/%1-%2.png")
                                         .arg(QLatin1String(name))
                                         .arg(qRound(size * ratio));
                QVERIFY2(Rgba(pixmap.toImage()) == Rgba(QImage(file)), qPrintable(file));
            }
        }
    }
    // The 16-pixel icons keep their own pixel drawing at 1x.
    QCOMPARE(Rgba(ApplicationIcon(QStringLiteral("myicon")).pixmap(QSize(16, 16), 1.0).toImage()),
             Rgba(QImage(QStringLiteral(":/app/myicon-16.png"))));
}

void ScaleTest::theCountersPaintTheirIconForTheScreen() {
    test::TempDir dir;
    auto window = test::MakeWindow(dir);
    CounterPanel* panel = MainWindowTestAccess::treeCounter(*window);
    panel->resize(panel->sizeHint().width(), 20);
    // Painted for a screen of ratio 2, the icon at (P.Left + 2, P.Top) has twice the pixels.
    QPixmap shown(panel->size() * 2);
    shown.setDevicePixelRatio(2.0);
    shown.fill(Qt::transparent);
    panel->render(&shown);
    QImage icon = Rgba(shown.toImage()).copy(2 * 3, 2 * 1, 32, 32);
    icon.setDevicePixelRatio(1.0);
    QImage tree(QStringLiteral(":/tree/2@2x.png"));
    tree.setDevicePixelRatio(1.0);
    QImage expected(32, 32, QImage::Format_ARGB32_Premultiplied);
    expected.fill(QColor(181, 181, 192));
    {
        QPainter painter(&expected);
        painter.drawImage(0, 0, tree);
    }
    QCOMPARE(icon, expected);
}

BRENVALE_UI_TEST(ui_scale_tests, ScaleTest);

#include "scale_test.moc"
