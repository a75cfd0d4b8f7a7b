#pragma once
#include "support/TestSupport.h"
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>

// Runs `action` on the next modal widget once it is shown (for dialogs opened with exec()).
inline void onNextModal(std::function<void(QWidget*)> action, QWidget* previous = nullptr)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action, previous] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != previous && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

// What to do with the dialogs that show while a step waits in them.
struct DialogWatch {
    // A dialog that was there before the step (its own window), never handed on.
    const QWidget* below = nullptr;
    // Called first with each dialog; true when it has dealt with it and the step goes on to a
    // next dialog (a summary pressed on from, say).
    std::function<bool(QDialog*)> passOn = {};
};

// Runs `open`, a step that opens a modal dialog with exec() and waits in it, and hands that
// dialog to `action` once it shows. A dialog the action leaves open is cancelled, so a failing
// test cannot hang; the watch ends with this call, so it never acts on a later dialog. True
// when the action ran.
inline bool inNextDialog(
    const std::function<void()>& open, const std::function<void(QDialog*)>& action, const DialogWatch& watch = {})
{
    bool ran = false;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == watch.below || !dialog->isVisible())
            return;
        if (watch.passOn && watch.passOn(dialog))
            return;
        timer.stop();
        ran = true;
        action(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    timer.start();
    open();
    return ran;
}
