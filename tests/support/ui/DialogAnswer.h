#pragma once
// Window tests: answering a modal dialog or message box that the code under
// test opens and runs (exec()), as a user does once it is up.
//
//   DialogAnswer<QMessageBox> answer([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
//   window.SomeCommand();  // opens the box, returns once it is answered
//   QVERIFY(answer.Answered());
//
// The answer is posted from the dialog's own show event, so it runs in the
// dialog's event loop whatever else ran events before: no timer, no polling.
// Should the answer fail a check and leave the dialog open, the dialog is
// rejected, so that the test ends with its failure at once instead of
// waiting for its time limit.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <functional>

namespace ketral::testing {

template <class Dialog>
class DialogAnswer : public QObject {
public:
    // `shown`, if given, runs in the show event itself, before any event
    // reaches the dialog: to watch it from the start.
    explicit DialogAnswer(std::function<void(Dialog*)> answer, std::function<void(Dialog*)> shown = {})
        : answer_(std::move(answer)), shown_(std::move(shown))
    {
        qApp->installEventFilter(this);
    }
    ~DialogAnswer() override { qApp->removeEventFilter(this); }

    // The dialog was shown and answered.
    bool Answered() const { return answered_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || seen_) return false;
        auto* dialog = qobject_cast<Dialog*>(watched);
        if (!dialog || !dialog->isWindow()) return false;
        seen_ = true;
        if (shown_) shown_(dialog);
        QMetaObject::invokeMethod(
            this,
            [this, d = QPointer<Dialog>(dialog)] {
                if (!d) return;
                answer_(d);
                answered_ = true;
                if (d && d->isVisible()) d->reject();
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void(Dialog*)> answer_, shown_;
    bool seen_ = false, answered_ = false;
};

}  // namespace ketral::testing
