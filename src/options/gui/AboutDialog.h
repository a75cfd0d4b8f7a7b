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
    QLabel* titleLabel = nullptr;
    QLabel* descriptionLabel = nullptr;
    QLabel* softwareCodeValue = nullptr;
    QLabel* versionValue = nullptr;
    QLabel* documentCodeValue = nullptr;
    QLabel* makerLink = nullptr;
    QPushButton* closeButton = nullptr;
};
