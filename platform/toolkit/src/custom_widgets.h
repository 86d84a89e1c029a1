// Widgets the standard set lacks: the LED lamp, the strip chart, the
// placeholder picture, a list box that tells highlighting from choosing, and
// a text box that takes lines faster than they can be drawn.
#pragma once

#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

#include <paneltk/panel_resource.h>

namespace tk::detail {

class LedWidget : public QWidget {
public:
    explicit LedWidget(QWidget* parent);
    void setOn(bool on);
    bool isOn() const { return on_; }
    void setOnColor(int rgb);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool on_ = false;
    int onColor_ = 0x00D000;
};

class PictureWidget : public QWidget {
public:
    explicit PictureWidget(QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
};

// Traces scroll from right to left; only the last pointsPerScreen points of
// each trace are kept. A plot only schedules a repaint, and repaints come at
// most every 40 ms, so however fast data arrives the chart costs a few tens
// of paints a second. Stepped traces are drawn from their changes only.
class StripChartWidget : public QWidget {
public:
    StripChartWidget(const StripChartDef& def, QWidget* parent);

    int traces() const { return traces_; }
    int pointsPerScreen() const { return points_; }
    void setPointsPerScreen(int points);
    double yMin() const { return yMin_; }
    double yMax() const { return yMax_; }
    void setYRange(double min, double max);

    // values interleaved one per trace; count is a multiple of traces().
    void plot(const double* values, int count);
    void clear();
    std::vector<double> tracePoints(int trace) const;  // 1-based, oldest first

    void setTraceColor(int trace, int rgb);
    int traceColor(int trace) const;
    void setTraceVisible(int trace, bool visible);
    bool traceVisible(int trace) const;
    long long paintCount() const { return paints_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    double at(int trace, int i) const;  // i-th stored point of a 0-based trace, oldest first
    void scheduleRepaint();
    void drawLabels(QPainter& p, const QRectF& area, int rightMargin);

    int traces_;
    int points_;
    double yMin_, yMax_;
    std::vector<AxisLabelDef> labels_;
    std::vector<AxisLabelDef> rightLabels_;
    bool stepped_ = false;
    bool repaintPending_ = false;
    QElapsedTimer sinceRepaint_;
    std::vector<int> colors_;
    std::vector<bool> visible_;
    std::vector<double> data_;  // traces_ rings of points_ values
    int head_ = 0;              // next slot to write
    int stored_ = 0;            // points held per trace
    long long paints_ = 0;
};

// A list whose operator actions come out as the toolkit's events: moving the
// highlight (a click, the arrow keys) is EVENT_VAL_CHANGED, Enter is
// EVENT_COMMIT, a double-click on an item EVENT_LEFT_DOUBLE_CLICK; each with
// the item's 0-based row. The program's own changes of the highlight raise
// nothing.
class ListBoxWidget : public QListWidget {
public:
    using Notify = std::function<void(int event, int row)>;
    ListBoxWidget(QWidget* parent, Notify notify);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    template <class Handle>
    void byOperator(Handle handle) {
        ++operatorActing_;
        handle();
        --operatorActing_;
    }

    Notify notify_;
    int operatorActing_ = 0;  // inside an operator's mouse or key event
};

// A text box whose lines appended at its end, and its clearing, wait up to
// 0.1 s before they reach the document (and so the screen); whatever else
// reads or changes the box first takes in what waits. A list that gets a
// portion of lines after another, and is cleared before each, thus only
// puts into the document what could be seen: inserting a line costs the
// document more than a microsecond, every portion cleared unseen is spared.
// Its number of lines is known without taking anything in.
class TextBoxWidget : public QPlainTextEdit {
public:
    explicit TextBoxWidget(QWidget* parent);

    // Lines (text may hold several) after the last one.
    void appendLater(const QString& text);
    void clearLater();
    // Lines of the box, counting those that wait.
    int lines() const;
    // The document as appended and cleared so far.
    void takePending();
    // Forgets what waits, for a new content of the whole box.
    void dropPending();

private:
    QTimer timer_;
    bool replace_ = false;   // the document's present lines are gone
    QString pending_;        // appended lines, joined by line feeds
    int pendingBreaks_ = 0;  // line feeds in pending_
};

}  // namespace tk::detail
