#include "options/gui/OptionsDialog.h"
#include "base/TextNumbers.h"
#include "base/Constants.h"
#include "options/core/MakerWebSite.h"
#include "options/core/LanguageList.h"
#include "options/core/BackgroundVersionCheck.h"
#include "options/core/VersionCheck.h"
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

OptionsDialog::OptionsDialog(AppContext& appContext, std::function<void()> changeLanguage, QWidget* parent)
    : QDialog(parent)
    , context(appContext)
    , retranslateAllWindows(std::move(changeLanguage))
{
    setObjectName(QStringLiteral("TFSoftOptions"));
    buildLayout();
    setUp();
}

void OptionsDialog::setUp()
{
    languageInUse = context.state.languageName;
    createLanguageList();
    retranslate();
}

void OptionsDialog::buildLayout()
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    auto* top = new QVBoxLayout(this);
    softwareCodeLabel = makeSoftwareCodeLabel(this);
    softwareDescriptionLabel = withObjectName(new QLabel(this), "L_SW_Desc");
    top->addWidget(softwareCodeLabel);
    top->addWidget(softwareDescriptionLabel);

    tabs = withObjectName(new QTabWidget(this), "PC_Options");
    top->addWidget(tabs);
    tabs->addTab(makeLanguagePage(), QString());
    tabs->addTab(makeConnectionPage(), QString());
    tabs->addTab(makeTablesPage(), QString());

    for (QCheckBox* box : {internetBox, versionCheckBox, jumpFieldBox, autoSizeBox})
        connect(box, &QCheckBox::toggled, this, &OptionsDialog::onInternetToggled);
    connect(checkNowButton, &QPushButton::clicked, this, &OptionsDialog::onCheckNowClicked);
    connect(checkResultLink, &QLabel::linkActivated, this, &OptionsDialog::onCheckResultLinkClicked);

    top->addLayout(makeOkCancelRow(this, okButton, cancelButton));
    connect(okButton, &QPushButton::clicked, this, &OptionsDialog::onOkClicked);

    // The design's size; longer texts make the window grow (its layout's minimum).
    resize(560, 420);
}

QWidget* OptionsDialog::makeLanguagePage()
{
    languagePage = withObjectName(new QWidget, "TS_Language");
    auto* language = new QVBoxLayout(languagePage);
    selectLanguageLabel = withObjectName(new QLabel(languagePage), "L_Sel_Lang");
    language->addWidget(selectLanguageLabel);
    language->addLayout(makeLanguageSlots());
    language->addLayout(makeLanguagePageRow());
    return languagePage;
}

// Six slots, 1 to 3 down the left column and 4 to 6 down the right one.
QGridLayout* OptionsDialog::makeLanguageSlots()
{
    auto* slotGrid = new QGridLayout;
    static const char* const pictureNames[6] = {"I_L1", "I_L2", "I_L3", "I_L4", "I_L5", "I_L6"};
    static const char* const labelNames[6] = {"L_L1", "L_L2", "L_L3", "L_L4", "L_L5", "L_L6"};
    for (int i = 0; i < 6; ++i) {
        flagPictures[i] = withObjectName(new QLabel(languagePage), pictureNames[i]);
        flagPictures[i]->setFixedSize(48, 48);
        flagPictures[i]->setScaledContents(true);
        QSizePolicy keepPlace = flagPictures[i]->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        flagPictures[i]->setSizePolicy(keepPlace);
        flagLabels[i] = withObjectName(new QLabel(languagePage), labelNames[i]);
        for (QLabel* control : {flagPictures[i], flagLabels[i]}) {
            control->setCursor(Qt::PointingHandCursor);
            control->installEventFilter(this);
        }
        const int row = i % 3, column = (i / 3) * 2;
        slotGrid->addWidget(flagPictures[i], row, column);
        slotGrid->addWidget(flagLabels[i], row, column + 1);
    }
    slotGrid->setColumnStretch(1, 1);
    slotGrid->setColumnStretch(3, 1);
    return slotGrid;
}

QHBoxLayout* OptionsDialog::makeLanguagePageRow()
{
    auto* pageRow = new QHBoxLayout;
    previousButton = withObjectName(new QPushButton(languagePage), "Btn_Prev");
    nextButton = withObjectName(new QPushButton(languagePage), "Btn_Next");
    languagePageLabel = withObjectName(new QLabel(languagePage), "L_Page_Lang");
    languagePageLabel->setAlignment(Qt::AlignCenter);
    for (QPushButton* b : {previousButton, nextButton}) {
        QSizePolicy keepPlace = b->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        b->setSizePolicy(keepPlace);
        b->setAutoDefault(false);
    }
    connect(previousButton, &QPushButton::clicked, this, &OptionsDialog::onPreviousPageClicked);
    connect(nextButton, &QPushButton::clicked, this, &OptionsDialog::onNextPageClicked);
    pageRow->addWidget(previousButton);
    pageRow->addWidget(languagePageLabel, 1);
    pageRow->addWidget(nextButton);
    return pageRow;
}

QWidget* OptionsDialog::makeConnectionPage()
{
    connectionPage = withObjectName(new QWidget, "TS_Con_Options");
    auto* connection = new QVBoxLayout(connectionPage);
    internetBox = withObjectName(new QCheckBox(connectionPage), "CB_En_Con");
    versionCheckBox = withObjectName(new QCheckBox(connectionPage), "CB_Update");
    checkNowButton = withObjectName(new QPushButton(connectionPage), "Btn_Check_Update");
    checkNowButton->setAutoDefault(false);
    checkResultLink = withObjectName(new QLabel(connectionPage), "LL_Check_Update");
    checkResultLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connection->addWidget(internetBox);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(24);
    indented->addWidget(versionCheckBox);
    connection->addLayout(indented);
    auto* check = new QHBoxLayout;
    check->addWidget(checkNowButton);
    check->addWidget(checkResultLink);
    check->addStretch(1);
    connection->addLayout(check);
    connection->addStretch(1);
    return connectionPage;
}

QWidget* OptionsDialog::makeTablesPage()
{
    tablesPage = withObjectName(new QWidget, "TS_Soft_Settings");
    auto* settings = new QVBoxLayout(tablesPage);
    jumpFieldBox = withObjectName(new QCheckBox(tablesPage), "CB_Soft_Set_Jump_Table");
    autoSizeBox = withObjectName(new QCheckBox(tablesPage), "CB_DoubleClick_Auto_Size");
    settings->addWidget(jumpFieldBox);
    settings->addWidget(autoSizeBox);
    settings->addStretch(1);
    return tablesPage;
}

void OptionsDialog::retranslate()
{
    const TextTable& t = context.texts;
    setWindowTitle(t[Text::OptionsWindow]);
    softwareDescriptionLabel->setText(t[Text::OptionsDescription]);
    tabs->setTabText(tabs->indexOf(languagePage), t[Text::LanguageTab]);
    tabs->setTabText(tabs->indexOf(connectionPage), t[Text::ConnectionTab]);
    tabs->setTabText(tabs->indexOf(tablesPage), t[Text::TablesTab]);
    previousButton->setText(t[Text::PreviousLanguagePage]);
    nextButton->setText(t[Text::NextLanguagePage]);
    internetBox->setText(t[Text::EnableInternet]);
    versionCheckBox->setText(t[Text::CheckVersionAtStart]);
    checkNowButton->setText(t[Text::CheckVersionNow]);
    okButton->setText(t[Text::OptionsOk]);
    cancelButton->setText(t[Text::OptionsCancel]);
    jumpFieldBox->setText(t[Text::EnterMovesToNextField]);
    autoSizeBox->setText(t[Text::AutoSizeColumns]);
    composePageTexts();
    composeCheckResult();
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        loadOnShow();
    QDialog::showEvent(event);
}

void OptionsDialog::loadOnShow()
{
    languageInUse = context.state.languageName;
    createLanguageList();
    updateCheckBox();
    updateFound.reset();
    awaitingCheck = false;
    checkResultLink->hide();
    tabs->setCurrentWidget(languagePage);
    internetBox->setChecked(context.state.enableInternet);
    versionCheckBox->setChecked(context.state.enableUpdate);
    jumpFieldBox->setChecked(context.state.enableJumpFieldTables);
    autoSizeBox->setChecked(context.state.doubleClickAutoSize);
}

void OptionsDialog::createLanguageList()
{
    languages = ::createLanguageList(context.state.languageFolder);
    shownPage = 1;
    showLanguagePage(1);
}

void OptionsDialog::showLanguagePage(int pageNumber)
{
    const LanguagePage page = langPage(languages, pageNumber);
    shownPage = page.page;
    composePageTexts();
    previousButton->setVisible(page.showPrev);
    nextButton->setVisible(page.showNext);
    for (int k = 0; k < LanguagePage::slotCount; ++k) {
        const bool used = k < page.languages.size();
        flagLabels[k]->setVisible(used);
        flagPictures[k]->setVisible(used);
        if (!used)
            continue;
        const QString language = languageOf(page.languages[k]);
        flagLabels[k]->setText(language);
        const QString picture = flagPicture(context.state.languageFolder, language);
        const QPixmap flag = picture.isEmpty() ? QPixmap() : QPixmap(picture);
        flagPictures[k]->setPixmap(flag);
        flagPictures[k]->setVisible(!flag.isNull());
    }
}

void OptionsDialog::composePageTexts()
{
    const TextTable& t = context.texts;
    const LanguagePage page = langPage(languages, shownPage);
    selectLanguageLabel->setText(t[Text::SelectedLanguage] + languageInUse);
    languagePageLabel->setText(
        t[Text::LanguagePage] + QString::number(page.page) + t[Text::LanguagePageOf] + QString::number(page.pageCount));
}

void OptionsDialog::composeCheckResult()
{
    if (!updateFound)
        return;
    if (*updateFound) {
        checkResultLink->setTextFormat(Qt::RichText);
        checkResultLink->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                                     .arg(makerDownloadPage(), context.texts[Text::CheckFoundUpdate].toHtmlEscaped()));
    } else {
        checkResultLink->setTextFormat(Qt::PlainText);
        checkResultLink->setText(context.texts[Text::CheckFoundNoUpdate]);
    }
}

void OptionsDialog::onPreviousPageClicked()
{
    if (shownPage >= 2)
        --shownPage;
    showLanguagePage(shownPage);
}

void OptionsDialog::onNextPageClicked()
{
    if (langPage(languages, shownPage).pageCount >= shownPage + 1)
        ++shownPage;
    showLanguagePage(shownPage);
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        for (int k = 0; k < LanguagePage::slotCount; ++k)
            if (watched == flagPictures[k] || watched == flagLabels[k]) {
                onLanguageClicked(k + 1);
                return true;
            }
    return QDialog::eventFilter(watched, event);
}

void OptionsDialog::onLanguageClicked(int slot)
{
    const int position = langPosition(shownPage, slot);
    if (position >= languages.size())
        return;
    const QString language = languageOf(languages[position]);
    const TextTable& t = context.texts;
    // A file that cannot be read would leave every text English without a word: say why now.
    if (const Result usable = checkLanguageFile(context.state.languageFolder, language); !usable) {
        context.platform.messages->error(
            fillPlaceholders(t[Text::ErrorLanguageNotUsable], {language}) + u'\n' + context.textOf(usable));
        return;
    }
    if (!context.platform.messages->askYesNo(
            t[Text::ChangeLanguageFrom] + languageInUse + t[Text::ChangeLanguageTo] + language + t[Text::ChangeLanguageEnd]))
        return;
    // The program state keeps its language until OK; only the texts change now. A file that
    // failed after all (changed meanwhile) leaves English, and the window says so.
    QString loaded = language;
    context.texts.loadLanguage(context.state.languageFolder, loaded);
    languageInUse = loaded;
    retranslateAllWindows();
    showLanguagePage(shownPage);
}

void OptionsDialog::updateCheckBox()
{
    const bool updateEnabled = internetBox->isChecked();
    versionCheckBox->setEnabled(updateEnabled);
    checkNowButton->setEnabled(updateEnabled && versionCheckBox->isChecked());
}

void OptionsDialog::onInternetToggled() { updateCheckBox(); }

void OptionsDialog::useVersionCheck(BackgroundVersionCheck* check)
{
    versionCheck = check;
    connect(check, &BackgroundVersionCheck::finished, this, [this](bool newer) {
        if (!awaitingCheck)
            return;
        awaitingCheck = false;
        updateFound = newer;
        composeCheckResult();
    });
}

void OptionsDialog::onCheckNowClicked()
{
    if (versionCheck) {
        // A check already under way gives this answer too.
        versionCheck->start(makerVersionService());
        updateFound.reset();
        awaitingCheck = true;
        checkResultLink->setTextFormat(Qt::PlainText);
        checkResultLink->setText(context.texts[Text::CheckingVersion]);
        checkResultLink->show();
        return;
    }
    updateFound = checkVersion(*context.platform.http, makerVersionService());
    composeCheckResult();
    checkResultLink->show();
}

void OptionsDialog::onCheckResultLinkClicked(const QString& link) { context.platform.shell->openUrl(link); }

void OptionsDialog::onOkClicked()
{
    ProgramState& state = context.state;
    state.languageName = languageInUse;
    state.enableInternet = internetBox->isChecked();
    state.enableUpdate = versionCheckBox->isChecked(); // also when the box is disabled
    state.enableJumpFieldTables = jumpFieldBox->isChecked();
    state.doubleClickAutoSize = autoSizeBox->isChecked();
    // The main window saves the settings and starts or stops its timer when OK returns.
    accept();
}
