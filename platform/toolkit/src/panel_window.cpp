#include "panel_window.h"

#include <QCloseEvent>
#include <QMenuBar>

#include "toolkit_state.h"

namespace tk::detail {

PanelWindow::PanelWindow(int handle, QWidget* parent, bool page)
    : QWidget(parent, page ? Qt::Widget : Qt::Window), handle_(handle), content_(new QWidget(this)) {
    content_->setObjectName("content");
    content_->setAutoFillBackground(true);
}

void PanelWindow::setMenuBar(QMenuBar* bar) {
    bar_ = bar;
    if (bar_) {
        bar_->setParent(this);
        bar_->show();
    }
    placeChildren();
}

int PanelWindow::menuBarHeight() const { return bar_ ? bar_->sizeHint().height() : 0; }

void PanelWindow::setContentSize(int height, int width) {
    bool was = quiet_;
    quiet_ = true;
    resize(width, height + menuBarHeight());
    placeChildren();
    quiet_ = was;
}

void PanelWindow::placeChildren() {
    int mb = menuBarHeight();
    if (bar_) bar_->setGeometry(0, 0, width(), mb);
    content_->setGeometry(0, mb, width(), std::max(0, height() - mb));
}

void PanelWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    closeBoxPressed(handle_);
}

void PanelWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeChildren();
    if (!quiet_ && isVisible() && event->oldSize().isValid() && event->oldSize() != event->size())
        firePanel(handle_, EVENT_PANEL_SIZE);
}

}  // namespace tk::detail
