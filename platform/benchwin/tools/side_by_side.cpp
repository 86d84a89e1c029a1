// side_by_side OUT.png IN1.png IN2.png ...: puts screenshots next to each
// other, tops aligned, on a light grey ground, for the documentation's
// pictures of two windows of one run.
#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: side_by_side OUT.png IN.png...\n");
        return 2;
    }
    constexpr int kGap = 12;
    std::vector<QImage> images;
    int width = kGap, height = 0;
    for (int i = 2; i < argc; ++i) {
        QImage image(QString::fromLocal8Bit(argv[i]));
        if (image.isNull()) {
            std::fprintf(stderr, "side_by_side: cannot read %s\n", argv[i]);
            return 1;
        }
        width += image.width() + kGap;
        height = std::max(height, image.height());
        images.push_back(image);
    }
    QImage out(width, height + 2 * kGap, QImage::Format_RGB32);
    out.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&out);
    int left = kGap;
    for (const QImage& image : images) {
        painter.drawImage(left, kGap, image);
        left += image.width() + kGap;
    }
    painter.end();
    if (!out.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "side_by_side: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
