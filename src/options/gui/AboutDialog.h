#pragma once
#include "base/gui/AppContext.h"
#include <QDialog>

class QLabel;
class QPushButton;

// The About window: fixed English texts naming the software, its code, version and manual,
// and the way to the maker's web site.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(AppContext& appContext, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadOnShow();
    void onMakerLinkClicked();

    AppContext& context;
    QLabel* pictureLabel = nullptr;
    QLabel* label1 = nullptr;
    QLabel* label2 = nullptr;
    QLabel* label6 = nullptr;
    QLabel* label9 = nullptr;
    QLabel* label3 = nullptr;
    QLabel* label10 = nullptr;
    QLabel* label8 = nullptr;
    QLabel* label12 = nullptr;
    QLabel* label4 = nullptr;
    QPushButton* closeButton = nullptr;
};
