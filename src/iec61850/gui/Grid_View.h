#pragma once
#include "Grid.h"
#include <QAbstractTableModel>
#include <QTableView>

struct TProgramState;

// How the cells of a column are edited. Check-box cells hold "Y" or "N"; a drop-down offers
// its fixed choices. Locked cells (TGrid::Read_Only) are never edited, whatever the column.
enum class TCol_Editor { Text, Read_Only, Check, Choice };

// Shows a TGrid: the grid's heading row is the view's header, grid row r is view row r - 1
// (View_Row / Grid_Row are the only places that know it), column 0 is the fixed number column.
class TGrid_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TGrid_Model(TGrid& grid, QObject* parent = nullptr);

    static int View_Row(int gridRow) { return gridRow - 1; }
    static int Grid_Row(int viewRow) { return viewRow + 1; }

    TGrid& Grid() { return Data; }
    // Header hints by column; column 0 and columns without an entry show none.
    void Set_Hints(const QStringList& hints);
    void Set_Column_Editor(int col, TCol_Editor editor, const QStringList& choices = {});
    TCol_Editor Column_Editor(int col) const;
    QStringList Choices(int col) const;
    // Call after the grid was changed behind the model's back.
    void Refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct TColumn {
        TCol_Editor Editor = TCol_Editor::Text;
        QStringList Choices;
    };
    TGrid& Data;
    QStringList Hints;
    std::vector<TColumn> Columns;
};

// The table of the access window: Enter jumps to the next cell and a double click on a heading
// fits the column when the options say so; a click in the number column selects the row.
class TGrid_View : public QTableView {
    Q_OBJECT
public:
    TGrid_View(TGrid& grid, const TProgramState& state, QWidget* parent = nullptr);

    TGrid_Model* Grid_Model() const { return Model; }
    // The current cell in grid coordinates; row 0 when there is none.
    int Col() const;
    int Row() const;
    void Set_Current(int col, int row);
    // Shows the grid again after a core operation changed it; the current cell stays where it
    // was, or on the last row when its row went away.
    void Reload();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void ClickCell(const QModelIndex& index);
    void Enter_Jump();
    void DblClickHeading(int col);

    TGrid_Model* Model;
    const TProgramState& State;
    bool Jump_After_Edit = false;
};
