// full_carrier_picture OUT.png MP1.png MP2.png MP3.png MP4.png SP1.png SP2.png SP3.png SP4.png
//
// The documentation's picture of four soft front panels of one carrier at
// work: their main panels as the plug-in places them on the screen, each 20
// pixels right of and below the one of the position before (position 4 on
// top, opened last), and beside them the four strip charts, two by two at
// half size, position 1 top left, each under the name of its module.
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kGap = 12;
constexpr int kSlotShift = 20;  // pixels a main panel moves for each position
constexpr int kCaption = 18;    // height of a chart's caption

}  // namespace

int main(int argc, char** argv) {
    if (argc != 10) {
        std::fprintf(stderr,
                     "usage: full_carrier_picture OUT.png MP1.png MP2.png MP3.png MP4.png "
                     "SP1.png SP2.png SP3.png SP4.png\n");
        return 2;
    }
    QGuiApplication app(argc, argv);  // the captions need its fonts
    std::vector<QImage> images;
    for (int i = 2; i < argc; ++i) {
        QImage image(QString::fromLocal8Bit(argv[i]));
        if (image.isNull()) {
            std::fprintf(stderr, "full_carrier_picture: cannot read %s\n", argv[i]);
            return 1;
        }
        images.push_back(image);
    }
    // Main panels: where the plug-in puts them, relative to position 1's.
    int panelsWidth = 0, panelsHeight = 0;
    for (int k = 0; k < 4; ++k) {
        panelsWidth = std::max(panelsWidth, k * kSlotShift + images[k].width());
        panelsHeight = std::max(panelsHeight, k * kSlotShift + images[k].height());
    }
    // Charts: two by two at half size.
    int cellWidth = 0, cellHeight = 0;
    for (int k = 4; k < 8; ++k) {
        cellWidth = std::max(cellWidth, images[k].width() / 2);
        cellHeight = std::max(cellHeight, kCaption + images[k].height() / 2);
    }
    const int chartsLeft = kGap + panelsWidth + 2 * kGap;
    const int width = chartsLeft + 2 * cellWidth + 2 * kGap;
    const int height = std::max(panelsHeight, 2 * cellHeight + kGap) + 2 * kGap;

    QImage out(width, height, QImage::Format_RGB32);
    out.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int k = 0; k < 4; ++k) painter.drawImage(kGap + k * kSlotShift, kGap + k * kSlotShift, images[k]);
    for (int k = 0; k < 4; ++k) {
        const QImage& chart = images[4 + k];
        const int left = chartsLeft + (k % 2) * (cellWidth + kGap);
        const int top = kGap + (k / 2) * (cellHeight + kGap);
        painter.drawText(QRect(left, top, cellWidth, kCaption), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8("График, М-Модуль %1").arg(k + 1));
        painter.drawImage(QRect(left, top + kCaption, chart.width() / 2, chart.height() / 2), chart);
    }
    painter.end();
    if (!out.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "full_carrier_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
