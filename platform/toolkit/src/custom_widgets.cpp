#include "custom_widgets.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <algorithm>

#include <paneltk/runtime.h>

namespace tk::detail {
namespace {
QColor rgbColor(int rgb) { return QColor::fromRgb(QRgb(unsigned(rgb) | 0xFF000000u)); }
}  // namespace

LedWidget::LedWidget(QWidget* parent) : QWidget(parent) {}

void LedWidget::setOn(bool on) {
    if (on_ == on) return;
    on_ = on;
    update();
}

void LedWidget::setOnColor(int rgb) {
    onColor_ = rgb;
    update();
}

void LedWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    int d = std::min(width(), height()) - 2;
    QRectF r(1, 1, d, d);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(on_ ? rgbColor(onColor_) : QColor(0x40, 0x40, 0x40));
    p.drawEllipse(r);
}

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {}

void drawConnectorEmblem(QPainter& p, const QRect& area);  // picture_emblem.cpp

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawConnectorEmblem(p, rect());
}

StripChartWidget::StripChartWidget(const StripChartDef& def, QWidget* parent)
    : QWidget(parent),
      traces_(std::max(1, def.traces)),
      points_(std::max(2, def.pointsPerScreen)),
      yMin_(def.yMin),
      yMax_(def.yMax > def.yMin ? def.yMax : def.yMin + 1),
      labels_(def.yLabels),
      rightLabels_(def.rightLabels),
      stepped_(def.stepped) {
    for (int t = 0; t < traces_; ++t) {
        colors_.push_back(t < int(def.traceColors.size()) ? int(def.traceColors[size_t(t)]) : 0);
        visible_.push_back(true);
    }
    data_.assign(size_t(traces_) * size_t(points_), 0.0);
    setAutoFillBackground(false);
}

void StripChartWidget::setPointsPerScreen(int points) {
    points_ = std::max(2, points);
    data_.assign(size_t(traces_) * size_t(points_), 0.0);
    head_ = stored_ = 0;
    update();
}

void StripChartWidget::setYRange(double min, double max) {
    if (!(max > min)) return;
    yMin_ = min;
    yMax_ = max;
    update();
}

void StripChartWidget::plot(const double* values, int count) {
    int frames = count / traces_;
    int skip = std::max(0, frames - points_);  // older points would scroll off at once
    for (int f = skip; f < frames; ++f) {
        const double* frame = values + size_t(f) * size_t(traces_);
        for (int t = 0; t < traces_; ++t) data_[size_t(t) * size_t(points_) + size_t(head_)] = frame[t];
        head_ = (head_ + 1) % points_;
        stored_ = std::min(stored_ + 1, points_);
    }
    if (frames > 0) scheduleRepaint();
}

void StripChartWidget::clear() {
    head_ = stored_ = 0;
    scheduleRepaint();
}

void StripChartWidget::scheduleRepaint() {
    constexpr qint64 kMinInterval = 40;  // ms: at most 25 paints a second
    if (repaintPending_) return;
    repaintPending_ = true;
    const qint64 since = sinceRepaint_.isValid() ? sinceRepaint_.elapsed() : kMinInterval;
    const int wait = int(std::max<qint64>(0, kMinInterval - since));
    QTimer::singleShot(wait, this, [this] {
        repaintPending_ = false;
        update();
    });
}

double StripChartWidget::at(int trace, int i) const {
    int first = (head_ - stored_ + points_) % points_;
    return data_[size_t(trace) * size_t(points_) + size_t((first + i) % points_)];
}

std::vector<double> StripChartWidget::tracePoints(int trace) const {
    std::vector<double> out;
    if (trace < 1 || trace > traces_) return out;
    for (int i = 0; i < stored_; ++i) out.push_back(at(trace - 1, i));
    return out;
}

void StripChartWidget::setTraceColor(int trace, int rgb) {
    if (trace < 1 || trace > traces_) return;
    colors_[size_t(trace - 1)] = rgb;
    update();
}

int StripChartWidget::traceColor(int trace) const {
    return (trace < 1 || trace > traces_) ? 0 : colors_[size_t(trace - 1)];
}

void StripChartWidget::setTraceVisible(int trace, bool visible) {
    if (trace < 1 || trace > traces_) return;
    visible_[size_t(trace - 1)] = visible;
    update();
}

bool StripChartWidget::traceVisible(int trace) const {
    return trace >= 1 && trace <= traces_ && visible_[size_t(trace - 1)];
}

void StripChartWidget::drawLabels(QPainter& p, const QRectF& area, int rightMargin) {
    auto yOf = [&](double v) { return area.bottom() - (v - yMin_) / (yMax_ - yMin_) * area.height(); };
    const double left = area.left();
    p.setPen(Qt::black);
    if (labels_.empty()) {
        p.drawText(QRectF(0, yOf(yMax_) - 8, left - 4, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(yMax_));
        p.drawText(QRectF(0, yOf(yMin_) - 8, left - 4, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(yMin_));
    } else {
        for (const auto& l : labels_)
            p.drawText(QRectF(0, yOf(l.at) - 8, left - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                       QString::fromStdString(l.text));
    }
    if (rightLabels_.empty()) return;
    QFont small = p.font();
    small.setPointSizeF(std::max(5.0, small.pointSizeF() * 0.7));
    p.save();
    p.setFont(small);
    p.setPen(QColor(0x40, 0x40, 0x40));
    for (const auto& l : rightLabels_)
        p.drawText(QRectF(area.right() + 2, yOf(l.at) - 7, rightMargin - 3, 14), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(l.text));
    p.restore();
}

void StripChartWidget::paintEvent(QPaintEvent*) {
    ++paints_;
    sinceRepaint_.start();
    QPainter p(this);
    p.fillRect(rect(), QColor(0xF4, 0xF4, 0xF4));
    const int left = 30, top = 6, bottom = 6;
    const int right = rightLabels_.empty() ? 6 : 22;
    QRectF area(left, top, std::max(1, width() - left - right), std::max(1, height() - top - bottom));
    p.fillRect(area, Qt::white);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(area);
    drawLabels(p, area, right);
    if (stored_ < 1) return;

    auto yOf = [&](double v) { return area.bottom() - (v - yMin_) / (yMax_ - yMin_) * area.height(); };
    p.setClipRect(area);
    const double dx = area.width() / double(points_ - 1);
    const double x0 = area.right() - dx * (stored_ - 1);  // newest point at the right edge
    for (int t = 0; t < traces_; ++t) {
        if (!visible_[size_t(t)]) continue;
        QPolygonF line;
        if (stepped_) {
            // A digital trace is drawn from its changes: level, then a step.
            double level = at(t, 0);
            line << QPointF(x0, yOf(level));
            for (int i = 1; i < stored_; ++i) {
                const double v = at(t, i);
                if (v == level) continue;
                const double x = x0 + dx * i;
                line << QPointF(x, yOf(level)) << QPointF(x, yOf(v));
                level = v;
            }
            line << QPointF(x0 + dx * (stored_ - 1), yOf(level));
        } else {
            line.reserve(stored_);
            for (int i = 0; i < stored_; ++i) line << QPointF(x0 + dx * i, yOf(at(t, i)));
        }
        p.setPen(QPen(rgbColor(colors_[size_t(t)]), 1));
        p.drawPolyline(line);
    }
}

ListBoxWidget::ListBoxWidget(QWidget* parent, Notify notify) : QListWidget(parent), notify_(std::move(notify)) {
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (operatorActing_ > 0 && row >= 0) notify_(EVENT_VAL_CHANGED, row);
    });
}

void ListBoxWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (currentRow() >= 0) notify_(EVENT_COMMIT, currentRow());
        event->accept();
        return;
    }
    byOperator([&] { QListWidget::keyPressEvent(event); });
}

void ListBoxWidget::mousePressEvent(QMouseEvent* event) {
    byOperator([&] { QListWidget::mousePressEvent(event); });
}

void ListBoxWidget::mouseMoveEvent(QMouseEvent* event) {
    byOperator([&] { QListWidget::mouseMoveEvent(event); });
}

void ListBoxWidget::mouseReleaseEvent(QMouseEvent* event) {
    byOperator([&] { QListWidget::mouseReleaseEvent(event); });
}

void ListBoxWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    byOperator([&] { QListWidget::mouseDoubleClickEvent(event); });
    if (QListWidgetItem* item = itemAt(event->position().toPoint())) notify_(EVENT_LEFT_DOUBLE_CLICK, row(item));
}

namespace {

// Lines of the document as the toolkit counts them: an empty box has none.
int documentLines(const QPlainTextEdit& box) {
    const QTextDocument* d = box.document();
    return d->blockCount() == 1 && d->isEmpty() ? 0 : d->blockCount();
}

// Line breaks the document makes of text.
int breaksIn(const QString& text) { return int(text.count(QChar('\n')) + text.count(QChar::ParagraphSeparator)); }

}  // namespace

TextBoxWidget::TextBoxWidget(QWidget* parent) : QPlainTextEdit(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(100);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { takePending(); });
}

void TextBoxWidget::appendLater(const QString& text) {
    if (lines() == 0) {
        // As on an empty box: the text becomes its whole content.
        replace_ = true;
        pending_ = text;
        pendingBreaks_ = breaksIn(text);
    } else {
        pending_ += QChar('\n');
        pending_ += text;
        pendingBreaks_ += 1 + breaksIn(text);
    }
    if (!timer_.isActive()) timer_.start();
}

void TextBoxWidget::clearLater() {
    replace_ = true;
    pending_.clear();
    pendingBreaks_ = 0;
    if (!timer_.isActive()) timer_.start();
}

int TextBoxWidget::lines() const {
    if (replace_) return pending_.isEmpty() ? 0 : pendingBreaks_ + 1;
    return documentLines(*this) + pendingBreaks_;
}

void TextBoxWidget::takePending() {
    timer_.stop();
    if (!replace_ && pending_.isEmpty()) return;
    if (replace_) {
        if (pending_.isEmpty()) {
            clear();
        } else {
            setPlainText(pending_);
        }
    } else {
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        end.insertText(pending_);  // starts with the line feed after the last line
    }
    dropPending();
}

void TextBoxWidget::dropPending() {
    timer_.stop();
    replace_ = false;
    pending_.clear();
    pendingBreaks_ = 0;
}

}  // namespace tk::detail
