#pragma once
#include "AppContext.h"
#include <QDialog>

class QLabel;
class QPushButton;

// The About window: fixed English texts naming the software, its code, version and manual,
// and the way to the maker's web site.
class TFAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFAbout(TAppContext& context, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void Label4Click();

    TAppContext& Ctx;
    QLabel* Image2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* LbButton1 = nullptr;
};
