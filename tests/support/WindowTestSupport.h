#pragma once
#include "support/TestSupport.h"
#include <QApplication>
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
