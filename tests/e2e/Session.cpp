#include "Session.h"
#include "SystemServices.h"
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
template <typename W>
W* Find(const QWidget* in, const QString& name)
{
    W* w = in->findChild<W*>(name);
    if (!w)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(in->objectName()));
    return w;
}

void Settle() { QApplication::processEvents(); }

// Scrolls a control of a scrolling panel into view, as the engineer does before clicking it.
void Bring_Into_View(QWidget* w)
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
    Bring_Into_View(w);
    QTest::mouseClick(w, Qt::LeftButton);
    Settle();
}

void Click(const QWidget* window, const char* name) { Click(Find<QWidget>(window, name)); }

// Key by key into whichever control of the window has the focus, as typing does: a "." in an
// address octet moves on to the next octet, a key in a table cell opens its editor.
void Type_Keys(QWidget* window, const QString& text)
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
void Type_Over(QWidget* window, const char* field, const QString& text)
{
    auto* edit = Find<QLineEdit>(window, field);
    Click(edit);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    Type_Keys(window, text);
}

void Click_Tab(QTabWidget* pages, int index)
{
    QTabBar* bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    Settle();
}

void Choose_Item(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        qFatal("no item %s in %s", qPrintable(text), qPrintable(list->objectName()));
    list->scrollToItem(found.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
    Settle();
}

void Click_Node(QTreeWidget* tree, QTreeWidgetItem* node)
{
    tree->scrollToItem(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    Settle();
}

// Follows `path` from a top-level node, opening the collapsed nodes on the way with the
// right arrow key, and clicks the last one.
void Pick_Node(QTreeWidget* tree, const QStringList& path)
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
            Click_Node(tree, node);
            QTest::keyClick(tree, Qt::Key_Right);
            Settle();
        }
        node = next;
    }
    Click_Node(tree, node);
}

QModelIndex Cell(QTableView* grid, const QString& heading, int row)
{
    QAbstractItemModel* model = grid->model();
    for (int col = 0; col < model->columnCount(); ++col)
        if (model->headerData(col, Qt::Horizontal).toString() == heading)
            return model->index(row - 1, col);
    qFatal("no column %s in %s", qPrintable(heading), qPrintable(grid->objectName()));
}

// Rows count from 1, as the grid's number column shows them.
void Click_Cell(QTableView* grid, const QString& heading, int row)
{
    const QModelIndex index = Cell(grid, heading, row);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    Settle();
}

// Click, type (the first key opens the cell's editor; a drop-down picks the entry that starts
// with what is typed), Enter.
void Type_Cell(QWidget* window, QTableView* grid, const QString& heading, int row, const QString& text)
{
    Click_Cell(grid, heading, row);
    Type_Keys(window, text);
    Press(window, Qt::Key_Return);
}

// A check-box cell: click it, then the space bar ticks it.
void Tick_Cell(QTableView* grid, const QString& heading, int row)
{
    Click_Cell(grid, heading, row);
    QTest::keyClick(grid, Qt::Key_Space);
    Settle();
}

// The echo that answers at once, standing in where the system may not ping.
class TAnswering_Echo : public IIcmp_Echo {
public:
    TReply Echo(const QString&) override { return {TResult::Answered, {}}; }
};

} // namespace

struct TSession::TRun {
    TProgramState State;
    TText_Table Texts;
    TAppContext Ctx;
    std::unique_ptr<TFTessavoFirmWare> Main;

    TRun(TPlatform& services, const QString& folder)
        : Ctx{State, Texts, services}
        , Main(std::make_unique<TFTessavoFirmWare>(Ctx, folder))
    {
    }
};

TSession::TSession(const QString& programFolder)
    : Program_Folder(programFolder)
    , Services(System.Services())
{
    Services.Messages = &Messages;
    Services.File_Dialog = &File_Dialog;
    Services.Shell = &Shell;
    Services.Http = &Http;
    Echo = Make_System_Icmp_Echo();
    const IIcmp_Echo::TReply probe = Echo->Echo(Scenario::Device_Address);
    if (probe.Result != IIcmp_Echo::TResult::Answered) {
        Echo_Note = QStringLiteral("the system's ICMP echo cannot reach %1 here (%2): a stand-in answers instead")
                        .arg(Scenario::Device_Address, probe.Error.isEmpty() ? QStringLiteral("no answer") : probe.Error);
        Echo = std::make_unique<TAnswering_Echo>();
    }
    Services.Icmp_Echo = Echo.get();
}

TSession::~TSession() = default;

TFTessavoFirmWare* TSession::Main() const { return Run ? Run->Main.get() : nullptr; }

const TProgramState& TSession::State() const
{
    if (!Run)
        qFatal("no program run");
    return Run->State;
}

void TSession::Start()
{
    Run.reset();
    Run = std::make_unique<TRun>(Services, Program_Folder);
    TFTessavoFirmWare* main = Run->Main.get();
    main->show();
    main->activateWindow();
    if (!QTest::qWaitForWindowActive(main))
        Problems << QStringLiteral("the main window did not become active");
    Settle();
}

void TSession::Close()
{
    TFTessavoFirmWare* main = Main();
    if (!main)
        return;
    Click(main, "Btn_Close");
    if (main->isVisible())
        Problems << QStringLiteral("the close button left the main window open");
    Run.reset();
}

void TSession::Install_Languages(const QString& folder)
{
    const QDir from(folder);
    for (const QString& name : from.entryList({QStringLiteral("*.lng"), QStringLiteral("*.bmp")}, QDir::Files)) {
        const QString target = QDir(State().Language_Folder).filePath(name);
        QFile::remove(target);
        if (!QFile::copy(from.filePath(name), target))
            Problems << QStringLiteral("cannot copy %1 into LANGUAGE").arg(name);
    }
}

void TSession::Show(const QString& state, QWidget* window)
{
    Settle();
    if (View)
        View(state, window);
}

void TSession::With_Dialog(const char* button, const std::function<void(QDialog*)>& action)
{
    bool ran = false;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        watch.stop();
        ran = true;
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog))
            Problems << QStringLiteral("%1 did not become active").arg(dialog->objectName());
        action(dialog);
        // Never leave a modal window behind: the session would wait in it for ever.
        if (dialog->isVisible()) {
            Problems << QStringLiteral("%1 stayed open after its step").arg(dialog->objectName());
            dialog->reject();
        }
    });
    watch.start();
    Click(Main(), button);
    if (!ran)
        Problems << QStringLiteral("%1 opened no window").arg(QString::fromLatin1(button));
}

void TSession::Look_At(const char* button, const QString& state)
{
    With_Dialog(button, [&](QDialog* dialog) {
        Show(state, dialog);
        Press(dialog, Qt::Key_Escape);
    });
}

void TSession::Create_Configuration()
{
    With_Dialog("Btn_New", [&](QDialog* dialog) {
        // The name field has the focus when the window opens.
        Type_Keys(dialog, Scenario::Configuration);
        Show(QStringLiteral("new-configuration"), dialog);
        Press(dialog, Qt::Key_Return);
    });
}

void TSession::Set_Communication()
{
    With_Dialog("Btn_Prm_Gen", [&](QDialog* dialog) {
        auto address = [&](const char* firstOctet, const QString& text) { Type_Over(dialog, firstOctet, text); };
        address("E_IEC61850_Client_IP1", QStringLiteral("10.0.0.21"));
        address("E_IEC61850_Client_SM1", QStringLiteral("255.255.255.0"));
        Click(dialog, "CB_IEC61850_Client_En_GAT");
        address("E_IEC61850_Client_GAT1", QStringLiteral("10.0.0.1"));
        Type_Over(dialog, "E_IEC61850_Client_VLAN", QStringLiteral("5"));
        Type_Over(dialog, "E_IEC61850_Client_AppID", QStringLiteral("N1"));
        address("E_EtherNetIP_IP1", QStringLiteral("192.168.1.50"));
        Type_Over(dialog, "E_EtherNetIP_NByte_In", QStringLiteral("500"));
        Type_Over(dialog, "E_EtherNetIP_NByte_Out", QStringLiteral("32"));
        Click(dialog, "Btn_OK"); // refused: the device has 496 input bytes at most
        Type_Over(dialog, "E_EtherNetIP_NByte_In", QStringLiteral("64"));
        Show(QStringLiteral("communication-settings"), dialog);
        Click(dialog, "Btn_OK");
    });
}

void TSession::Map_Access(const QString& sclFileA, const QString& sclFileB)
{
    With_Dialog("Btn_IEC61850_Client", [&](QDialog* dialog) {
        File_Dialog.Next_Files = {sclFileA, sclFileB};
        Click(dialog, "Btn_Add_IEC_Device");
        Click(dialog, "Btn_Add_IEC_Device");
        auto* devices = Find<QListWidget>(dialog, "LB_IEC_Devices");
        auto* tree = Find<QTreeWidget>(dialog, "TV_IEC_Device");
        auto* vars = Find<QTableView>(dialog, "ACG_DA");
        auto* sets = Find<QTableView>(dialog, "ACG_DataSet");
        auto* members = Find<QTableView>(dialog, "ACG_DS_Vars");

        Choose_Item(devices, QStringLiteral("InteropIED"));
        Pick_Node(tree, {"InteropIED", "InteropLD", "MMXU1", "TotW", "mag", "f"});
        Click(dialog, "Btn_AddVar");
        Choose_Item(devices, QStringLiteral("SampleIED"));
        Pick_Node(tree, {"SampleIED", "Device1", "LLN0", "NamPlt", "vendor"});
        Click(dialog, "Btn_AddVar");

        Type_Cell(dialog, vars, "IP Address", 1, "10.0.0.30");
        Type_Cell(dialog, vars, "Port", 1, "102");
        Tick_Cell(vars, "On Change", 1);
        Type_Cell(dialog, vars, "Position", 1, "0");
        Type_Cell(dialog, vars, "R/W", 1, "Read");
        Type_Cell(dialog, vars, "Convertion", 1, "None");
        Type_Cell(dialog, vars, "Molt Fact", 1, "0,5");
        Type_Cell(dialog, vars, "Mnemonic", 1, "Total power");

        Type_Cell(dialog, vars, "Start Byte", 2, "0");
        Type_Cell(dialog, vars, "Num Byte", 2, "16");
        Type_Cell(dialog, vars, "IP Address", 2, "10.0.0.31");
        Type_Cell(dialog, vars, "Port", 2, "102");
        Tick_Cell(vars, "On Timer", 2);
        Type_Cell(dialog, vars, "Time (ms)", 2, "1000");
        Type_Cell(dialog, vars, "Position", 2, "4");
        Type_Cell(dialog, vars, "R/W", 2, "Read");
        Type_Cell(dialog, vars, "Mnemonic", 2, "Vendor name");

        Pick_Node(tree, {"SampleIED", "Device1", "LLN0", "dataset1"});
        Click(dialog, "Btn_AddVar"); // shows the data set page
        Type_Cell(dialog, sets, "IP Address", 1, "10.0.0.31");
        Type_Cell(dialog, sets, "Port", 1, "102");
        Type_Cell(dialog, sets, "Time (ms)", 1, "500");
        Type_Cell(dialog, sets, "Mnemonic", 1, "Generator status");
        Click_Cell(sets, "Reference", 1);
        Type_Cell(dialog, members, "Position", 1, "20");
        Show(QStringLiteral("access-dataset"), dialog);

        Click(dialog, "Btn_OK"); // refused: row 2 has no multiplication factor
        Click_Tab(Find<QTabWidget>(dialog, "PC_Access"), 0);
        Type_Cell(dialog, vars, "Molt Fact", 2, "None");
        Show(QStringLiteral("access-variables"), dialog);
        Click(dialog, "Btn_OK");
    });
}

void TSession::Review_Access()
{
    With_Dialog("Btn_IEC61850_Client", [&](QDialog* dialog) {
        Show(QStringLiteral("access-reopened"), dialog);
        Click_Tab(Find<QTabWidget>(dialog, "PC_Access"), 1);
        Click_Cell(Find<QTableView>(dialog, "ACG_DataSet"), "Reference", 1);
        Show(QStringLiteral("access-reopened-dataset"), dialog);
        Press(dialog, Qt::Key_Escape);
    });
}

void TSession::Update_Device()
{
    With_Dialog("Btn_CreateBin", [&](QDialog* dialog) {
        Show(QStringLiteral("update-window"), dialog);
        Type_Over(dialog, "E_IP1", Scenario::Device_Address);
        QTest::keyClicks(Find<QComboBox>(dialog, "CB_Update_Options"), QStringLiteral("Configuration"));
        // The reachability check and the wait for the updater run inside the click.
        Click(dialog, "Btn_Update");
        Show(QStringLiteral("update-done"), dialog);
        Press(dialog, Qt::Key_Escape);
    });
}

void TSession::Switch_Language()
{
    With_Dialog("Btn_Opz", [&](QDialog* dialog) {
        auto* pages = Find<QTabWidget>(dialog, "PC_Options");
        Show(QStringLiteral("options-language"), dialog);
        Click_Tab(pages, 1);
        Show(QStringLiteral("options-connection"), dialog);
        Click_Tab(pages, 2);
        Show(QStringLiteral("options-settings"), dialog);
        Click_Tab(pages, 0);
        QLabel* slot = nullptr;
        for (int k = 1; k <= 6 && !slot; ++k) {
            auto* label = Find<QLabel>(dialog, QStringLiteral("L_L%1").arg(k));
            if (label->isVisible() && label->text() == Scenario::Language)
                slot = label;
        }
        if (!slot) {
            Problems << QStringLiteral("the options offer no %1").arg(Scenario::Language);
            return;
        }
        Click(slot);
        Show(QStringLiteral("options-switched"), dialog);
        Click(dialog, "Btn_OK");
    });
}

} // namespace E2E
