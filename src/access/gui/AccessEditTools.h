#pragma once
#include "access/core/AccessEdits.h"
#include "access/core/DataArray.h"
#include <QObject>

struct AppContext;
class DataArrayPage;
class GridFill;
class GridView;
class QBoxLayout;
class QPushButton;
class QTabWidget;

// What the access window adds to its grids so that work is neither lost nor repeated: the
// "Data array" page, Export CSV / Import CSV, removal of several rows with Undo (Ctrl+Z),
// Fill down, the question before changes are discarded, the warning before overlapping entries
// are saved and the focus on the cell a validation error names.
class AccessEditTools : public QObject {
    Q_OBJECT
public:
    struct Grids {
        GridView* variables;
        GridView* dataSets;
        GridView* members;
    };
    // Adds its page to `tabs` and its buttons to `buttons`.
    AccessEditTools(AccessList& access, AppContext& context, Grids grids, QTabWidget* tabs, QBoxLayout* buttons, QWidget* window);

    void retranslate();
    // The access list was loaded: from now on changes count, and no removal can be undone.
    void loaded();
    // Devices were removed: the removals kept refer to their indexes and models.
    void devicesChanged();
    // True when the window may close without saving: nothing changed, or the engineer agrees.
    bool mayDiscard();
    // True when OK may save: no overlapping entries, or the engineer saves anyway.
    bool maySaveOverlaps();
    // Shows the cell that a failed validation names.
    void showErrorCell(const Result& failed);
    // Removes the selected rows of the page shown (the current row when none is selected).
    void removeSelectedRows();

signals:
    // Rows were removed, brought back or imported: the grids must be shown again.
    void rowsChanged();

private:
    void undo();
    void showEntry(const ArrayUser& user);
    std::vector<int> selectedRows(GridView* grid) const;

    AccessList& m_access;
    AppContext& m_context;
    Grids m_grids;
    QTabWidget* m_tabs;
    DataArrayPage* m_page;
    std::vector<GridFill*> m_fills;
    QPushButton* m_exportButton;
    QPushButton* m_importButton;
    QPushButton* m_undoButton;
    RemovalHistory m_removals;
    QByteArray m_opened; // the access list as loaded
};
