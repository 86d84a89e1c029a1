// What tests of the panels need to act on the real widgets as an operator
// does: finding a shown window, noting what a widget painted, and answering
// the next file dialog by typing a name and clicking its accept button.
// Header only; for test programs that link Qt6::Widgets and Qt6::Test.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QObject>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace operator_widgets {

// The visible top-level window with this object name (a panel's constant,
// "message", "fileselect"), or null.
inline QWidget* shownWindow(const char* objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QLatin1String(objectName)) return w;
    return nullptr;
}

// Notes what a line edit or a label showed each time it was painted, and
// whether the widget was enabled then.
class PaintRecorder : public QObject {
public:
    struct Paint {
        QString text;
        bool enabled;
    };
    explicit PaintRecorder(QWidget* w) : QObject(w) { w->installEventFilter(this); }
    std::vector<Paint> paints;
    bool painted(const QString& text) const {
        for (const Paint& p : paints)
            if (p.text == text) return true;
        return false;
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            auto* w = static_cast<QWidget*>(o);
            QString text;
            if (auto* edit = qobject_cast<QLineEdit*>(o)) text = edit->text();
            else if (auto* label = qobject_cast<QLabel*>(o)) text = label->text();
            else if (auto* button = qobject_cast<QAbstractButton*>(o)) text = button->text();
            paints.push_back({text, w->isEnabled()});
        }
        return QObject::eventFilter(o, e);
    }
};

// How the answer to a file dialog went.
struct FileDialogAnswer {
    bool typed = false;  // the name was typed and the accept button clicked
    bool asked = false;  // a question came up after that (the dialog was given up)
};

// Answers the next file dialog the program shows, from inside its wait: types
// name into the name field (a name in the dialog's folder), closes the
// completion list as Escape does, and clicks the accept button. Should a
// question come up instead of the dialog closing, it is noted and the
// dialog is cancelled after giveUpMs, so a test fails instead of hanging.
inline std::shared_ptr<FileDialogAnswer> answerNextFileDialog(const QString& name, int giveUpMs = 1500) {
    auto answer = std::make_shared<FileDialogAnswer>();
    QTimer::singleShot(0, [answer, name, giveUpMs] {
        auto* dialog = qobject_cast<QFileDialog*>(shownWindow("fileselect"));
        auto* field = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        auto* buttons = dialog ? dialog->findChild<QDialogButtonBox*>() : nullptr;
        if (!field || !buttons) return;
        // Bound to the dialog: gone with it when it closes as it should.
        QTimer::singleShot(giveUpMs, dialog, [answer, dialog] {
            for (QMessageBox* box : dialog->findChildren<QMessageBox*>())
                if (box->isVisible()) {
                    answer->asked = true;
                    box->reject();
                }
            dialog->reject();
        });
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, name);
        if (QWidget* completion = QApplication::activePopupWidget()) QTest::keyClick(completion, Qt::Key_Escape);
        for (QAbstractButton* b : buttons->buttons())
            if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole) QTest::mouseClick(b, Qt::LeftButton);
        answer->typed = true;
    });
    return answer;
}

}  // namespace operator_widgets
