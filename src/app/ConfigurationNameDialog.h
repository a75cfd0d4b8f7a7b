#pragma once
#include "base/gui/AppContext.h"
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks the new name of a configuration being renamed or duplicated. OK hands the trimmed name
// to the caller's action, which reports a refusal itself; the dialog then stays open with the
// name as typed, as the New configuration dialog does.
class ConfigurationNameDialog : public QDialog {
    Q_OBJECT
public:
    ConfigurationNameDialog(AppContext& appContext, QWidget* parent);

    void retranslate();

    // Shows the dialog captioned with text `titleNo`, `proposed` in the field; true once
    // `apply` has taken a name, false on Cancel.
    bool ask(int titleNo, const QString& proposed, const std::function<bool(const QString&)>& apply);

private:
    void onOkClicked();

    AppContext& context;
    int titleNumber = 0;
    std::function<bool(const QString&)> action;
    QLabel* nameLabel = nullptr;
    QLineEdit* nameEdit = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
