// The window of a panel: a top-level widget (or a tab page) with an optional
// menu bar above a content area in which controls sit at fixed positions.
// The close box never closes it by itself; it tells the toolkit.
#pragma once

#include <QWidget>

class QMenuBar;

namespace tk::detail {

class PanelWindow : public QWidget {
public:
    PanelWindow(int handle, QWidget* parent, bool page);

    QWidget* content() const { return content_; }
    void setMenuBar(QMenuBar* bar);
    QMenuBar* menuBar() const { return bar_; }
    int menuBarHeight() const;
    // Resizes the window so that the content area gets this size.
    void setContentSize(int height, int width);
    // While set, resizes send no EVENT_PANEL_SIZE (the toolkit's own resizes).
    void setQuietResize(bool quiet) { quiet_ = quiet; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeChildren();

    int handle_;
    QWidget* content_;
    QMenuBar* bar_ = nullptr;
    bool quiet_ = false;
};

}  // namespace tk::detail
