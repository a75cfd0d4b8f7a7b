#include "e2e/Session.h"
#include "platform/SystemServices.h"
#include "support/WindowTestSupport.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace E2E {

namespace {

// Controls are part of the windows' given layout: one that is missing is a broken build of
// the session, not a finding of it.
template <typename W> W* find(const QWidget* in, const QString& name)
{
    W* w = in->findChild<W*>(name);
    if (!w)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(in->objectName()));
    return w;
}

void Settle() { QApplication::processEvents(); }

// Scrolls a control of a scrolling panel into view, as the engineer does before clicking it.
void bringIntoView(QWidget* w)
{
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(p)) {
            area->ensureWidgetVisible(w);
            Settle();
            return;
        }
}

void Click(QWidget* w)
{
    bringIntoView(w);
    QTest::mouseClick(w, Qt::LeftButton);
    Settle();
}

void Click(const QWidget* window, const char* name) { Click(find<QWidget>(window, name)); }

// Key by key into whichever control of the window has the focus, as typing does: a "." in an
// address octet moves on to the next octet, a key in a table cell opens its editor.
void typeKeys(QWidget* window, const QString& text)
{
    for (const QChar c : text) {
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyClicks(target, QString(c));
        Settle();
    }
}

void Press(QWidget* window, Qt::Key key)
{
    QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, key);
    Settle();
}

// Replaces a field's text: click into it, select all, type.
void typeOver(QWidget* window, const char* field, const QString& text)
{
    auto* edit = find<QLineEdit>(window, field);
    Click(edit);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    typeKeys(window, text);
}

void clickTab(QTabWidget* pages, int index)
{
    QTabBar* bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    Settle();
}

void chooseItem(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        qFatal("no item %s in %s", qPrintable(text), qPrintable(list->objectName()));
    list->scrollToItem(found.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
    Settle();
}

void clickNode(QTreeWidget* tree, QTreeWidgetItem* node)
{
    tree->scrollToItem(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    Settle();
}

// Follows `path` from a top-level node, opening the collapsed nodes on the way with the
// right arrow key, and clicks the last one.
void pickNode(QTreeWidget* tree, const QStringList& path)
{
    QTreeWidgetItem* node = nullptr;
    for (const QString& text : path) {
        QTreeWidgetItem* next = nullptr;
        const int count = node ? node->childCount() : tree->topLevelItemCount();
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* child = node ? node->child(i) : tree->topLevelItem(i);
            if (child->text(0) == text)
                next = child;
        }
        if (!next)
            qFatal("no tree node %s", qPrintable(path.join(u'/')));
        if (node && !node->isExpanded()) {
            clickNode(tree, node);
            QTest::keyClick(tree, Qt::Key_Right);
            Settle();
        }
        node = next;
    }
    clickNode(tree, node);
}

QModelIndex cell(QTableView* grid, const QString& heading, int row)
{
    QAbstractItemModel* model = grid->model();
    for (int col = 0; col < model->columnCount(); ++col)
        if (model->headerData(col, Qt::Horizontal).toString() == heading)
            return model->index(row - 1, col);
    qFatal("no column %s in %s", qPrintable(heading), qPrintable(grid->objectName()));
}

// Rows count from 1, as the grid's number column shows them.
void clickCell(QTableView* grid, const QString& heading, int row)
{
    const QModelIndex index = cell(grid, heading, row);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    Settle();
}

// Click, type (the first key opens the cell's editor; a drop-down picks the entry that starts
// with what is typed), Enter.
void typeCell(QWidget* window, QTableView* grid, const QString& heading, int row, const QString& text)
{
    clickCell(grid, heading, row);
    typeKeys(window, text);
    Press(window, Qt::Key_Return);
}

// A check-box cell: click it, then the space bar ticks it.
void tickCell(QTableView* grid, const QString& heading, int row)
{
    clickCell(grid, heading, row);
    QTest::keyClick(grid, Qt::Key_Space);
    Settle();
}

// The echo that answers at once, standing in where the system may not ping.
class AnsweringEcho : public IcmpEcho {
public:
    Reply echo(const QString&) override { return {EchoStatus::Answered, {}}; }
};

} // namespace

struct Session::Run {
    ProgramState state;
    TextTable texts;
    AppContext context;
    std::unique_ptr<MainWindow> Main;

    Run(Platform& services, const QString& folder)
        : context{state, texts, services}
        , Main(std::make_unique<MainWindow>(context, folder))
    {
    }
};

Session::Session(const QString& folder)
    : programFolder(folder)
    , services(System.services())
{
    services.messages = &messages;
    services.fileDialog = &fileDialog;
    services.shell = &shell;
    services.http = &http;
    echo = makeSystemIcmpEcho();
    const IcmpEcho::Reply probe = echo->echo(Scenario::deviceAddress);
    if (probe.result != IcmpEcho::EchoStatus::Answered) {
        echoNote = QStringLiteral("the system's ICMP echo cannot reach %1 here (%2): a stand-in answers instead")
                       .arg(Scenario::deviceAddress, probe.error.isEmpty() ? QStringLiteral("no answer") : probe.error);
        echo = std::make_unique<AnsweringEcho>();
    }
    services.icmpEcho = echo.get();
}

Session::~Session() = default;

MainWindow* Session::Main() const { return run ? run->Main.get() : nullptr; }

const ProgramState& Session::state() const
{
    if (!run)
        qFatal("no program run");
    return run->state;
}

void Session::start()
{
    run.reset();
    run = std::make_unique<Run>(services, programFolder);
    MainWindow* main = run->Main.get();
    main->show();
    main->activateWindow();
    if (!QTest::qWaitForWindowActive(main))
        problems << QStringLiteral("the main window did not become active");
    Settle();
}

void Session::Close()
{
    MainWindow* main = Main();
    if (!main)
        return;
    Click(main, "Btn_Close");
    if (main->isVisible())
        problems << QStringLiteral("the close button left the main window open");
    run.reset();
}

void Session::installLanguages(const QString& folder)
{
    const QDir from(folder);
    for (const QString& name : from.entryList({QStringLiteral("*.lng"), QStringLiteral("*.bmp")}, QDir::Files)) {
        const QString target = QDir(state().languageFolder).filePath(name);
        QFile::remove(target);
        if (!QFile::copy(from.filePath(name), target))
            problems << QStringLiteral("cannot copy %1 into LANGUAGE").arg(name);
    }
}

void Session::Show(const QString& state, QWidget* window)
{
    Settle();
    if (view)
        view(state, window);
}

void Session::withDialog(const char* button, const std::function<void(QDialog*)>& action)
{
    // Step 4 shows what it has built before the update window: looked at, then on.
    const auto summary = [&](QDialog* dialog) {
        if (dialog->objectName() != QLatin1String("TFUpdateSummary"))
            return false;
        Show(QStringLiteral("update-summary"), dialog);
        Click(dialog, "Btn_OK");
        return true;
    };
    const bool ran = inNextDialog([&] { Click(Main(), button); },
        [&](QDialog* dialog) {
            dialog->activateWindow();
            if (!QTest::qWaitForWindowActive(dialog))
                problems << QStringLiteral("%1 did not become active").arg(dialog->objectName());
            action(dialog);
            // A modal window left behind is noted (and cancelled): the session would wait in it for ever.
            if (dialog->isVisible())
                problems << QStringLiteral("%1 stayed open after its step").arg(dialog->objectName());
        },
        {.passOn = summary});
    if (!ran)
        problems << QStringLiteral("%1 opened no window").arg(QString::fromLatin1(button));
}

void Session::lookAt(const char* button, const QString& state)
{
    withDialog(button, [&](QDialog* dialog) {
        Show(state, dialog);
        Press(dialog, Qt::Key_Escape);
    });
}

void Session::createConfiguration()
{
    withDialog("Btn_New", [&](QDialog* dialog) {
        // The name field has the focus when the window opens.
        typeKeys(dialog, Scenario::Configuration);
        Show(QStringLiteral("new-configuration"), dialog);
        Press(dialog, Qt::Key_Return);
    });
}

void Session::setCommunication()
{
    withDialog("Btn_Prm_Gen", [&](QDialog* dialog) {
        auto address = [&](const char* firstOctet, const QString& text) { typeOver(dialog, firstOctet, text); };
        address("E_IEC61850_Client_IP1", QStringLiteral("10.0.0.21"));
        address("E_IEC61850_Client_SM1", QStringLiteral("255.255.255.0"));
        Click(dialog, "CB_IEC61850_Client_En_GAT");
        address("E_IEC61850_Client_GAT1", QStringLiteral("10.0.0.1"));
        typeOver(dialog, "E_IEC61850_Client_VLAN", QStringLiteral("5"));
        typeOver(dialog, "E_IEC61850_Client_AppID", QStringLiteral("0x1A"));
        address("E_EtherNetIP_IP1", QStringLiteral("192.168.1.50"));
        typeOver(dialog, "E_EtherNetIP_NByte_In", QStringLiteral("500"));
        typeOver(dialog, "E_EtherNetIP_NByte_Out", QStringLiteral("32"));
        Click(dialog, "Btn_OK"); // refused: the device has 496 input bytes at most
        typeOver(dialog, "E_EtherNetIP_NByte_In", QStringLiteral("64"));
        Show(QStringLiteral("communication-settings"), dialog);
        Click(dialog, "Btn_OK");
    });
}

void Session::mapAccess(const QString& sclFileA, const QString& sclFileB)
{
    withDialog("Btn_IEC61850_Client", [&](QDialog* dialog) {
        fileDialog.nextFiles = {sclFileA, sclFileB};
        Click(dialog, "Btn_Add_IEC_Device");
        Click(dialog, "Btn_Add_IEC_Device");
        auto* devices = find<QListWidget>(dialog, "LB_IEC_Devices");
        auto* tree = find<QTreeWidget>(dialog, "TV_IEC_Device");
        auto* vars = find<QTableView>(dialog, "ACG_DA");
        auto* sets = find<QTableView>(dialog, "ACG_DataSet");
        auto* members = find<QTableView>(dialog, "ACG_DS_Vars");

        chooseItem(devices, QStringLiteral("FeederIED - feeder.icd"));
        pickNode(tree, {"FeederIED", "Meas", "MMXU1", "TotW", "mag", "f"});
        Click(dialog, "Btn_AddVar");
        chooseItem(devices, QStringLiteral("GeneratorIED - generator.icd"));
        pickNode(tree, {"GeneratorIED", "Gen", "LLN0", "NamPlt", "vendor"});
        Click(dialog, "Btn_AddVar");

        typeCell(dialog, vars, "IP Address", 1, "10.0.0.30");
        typeCell(dialog, vars, "Port", 1, "102");
        tickCell(vars, "On Change", 1);
        typeCell(dialog, vars, "Position", 1, "0");
        typeCell(dialog, vars, "R/W", 1, "Read");
        typeCell(dialog, vars, "Convertion", 1, "None");
        typeCell(dialog, vars, "Molt Fact", 1, "0,5");
        typeCell(dialog, vars, "Mnemonic", 1, "Total power");

        typeCell(dialog, vars, "Start Byte", 2, "0");
        typeCell(dialog, vars, "Num Byte", 2, "16");
        typeCell(dialog, vars, "IP Address", 2, "10.0.0.31");
        typeCell(dialog, vars, "Port", 2, "102");
        tickCell(vars, "On Timer", 2);
        typeCell(dialog, vars, "Time (ms)", 2, "1000");
        typeCell(dialog, vars, "Position", 2, "4");
        typeCell(dialog, vars, "R/W", 2, "Read");
        typeCell(dialog, vars, "Mnemonic", 2, "Vendor name");

        pickNode(tree, {"GeneratorIED", "Gen", "LLN0", "GenStatus"});
        Click(dialog, "Btn_AddVar"); // shows the data set page
        typeCell(dialog, sets, "IP Address", 1, "10.0.0.31");
        typeCell(dialog, sets, "Port", 1, "102");
        typeCell(dialog, sets, "Time (ms)", 1, "500");
        typeCell(dialog, sets, "Mnemonic", 1, "Generator status");
        clickCell(sets, "Reference", 1);
        typeCell(dialog, members, "Position", 1, "20");
        typeCell(dialog, members, "Position", 2, "21");
        typeCell(dialog, members, "Position", 3, "22");
        Show(QStringLiteral("access-dataset"), dialog);

        Click(dialog, "Btn_OK"); // refused: row 2 has no multiplication factor
        clickTab(find<QTabWidget>(dialog, "PC_Access"), 0);
        typeCell(dialog, vars, "Molt Fact", 2, "None");
        Show(QStringLiteral("access-variables"), dialog);
        clickTab(find<QTabWidget>(dialog, "PC_Access"), 2);
        Show(QStringLiteral("access-data-array"), dialog);
        clickTab(find<QTabWidget>(dialog, "PC_Access"), 0);
        Click(dialog, "Btn_OK");
    });
}

void Session::reviewAccess()
{
    withDialog("Btn_IEC61850_Client", [&](QDialog* dialog) {
        Show(QStringLiteral("access-reopened"), dialog);
        clickTab(find<QTabWidget>(dialog, "PC_Access"), 1);
        clickCell(find<QTableView>(dialog, "ACG_DataSet"), "Reference", 1);
        Show(QStringLiteral("access-reopened-dataset"), dialog);
        Press(dialog, Qt::Key_Escape);
    });
}

void Session::browseStationFile(const QString& sclFile)
{
    withDialog("Btn_IEC61850_Client", [&](QDialog* dialog) {
        QTimer picker;
        picker.setInterval(5);
        QObject::connect(&picker, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == dialog || !modal->isVisible())
                return;
            picker.stop();
            Show(QStringLiteral("ied-picker"), modal);
            Press(modal, Qt::Key_Return);
        });
        picker.start();
        fileDialog.nextFiles = {sclFile};
        Click(dialog, "Btn_Add_IEC_Device");
        auto* devices = find<QListWidget>(dialog, "LB_IEC_Devices");
        if (devices->count() == 0) {
            problems << QStringLiteral("%1 added no device").arg(sclFile);
            Click(dialog, "Btn_Cancel");
            return;
        }
        chooseItem(devices, devices->item(devices->count() - 1)->text());
        auto* filter = find<QLineEdit>(dialog, "E_Filter");
        QTest::keyClicks(filter, QStringLiteral("mmxu1.totw"));
        Show(QStringLiteral("access-filter"), dialog);
        Click(dialog, "Btn_Cancel");
    });
}

void Session::updateDevice()
{
    withDialog("Btn_CreateBin", [&](QDialog* dialog) {
        Show(QStringLiteral("update-window"), dialog);
        typeOver(dialog, "E_IP1", Scenario::deviceAddress);
        QTest::keyClicks(find<QComboBox>(dialog, "CB_Update_Options"), QStringLiteral("Configuration"));
        // The reachability check runs inside the click; the updater then runs while the window
        // stays live, and its outcome comes as a message.
        const size_t shown = messages.shown.size();
        Click(dialog, "Btn_Update");
        Show(QStringLiteral("update-running"), dialog);
        if (!QTest::qWaitFor([&] { return messages.shown.size() > shown; }, 30000))
            problems << QStringLiteral("the updater's outcome was never shown");
        Show(QStringLiteral("update-done"), dialog);
        Press(dialog, Qt::Key_Escape);
    });
}

void Session::switchLanguage()
{
    withDialog("Btn_Opz", [&](QDialog* dialog) {
        auto* pages = find<QTabWidget>(dialog, "PC_Options");
        Show(QStringLiteral("options-language"), dialog);
        clickTab(pages, 1);
        Show(QStringLiteral("options-connection"), dialog);
        clickTab(pages, 2);
        Show(QStringLiteral("options-settings"), dialog);
        clickTab(pages, 0);
        QLabel* slot = nullptr;
        for (int k = 1; k <= 6 && !slot; ++k) {
            auto* label = find<QLabel>(dialog, QStringLiteral("L_L%1").arg(k));
            if (label->isVisible() && label->text() == Scenario::Language)
                slot = label;
        }
        if (!slot) {
            problems << QStringLiteral("the options offer no %1").arg(Scenario::Language);
            return;
        }
        Click(slot);
        Show(QStringLiteral("options-switched"), dialog);
        Click(dialog, "Btn_OK");
    });
}

} // namespace E2E
