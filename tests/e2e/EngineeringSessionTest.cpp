// A whole engineering session with the real program, from an empty program folder to an update
// of the device at 127.0.0.1 and back after a restart, checked on the files it writes and the
// messages it shows.
#include "base/ProgramFolder.h"
#include "comm/core/CommunicationSettings.h"
#include "e2e/Session.h"
#include "update/StandIn.h"
#include "support/TestSupport.h"
#include <QAbstractItemView>
#include <QComboBox>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QtEndian>
#include <gtest/gtest.h>
#include <iostream>
#include <map>

using namespace E2E;

static void PrintTo(const FakeMessageService::Shown& shown, std::ostream* out)
{
    *out << shown.kind.toStdString() << " \"" << shown.text.toStdString() << '"';
}

namespace {

using Shown = FakeMessageService::Shown;
using Messages = std::vector<Shown>;

// The access file of the session, as the engineer's entries make it.
const QByteArray expectedAccessFile
    = "<IEC_68850_Client>"
      "<List_ICD_Files>"
      "<ICD_File Name=\"GeneratorIED\" FileName=\"generator.icd\"/>"
      "<ICD_File Name=\"FeederIED\" FileName=\"feeder.icd\"/>"
      "</List_ICD_Files>"
      "<List_DA_Selected>"
      "<DA_Item Index=\"1\" bType=\"FLOAT32\" fc=\"MX\" Reference=\"FeederIEDMeas/MMXU1.TotW.mag.f\" StartByte=\"0\" "
      "NumByte=\"4\""
      " IPAddress=\"10.0.0.30\" Port=\"102\" OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"N\" Time=\"\" Position=\"0\" StartBit=\"0\""
      " ReadWrite=\"Read\" Convertion=\"None\" MoltFact=\"0,5\" Mnemonic=\"Total power\"/>"
      "<DA_Item Index=\"0\" bType=\"VisString255\" fc=\"DC\" Reference=\"GeneratorIEDGen/LLN0.NamPlt.vendor\" StartByte=\"0\" "
      "NumByte=\"16\""
      " IPAddress=\"10.0.0.31\" Port=\"102\" OnChange=\"N\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"1000\" Position=\"4\" StartBit=\"0\""
      " ReadWrite=\"Read\" Convertion=\"None\" MoltFact=\"None\" Mnemonic=\"Vendor name\"/>"
      "</List_DA_Selected>"
      "<List_DataSet_Selected>"
      "<DataSet_Item Index=\"0\" Reference=\"GeneratorIEDGen/LLN0.GenStatus\" GooseName=\"gcbGenStatus\" EnGoose=\"Y\""
      " IPAddress=\"10.0.0.31\" Port=\"102\" Time=\"500\" Mnemonic=\"Generator status\">"
      "<DataSet_List_DAs>"
      "<DataSet_DA_Item bType=\"Quality\" Reference=\"GeneratorIEDGen/LLN0.Mod.q\" Position=\"20\" StartBit=\"0\" "
      "Convertion=\"None\" "
      "MoltFact=\"\" Mnemonic=\"\"/>"
      "<DataSet_DA_Item bType=\"Quality\" Reference=\"GeneratorIEDGen/MMXU1.Mod.q\" Position=\"21\" StartBit=\"0\" "
      "Convertion=\"None\" "
      "MoltFact=\"\" Mnemonic=\"\"/>"
      "<DataSet_DA_Item bType=\"Enum\" Reference=\"GeneratorIEDGen/MMXU1.Mod.ctlModel\" Position=\"22\" StartBit=\"0\" "
      "Convertion=\"None\" MoltFact=\"\" Mnemonic=\"\"/>"
      "</DataSet_List_DAs>"
      "</DataSet_Item>"
      "</List_DataSet_Selected>"
      "</IEC_68850_Client>"
      "<!--SW_VERSION = 1.000-->";

// The communication settings of the session: the defaults with what the engineer changed.
CommunicationSettings expectedParGen()
{
    CommunicationSettings set = defaultCommunicationSettings();
    const std::pair<const char*, const char*> entered[] = {
        {"IEC61850_Client_IP1", "10"},
        {"IEC61850_Client_IP2", "0"},
        {"IEC61850_Client_IP3", "0"},
        {"IEC61850_Client_IP4", "21"},
        {"IEC61850_Client_SM1", "255"},
        {"IEC61850_Client_SM2", "255"},
        {"IEC61850_Client_SM3", "255"},
        {"IEC61850_Client_SM4", "0"},
        {"IEC61850_Client_GAT1", "10"},
        {"IEC61850_Client_GAT2", "0"},
        {"IEC61850_Client_GAT3", "0"},
        {"IEC61850_Client_GAT4", "1"},
        {"IEC61850_Client_En_GAT", "1"},
        {"IEC61850_Client_VLAN", "5"},
        {"IEC61850_Client_Application_ID", "0x1A"},
        {"EtherNetIP_IP1", "192"},
        {"EtherNetIP_IP2", "168"},
        {"EtherNetIP_IP3", "1"},
        {"EtherNetIP_IP4", "50"},
        {"EtherNetIP_NB_Input", "64"},
        {"EtherNetIP_NB_Output", "32"},
    };
    for (const auto& [key, value] : entered)
        set[CommunicationKey::find(key).value()] = QString::fromLatin1(value);
    return set;
}

// The texts a view shows, row by row, from column 1 on (column 0 is the row number).
QStringList rows(const QWidget* window, const char* grid)
{
    const QAbstractItemModel* model = window->findChild<QTableView*>(grid)->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c < model->columnCount(); ++c) {
            const QModelIndex index = model->index(r, c);
            const QVariant check = index.data(Qt::CheckStateRole);
            cells << (check.isValid() ? (check.value<Qt::CheckState>() == Qt::Checked ? "[x]" : "[ ]") : index.data().toString());
        }
        rows << cells.join(u'|');
    }
    return rows;
}

QString text(const QWidget* window, const char* name)
{
    const QObject* control = window->findChild<QObject*>(name);
    if (!control) {
        ADD_FAILURE() << "no control " << name;
        return {};
    }
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    return qobject_cast<const QWidget*>(control)->windowTitle();
}

QStringList addressFields(const QWidget* window)
{
    return {text(window, "E_IP1"), text(window, "E_IP2"), text(window, "E_IP3"), text(window, "E_IP4")};
}

// Runs swquelmor-cli as its own process; its standard output, or its error output when it fails.
QString Cli(const QStringList& arguments, bool& ok)
{
    QProcess cli;
    cli.start(QStringLiteral(SWQ_CLI), arguments);
    ok = cli.waitForFinished(30000) && cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0;
    return QString::fromUtf8(ok ? cli.readAllStandardOutput() : cli.readAllStandardError());
}

// A copy of the project's own files (no images) under `parent`, with the project's name.
QString copyProject(const QString& project, const QString& parent)
{
    const QString copy = QDir(parent).filePath(QFileInfo(project).fileName());
    QDir().mkpath(copy + "/bin");
    QDir().mkpath(copy + "/ICD_Catalog");
    for (const char* file : {"ParGen.xml", "IEC_61850_Client.xml"})
        QFile::copy(project + "/" + file, copy + "/" + file);
    for (const QString& name : QDir(project + "/ICD_Catalog").entryList(QDir::Files))
        QFile::copy(project + "/ICD_Catalog/" + name, copy + "/ICD_Catalog/" + name);
    return copy;
}

QByteArray Images(const QString& project)
{
    return readTestFile(project + "/bin/bank1.bin") + "|" + readTestFile(project + "/bin/bank2.bin");
}

} // namespace

TEST(EngineeringSession, FromAnEmptyProgramFolderToAnUpdateAndBackAfterARestart)
{
    const QString sclA = Fixture("scl/" + Scenario::sclFileA);
    const QString sclB = Fixture("scl/" + Scenario::sclFileB);
    ASSERT_TRUE(QFileInfo::exists(sclA) && QFileInfo::exists(sclB)) << sclA.toStdString();

    QTemporaryDir dir;
    const QString program = dir.filePath("program");
    ASSERT_TRUE(QDir().mkpath(program));
    const QString project = program + "/PROJECTS/" + Scenario::Configuration;

    Session session(program);
    if (!session.echoNote.isEmpty())
        std::cout << "[ note     ] " << session.echoNote.toStdString() << "\n";
    // Checks made while a window is open, by the state the session is in.
    std::map<QString, std::function<void(QWidget*)>> checks;
    QStringList checked;
    session.view = [&](const QString& state, QWidget* window) {
        if (const auto check = checks.find(state); check != checks.end()) {
            SCOPED_TRACE(state.toStdString());
            check->second(window);
            checked << state;
        }
    };
    auto messages = [&] { return std::exchange(session.messages.shown, {}); };

    {
        SCOPED_TRACE("first start");
        session.start();
        EXPECT_EQ(
            QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{"LANGUAGE", "MASTER", "PROJECTS"}));
        EXPECT_EQ(text(session.Main(), "L_Name_Conf"), "None Configuration Opened ");
        EXPECT_EQ(text(session.Main(), "L_Name_Conf_L2"), "Use Step1 to open or create new configuration");
        session.installLanguages(SWQ_BUILD_LANGUAGE_DIR);
    }
    {
        SCOPED_TRACE("step 1: new configuration");
        session.createConfiguration();
        EXPECT_EQ(text(session.Main(), "L_Name_Conf"), "Opened Configuration of the Converter : ");
        EXPECT_EQ(text(session.Main(), "L_Name_Conf_L2"), Scenario::Configuration);
        EXPECT_EQ(QDir(project).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"bin"});
        EXPECT_EQ(messages(), Messages{});
    }
    {
        SCOPED_TRACE("step 2: communication settings");
        session.setCommunication();
        EXPECT_EQ(messages(), (Messages{{"error", "Error EtherNet/IP!! Number Byte Input must be between 0 and 496"}}));
        CommunicationSettings saved;
        ASSERT_TRUE(readParGenFile(project + "/ParGen.xml", saved).ok);
        EXPECT_EQ(saved.values, expectedParGen().values);
        const QByteArray file = readTestFile(project + "/ParGen.xml");
        EXPECT_TRUE(file.startsWith("<Par_Gen>") && file.endsWith("</Par_Gen><!--SW_VERSION = 1.000-->")) << file.toStdString();
    }
    {
        SCOPED_TRACE("step 3: IEC 61850 access");
        session.mapAccess(sclA, sclB);
        // OK names the members placed on bytes of another and saves when told to.
        EXPECT_EQ(messages(),
            (Messages{{"error", "Error row 2!! Mult. Factor must be a valid Float"},
                {"question",
                    "Check the places of these entries in the internal data array:\n"
                    "DataSet row 1 member 2 overlaps DataSet row 1 member 1 at position 21\n"
                    "DataSet row 1 member 3 overlaps DataSet row 1 member 1 at position 22\nSave anyway?"}}));
        EXPECT_EQ(readTestFile(project + "/IEC_61850_Client.xml"), expectedAccessFile);
        EXPECT_EQ(QDir(project + "/ICD_Catalog").entryList(QDir::Files, QDir::Name),
            (QStringList{Scenario::sclFileB, Scenario::sclFileA}));
    }
    {
        SCOPED_TRACE("step 3 again: the same entries");
        checks["access-reopened"] = [](QWidget* w) {
            auto* devices = w->findChild<QListWidget*>("LB_IEC_Devices");
            ASSERT_EQ(devices->count(), 2);
            EXPECT_EQ(devices->item(0)->text(), "GeneratorIED - generator.icd");
            EXPECT_EQ(devices->item(1)->text(), "FeederIED - feeder.icd");
            EXPECT_EQ(w->findChild<QTabWidget*>("PC_Access")->currentIndex(), 0);
            EXPECT_EQ(rows(w, "ACG_DA"),
                (QStringList{
                    "1|FLOAT32|MX|FeederIEDMeas/MMXU1.TotW.mag.f|0|4|10.0.0.30|102|[x]|[ ]|[ ]||0|0|Read|None|0,5|Total power",
                    "0|VisString255|DC|GeneratorIEDGen/LLN0.NamPlt.vendor|0|16|10.0.0.31|102|[ ]|[ "
                    "]|[x]|1000|4|0|Read|None|None|Vendor name"}));
        };
        checks["access-reopened-dataset"] = [](QWidget* w) {
            EXPECT_EQ(rows(w, "ACG_DataSet"),
                QStringList{"0|GeneratorIEDGen/LLN0.GenStatus|gcbGenStatus|[x]|10.0.0.31|102|500|Generator status"});
            EXPECT_EQ(rows(w, "ACG_DS_Vars"),
                (QStringList{"Quality|GeneratorIEDGen/LLN0.Mod.q|20|0|None||", "Quality|GeneratorIEDGen/MMXU1.Mod.q|21|0|None||",
                    "Enum|GeneratorIEDGen/MMXU1.Mod.ctlModel|22|0|None||"}));
        };
        session.reviewAccess();
        EXPECT_EQ(messages(), Messages{});
        // Looking changed nothing.
        EXPECT_EQ(readTestFile(project + "/IEC_61850_Client.xml"), expectedAccessFile);
    }
    {
        SCOPED_TRACE("step 4: images and update");
        installStandInUpdater(program, 0, 1000);
        checks["update-summary"] = [&](QWidget* w) {
            EXPECT_EQ(text(w, "L_Configuration"), Scenario::Configuration);
            EXPECT_EQ(text(w, "L_Address"), "192.168.2.205");
            EXPECT_EQ(text(w, "L_Variables"), "2");
            EXPECT_EQ(text(w, "L_DataSets"), "1");
            EXPECT_TRUE(w->findChild<QLabel*>("L_Firmware_Missing"));
        };
        checks["update-window"] = [&](QWidget* w) {
            // Step 4 has written both images before the window opens.
            EXPECT_TRUE(QFileInfo::exists(project + "/bin/bank1.bin"));
            EXPECT_TRUE(QFileInfo::exists(project + "/bin/bank2.bin"));
            EXPECT_EQ(addressFields(w), (QStringList{"192", "168", "2", "205"}));
            EXPECT_EQ(text(w, "CB_Update_Options"), "Firmware + Configuration");
        };
        checks["update-running"] = [&](QWidget* w) {
            EXPECT_FALSE(w->findChild<QWidget*>("Btn_Update")->isEnabled());
            EXPECT_EQ(text(w, "L_Run_State"), "The updater is running: 0 s");
        };
        checks["update-done"] = [&](QWidget* w) {
            EXPECT_TRUE(w->isVisible()); // the window stays open after a run
            EXPECT_TRUE(w->findChild<QWidget*>("Btn_Update")->isEnabled());
            EXPECT_EQ(addressFields(w), (QStringList{"127", "0", "0", "1"}));
            EXPECT_EQ(text(w, "CB_Update_Options"), "Configuration");
        };
        session.updateDevice();
        checks.erase("update-summary");
        EXPECT_EQ(messages(), (Messages{{"information", "The updater ended with exit code 0: the update is done."}}));
        const QStringList log = QString::fromUtf8(readTestFile(project + "/update-log.csv")).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(log.size(), 2);
        EXPECT_TRUE(
            log[1].endsWith(",127.0.0.1,Configuration,1,2048," + QString::number(readTestFile(project + "/bin/bank2.bin").size())
                + "," + QString::number(qFromLittleEndian<quint32>(readTestFile(project + "/bin/bank1.bin").constData() + 0x7FC))
                + ",exit code 0"))
            << log[1].toStdString();

        const auto record = standInRecord(program, 5000);
        EXPECT_EQ(record.value("arguments"), "0");
        EXPECT_EQ(record.value("descriptor"), "1");
        const QString descriptor = QString::fromUtf8(readTestFile(program + "/Ethernet_Update.xml"));
        EXPECT_TRUE(descriptor.contains("<IP_Address_Dev>127.0.0.1</IP_Address_Dev>")) << descriptor.toStdString();
        EXPECT_EQ(descriptor.count("<Operation>"), 2) << descriptor.toStdString();
        EXPECT_TRUE(
            descriptor.contains("<Ope_FileName>" + QDir::toNativeSeparators(project + "/bin/bank1.bin") + "</Ope_FileName>"));
        EXPECT_TRUE(
            descriptor.contains("<Ope_FileName>" + QDir::toNativeSeparators(project + "/bin/bank2.bin") + "</Ope_FileName>"));
        EXPECT_EQ(descriptor.count("<Ope_Read_Back>1</Ope_Read_Back>"), 2);

        // The same project built by the command-line tool gives the same images.
        const QString copy = copyProject(project, dir.filePath("cli"));
        bool ok = false;
        const QString built = Cli({"build", copy}, ok);
        ASSERT_TRUE(ok) << built.toStdString();
        EXPECT_EQ(Images(project), Images(copy));
        EXPECT_EQ(readTestFile(project + "/bin/bank1.bin").size(), 2048);

        // And the device gets what the engineer entered.
        const QString block = Cli({"inspect", project + "/bin/bank1.bin"}, ok);
        EXPECT_TRUE(ok) << block.toStdString();
        for (const char* line :
            {"IEC61850_Client_IP   = 10.0.0.21", "IEC61850_Client_GAT  = 10.0.0.1", "EtherNetIP_IP        = 192.168.1.50",
                "EtherNetIP_NB_Input  = 64", "EtherNetIP_NB_Output = 32", "checksum correct"})
            EXPECT_TRUE(block.contains(line)) << line << "\n" << block.toStdString();
        const QString tables = Cli({"inspect", project + "/bin/bank2.bin"}, ok);
        EXPECT_TRUE(ok) << tables.toStdString();
        for (const char* line : {"nVariable                  = 2", "nDataSet                   = 1",
                 "vLan                       = 5", "moltFactor                 = 0.5 (0x3F000000)",
                 "options                    = 4 (on timer)", "-> \"GeneratorIEDGen/LLN0.NamPlt.vendor\"",
                 "numbyte                    = 16", "position                   = 20", "-> \"gcbGenStatus\""})
            EXPECT_TRUE(tables.contains(line)) << line << "\n" << tables.toStdString();
    }
    {
        SCOPED_TRACE("options: language");
        checks["options-switched"] = [](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Opzioni del software");
            EXPECT_EQ(text(w, "L_Sel_Lang"), "Lingua selezionata : Italiano");
            EXPECT_EQ(text(w, "L_Page_Lang"), "Pagina 1 / 1");
            EXPECT_EQ(text(w, "CB_En_Con"), "Abilita la connessione a Internet");
            EXPECT_EQ(text(w, "Btn_Cancel"), "Annulla");
            const auto* pages = w->findChild<QTabWidget*>("PC_Options");
            EXPECT_EQ(pages->tabText(0), "Lingua");
            EXPECT_EQ(pages->tabText(2), "Impostazioni del software");
            EXPECT_EQ(pages->currentIndex(), 0);
        };
        session.switchLanguage();
        EXPECT_EQ(messages(), (Messages{{"question", "Do you want to change the Language from English to Italiano?"}}));
        const MainWindow* main = session.Main();
        EXPECT_EQ(text(main, "Btn_New"), "Nuova configurazione");
        EXPECT_EQ(text(main, "Btn_Prm_Gen"), "Imposta comunicazione");
        EXPECT_EQ(text(main, "L_Name_Conf"), "Configurazione del convertitore aperta : ");
        EXPECT_EQ(text(main, "L_Name_Conf_L2"), Scenario::Configuration);
        // Every other window of the program, shown or not, has its new captions already.
        const std::pair<const char*, const char*> captions[] = {
            {"TFNew_Project", "Crea nuova configurazione"},
            {"TFOpenConf", "Apri configurazione"},
            {"TFParGen", "Imposta comunicazione"},
            {"TFIEC_61850_Access", "Accesso client IEC61850"},
            {"TFBoot", "Aggiorna il dispositivo via Ethernet (UDP)"},
        };
        for (const auto& [window, caption] : captions)
            EXPECT_EQ(main->findChild<QWidget*>(window)->windowTitle(), caption) << window;
        EXPECT_EQ(text(main->findChild<QWidget*>("TFIEC_61850_Access"), "Btn_Cancel"), "Annulla");
        EXPECT_TRUE(readTestFile(QDir(program).filePath(settingsFileName)).contains("<language>Italiano</language>"));
    }
    {
        SCOPED_TRACE("close and restart");
        // The file that OK wrote goes away, so that what the restart finds is what closing wrote.
        ASSERT_TRUE(QFile::remove(QDir(program).filePath(settingsFileName)));
        session.Close();
        EXPECT_EQ(readTestFile(QDir(program).filePath(settingsFileName)),
            "<Conf_Settings><lastproj><projectname>Substation North</projectname></lastproj>"
            "<lastipadd><ipaddress>127.0.0.1</ipaddress></lastipadd><lastlang><language>Italiano</language></lastlang>"
            "<lastinternet><enable_internet>0</enable_internet><enable_update>0</enable_update>"
            "<enable_jump_field_tables>0</enable_jump_field_tables><Double_Click_Auto_Size>0</Double_Click_Auto_Size></"
            "lastinternet>"
            "</Conf_Settings>");

        session.start();
        EXPECT_EQ(text(session.Main(), "L_Name_Conf"), "Configurazione del convertitore aperta : ");
        EXPECT_EQ(text(session.Main(), "L_Name_Conf_L2"), Scenario::Configuration);
        EXPECT_EQ(text(session.Main(), "Btn_CreateBin"), "Aggiorna dispositivo UDP");
        checks["update-after-restart"] = [](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Aggiorna il dispositivo via Ethernet (UDP)");
            EXPECT_EQ(addressFields(w), (QStringList{"127", "0", "0", "1"}));
            // Only the address is remembered between runs.
            EXPECT_EQ(text(w, "CB_Update_Options"), "Firmware + configurazione");
            EXPECT_TRUE(w->findChild<QCheckBox*>("CB_Update_Option_Read_Back")->isChecked());
            EXPECT_EQ(text(w, "CB_Update_Option_Read_Back"), "Rilettura");
        };
        session.lookAt("Btn_CreateBin", "update-after-restart");
        checks["open-after-restart"] = [](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Apri configurazione");
            const auto* list = w->findChild<QListWidget*>("ListBox1");
            ASSERT_TRUE(list->currentItem());
            EXPECT_EQ(list->currentItem()->text(), Scenario::Configuration);
        };
        session.lookAt("Btn_Open", "open-after-restart");
        checks["access-after-restart"] = [](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Accesso client IEC61850");
            const QAbstractItemModel* vars = w->findChild<QTableView*>("ACG_DA")->model();
            EXPECT_EQ(vars->headerData(4, Qt::Horizontal).toString(), "Riferimento");
            EXPECT_EQ(vars->headerData(18, Qt::Horizontal).toString(), "Descrizione");
            EXPECT_EQ(vars->rowCount(), 2);
            EXPECT_EQ(rows(w, "ACG_DataSet").size(), 1);
        };
        session.lookAt("Btn_IEC61850_Client", "access-after-restart");
        EXPECT_EQ(messages(), Messages{});
        session.Close();
    }
    for (const auto& [state, check] : checks)
        EXPECT_TRUE(checked.contains(state)) << "never reached: " << state.toStdString();
    EXPECT_TRUE(session.problems.isEmpty()) << session.problems.join("\n").toStdString();
}
