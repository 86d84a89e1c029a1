// What a picture control shows: a drawn emblem of a 32-channel input
// connector (two rows of sixteen contacts in a D-shaped shell on the module's
// blue), sized to the control, so that panels need no image files.
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tk::detail {

void drawConnectorEmblem(QPainter& p, const QRect& area) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5);
    const double side = std::min(r.width(), r.height());
    p.setPen(QPen(QColor(0x20, 0x28, 0x50), 1));
    p.setBrush(QColor(0x2E, 0x4A, 0x8C));
    p.drawRoundedRect(r, side * 0.12, side * 0.12);

    // The shell: wider at the top than at the bottom, as a D-sub connector.
    const double shellW = r.width() * 0.84, shellH = std::min(r.height() * 0.56, shellW * 0.45);
    const QPointF c = r.center();
    const double top = c.y() - shellH / 2, bottom = c.y() + shellH / 2, slant = shellW * 0.07;
    QPainterPath shell;
    shell.moveTo(c.x() - shellW / 2, top);
    shell.lineTo(c.x() + shellW / 2, top);
    shell.lineTo(c.x() + shellW / 2 - slant, bottom);
    shell.lineTo(c.x() - shellW / 2 + slant, bottom);
    shell.closeSubpath();
    p.setPen(QPen(QColor(0x50, 0x50, 0x58), std::max(1.0, side / 40)));
    p.setBrush(QColor(0xD8, 0xDA, 0xE0));
    p.drawPath(shell);

    // Two rows of contacts; on a small control every other one is left out.
    const int perRow = shellW / 16 >= 2.5 ? 16 : 8;
    const double pitch = (shellW - 2 * slant - shellH * 0.3) / perRow;
    const double radius = std::max(0.6, pitch * 0.3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB0, 0x8A, 0x20));
    for (int row = 0; row < 2; ++row) {
        const double y = top + shellH * (row == 0 ? 0.33 : 0.67);
        const double rowStart = c.x() - pitch * (perRow - 1) / 2 + (row == 0 ? 0 : pitch * 0.25);
        for (int k = 0; k < perRow; ++k) p.drawEllipse(QPointF(rowStart + k * pitch, y), radius, radius);
    }
    p.restore();
}

}  // namespace tk::detail
