#pragma once
#include "base/gui/AppContext.h"
#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>

class BackgroundVersionCheck;
class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;

// The software options: the language (pages of six flags), the Internet connection and the
// version check, and two behaviours of the tables. A language picked here re-labels every
// window at once; everything else reaches the program state only with OK.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // `changeLanguage` re-labels every window of the program (the main window's retranslateAllWindows()).
    OptionsDialog(AppContext& appContext, std::function<void()> changeLanguage, QWidget* parent = nullptr);

    void retranslate();
    // "Check Available Update" then shares the program's check, which never runs twice at once,
    // instead of asking on the window's thread.
    void useVersionCheck(BackgroundVersionCheck* check);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUp();
    void loadOnShow();
    void buildLayout();
    // The three pages: the languages (their slots and the row that pages through them), the
    // connection options and the tables' settings.
    QWidget* makeLanguagePage();
    QGridLayout* makeLanguageSlots();
    QHBoxLayout* makeLanguagePageRow();
    QWidget* makeConnectionPage();
    QWidget* makeTablesPage();
    void createLanguageList();
    void showLanguagePage(int pageNumber);
    void composePageTexts();
    void composeCheckResult();
    void onPreviousPageClicked();
    void onNextPageClicked();
    void onLanguageClicked(int slot);
    void updateCheckBox();
    void onInternetToggled();
    void onCheckNowClicked();
    void onCheckResultLinkClicked(const QString& link);
    void onOkClicked();

    AppContext& context;
    std::function<void()> retranslateAllWindows;
    QStringList languages;
    int shownPage = 1;
    QString languageInUse;
    // The answer of the last check at once, while its result is shown.
    std::optional<bool> updateFound;
    BackgroundVersionCheck* versionCheck = nullptr;
    bool awaitingCheck = false;

    QLabel* softwareCodeLabel = nullptr;
    QLabel* softwareDescriptionLabel = nullptr;
    QTabWidget* tabs = nullptr;
    QWidget* languagePage = nullptr;
    QWidget* connectionPage = nullptr;
    QWidget* tablesPage = nullptr;
    QLabel* selectLanguageLabel = nullptr;
    QLabel* flagPictures[6] = {};
    QLabel* flagLabels[6] = {};
    QLabel* languagePageLabel = nullptr;
    QPushButton* previousButton = nullptr;
    QPushButton* nextButton = nullptr;
    QCheckBox* internetBox = nullptr;
    QCheckBox* versionCheckBox = nullptr;
    QPushButton* checkNowButton = nullptr;
    QLabel* checkResultLink = nullptr;
    QCheckBox* jumpFieldBox = nullptr;
    QCheckBox* autoSizeBox = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
