#pragma once
#include "access/core/AccessList.h"
#include "base/Files.h"
#include "base/gui/AppContext.h"
#include <QDialog>

class QHBoxLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class DeviceBrowser;
class GridView;
class AccessEditTools;

// The IEC 61850 access window: the SCL catalog with its device tree on the left, the access
// list's grids on the right. Loads the access file each time it is shown; only OK saves.
class AccessDialog : public QDialog {
    Q_OBJECT
public:
    explicit AccessDialog(AppContext& appContext, QWidget* parent = nullptr);
    ~AccessDialog() override;

    void retranslate();
    // Until the next call: a failed `reason` (who holds the configuration) opens the window
    // read-only, saying why: OK and Add IEC Device (which copies into the catalog) are disabled.
    // A success makes it editable.
    void setReadOnly(const Result& reason);
    // Cancel, Escape and the close box: asks before changes are discarded.
    void reject() override;

    // Closes the window and lets go of the access list and its device models: the next showing
    // loads them again, unchanged files from the cache of models.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Refills the list box from the device list; the device whose tree is shown stays selected.
    void showDeviceList();
    // The device whose tree is shown, which is also the list box's selected item; -1 for none.
    int currentDevice() const { return shownDevice; }
    // Call after a core operation changed the grids.
    void refreshGrids();
    // The device whose tree is shown; null for none.
    const Ied* shownIed() const;
    // Widens the Reference columns to their longest reference, within the window.
    void fitReferenceColumns();

    // Adds the tree's selection to the access list; removes the current row of the page shown.
    void onAddVariableClicked();
    void onRemoveVariableClicked();
    // Fills the members grid for the current row of the data set grid.
    void showMembers();

    void setUp();
    void buildLayout();
    // The panels of the window: the devices and their tree on the left, the pages of variables
    // and data sets on the right, the buttons below; then what their signals do.
    QWidget* makeDevicePanel();
    QTabWidget* makePages();
    QHBoxLayout* makeButtonRow();
    QPushButton* makeButton(const char* name);
    void connectWidgets();
    void loadOnShow();
    void onOkClicked();
    void setColumnEditors();
    void onMemberSelected();
    void onMemberEdited(const QModelIndex& index);
    void onAddDeviceClicked();
    void onRemoveDeviceClicked();
    void onDeviceListClicked();
    void onTreeNodeClicked(QTreeWidgetItem* node);
    void clearTree();

    AppContext& context;
    int shownDevice = -1;
    // The access file was there but could not be loaded: OK asks before replacing it.
    bool accessFileUnread = false;
    // The access file as the window loaded it: OK asks before replacing changes made elsewhere.
    FileStamp loadedStamp;
    Result readOnlyReason;
    // The access list: device list, grids and data set entries.
    AccessList access;
    DataAttribute* selectedAttribute = nullptr;
    DataSet* selectedDataSet = nullptr;
    int selectedDataSetRow = 0;
    QStringList hint; // header hints of the variables grid, by column

    QLabel* softwareCodeLabel = nullptr;
    QLabel* softwareDescriptionLabel = nullptr;
    QLabel* readOnlyNotice = nullptr;
    QPushButton* addDeviceButton = nullptr;
    QListWidget* deviceList = nullptr;
    QPushButton* removeDeviceButton = nullptr;
    DeviceBrowser* deviceBrowser = nullptr;
    QTreeWidget* deviceTree = nullptr;
    QTabWidget* tabs = nullptr;
    QWidget* variablesPage = nullptr;
    QWidget* dataSetsPage = nullptr;
    GridView* variableGrid = nullptr;
    GridView* dataSetGrid = nullptr;
    GridView* memberGrid = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* addVariableButton = nullptr;
    QPushButton* removeVariableButton = nullptr;
    QPushButton* moveUpButton = nullptr;
    QPushButton* moveDownButton = nullptr;
    AccessEditTools* editTools = nullptr;
};
