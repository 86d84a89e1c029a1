// The standard pop-ups: message box and file selection. Each waits in its own
// event loop, which keeps callbacks, deferred calls and scripts running.
#include <QAbstractProxyModel>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

#include "panel_window.h"
#include "popup_state.h"
#include "toolkit_state.h"

namespace tk {
namespace detail {

QAbstractProxyModel* russianFileColumns(QObject* parent);

namespace {

std::vector<OpenDialog*>& openDialogs() {
    static std::vector<OpenDialog*> v;
    return v;
}

std::vector<PopupRecord>& seen() {
    static std::vector<PopupRecord> v;
    return v;
}

QWidget* ownerWindow() {
    int p = activePanel();
    PanelRec* rec = findPanel(p);
    return rec ? rec->window.data() : nullptr;
}

void screenshotDialog(QDialog* d, const char* base) {
    if (state().screenshotDir.empty()) return;
    QPointer<QDialog> dialog(d);
    std::string name = base;
    QTimer::singleShot(0, d, [dialog, name] {
        if (!dialog || !dialog->isVisible()) return;
        int n = ++state().screenshotCounts[name];
        std::string file = name + (n > 1 ? "_" + std::to_string(n) : "") + ".png";
        dialog->grab().save(QDir(qs(state().screenshotDir)).filePath(qs(file)), "PNG");
    });
}

// Waits until the dialog is finished, answering events meanwhile.
void waitFor(OpenDialog& od) {
    openDialogs().push_back(&od);
    while (!od.done) waitEvents(0.02);
    openDialogs().pop_back();
}

}  // namespace

OpenDialog* openDialog() { return openDialogs().empty() ? nullptr : openDialogs().back(); }

void answerDialog(OpenDialog& od, int result, const std::string& path) {
    od.scripted = true;
    od.result = result;
    od.path = path;
    od.done = true;
    if (od.dialog) od.dialog->done(QDialog::Rejected);
}

}  // namespace detail

using namespace detail;

std::vector<PopupRecord> messagePopupsSeen() { return seen(); }

int messagePopup(std::string_view title, std::string_view text) {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    // The box bears exactly the title it is given; an empty one stays empty.
    QWidget* owner = ownerWindow();
    const QString caption = qs(title);
    QMessageBox box(QMessageBox::NoIcon, caption, qs(text), QMessageBox::Ok, owner);
    box.setObjectName("message");
    box.setWindowModality(Qt::ApplicationModal);
    OpenDialog od;
    od.kind = OpenDialog::Message;
    od.title = us(caption);
    od.text = std::string(text);
    od.dialog = &box;
    seen().push_back({od.title, od.text});
    QObject::connect(&box, &QDialog::finished, &box, [&od] { od.done = true; });
    box.show();
    showExactTitle(&box);
    screenshotDialog(&box, "message");
    waitFor(od);
    return OK;
}

int fileSelectPopup(const FileSelectOptions& o, std::string& path) {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    QString dir = o.directory.empty() ? QDir::currentPath() : qs(o.directory);
    QStringList filters;
    if (!o.filter.empty()) filters << qs(o.filter).replace(';', ' ');
    filters << QFileDialog::tr("All files (*)");
    QFileDialog dlg(ownerWindow(), qs(o.title), dir);
    dlg.setObjectName("fileselect");
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setProxyModel(russianFileColumns(&dlg));
    dlg.setOption(QFileDialog::ReadOnly, !o.allowMakeDirectory);
    dlg.setAcceptMode(o.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters(filters);
    if (!o.defaultFile.empty()) {
        QString pattern = qs(o.defaultFile);
        if (pattern.contains('*') || pattern.contains('?')) dlg.selectNameFilter(pattern);
        else dlg.selectFile(pattern);
    }
    if (!o.buttonLabel.empty()) dlg.setLabelText(QFileDialog::Accept, qs(o.buttonLabel));
    dlg.setWindowModality(Qt::ApplicationModal);
    // Wide enough, and the type and date columns as wide as their texts.
    dlg.resize(std::max(dlg.sizeHint().width(), 700), std::max(dlg.sizeHint().height(), 420));
    if (auto* view = dlg.findChild<QTreeView*>()) {
        view->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
        view->header()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    }

    OpenDialog od;
    od.kind = OpenDialog::File;
    od.title = o.title;
    od.dialog = &dlg;
    QObject::connect(&dlg, &QDialog::finished, &dlg, [&od](int r) {
        if (od.scripted) return;
        od.result = r == QDialog::Accepted ? FILE_SELECTED : NOTHING_SELECTED;
        od.done = true;
    });
    dlg.show();
    screenshotDialog(&dlg, "fileselect");
    waitFor(od);

    std::string chosen = od.path;
    if (!od.scripted && od.result != NOTHING_SELECTED) {
        QStringList files = dlg.selectedFiles();
        if (files.isEmpty()) return NOTHING_SELECTED;
        chosen = us(files.first());
    }
    if (od.result == NOTHING_SELECTED || chosen.empty()) return NOTHING_SELECTED;
    QFileInfo info(qs(chosen));
    path = us(info.absoluteFilePath());
    return info.exists() ? FILE_SELECTED : NEW_FILE_SELECTED;
}

}  // namespace tk
