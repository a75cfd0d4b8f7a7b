#pragma once
#include "access/core/Grid.h"
#include <QAbstractTableModel>
#include <QTableView>

struct ProgramState;

// How the cells of a column are edited. Check-box cells hold "Y" or "N"; a drop-down offers
// its fixed choices. Locked cells (StringGrid::setReadOnly) are never edited, whatever the column.
enum class ColumnEditor { Text, ReadOnly, Check, Choice };

// Shows a StringGrid: the grid's heading row is the view's header, grid row r is view row r - 1
// (viewRow / gridRow are the only places that know it), column 0 is the fixed number column.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(StringGrid& grid, QObject* parent = nullptr);

    static int viewRow(int gridRow) { return gridRow - 1; }
    static int gridRow(int viewRow) { return viewRow + 1; }

    StringGrid& grid() { return m_grid; }
    // Header hints by column; column 0 and columns without an entry show none.
    void setHints(const QStringList& hints);
    void setColumnEditor(int col, ColumnEditor editor, const QStringList& choices = {});
    ColumnEditor columnEditor(int col) const;
    QStringList choices(int col) const;
    // Call after the grid was changed behind the model's back.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Column {
        ColumnEditor editor = ColumnEditor::Text;
        QStringList choices;
    };
    StringGrid& m_grid;
    QStringList m_hints;
    std::vector<Column> m_columns;
};

// The table of the access window: Enter jumps to the next cell and a double click on a heading
// fits the column when the options say so; a click in the number column selects the row.
class GridView : public QTableView {
    Q_OBJECT
public:
    GridView(StringGrid& grid, const ProgramState& state, QWidget* parent = nullptr);

    GridModel* gridModel() const { return m_model; }
    // The current cell in grid coordinates; row 0 when there is none.
    int currentColumn() const;
    int currentRow() const;
    void setCurrent(int col, int row);
    // Widens column `col` to its longest cell and its heading, within the visible width, whatever
    // the double-click option says; never narrows it.
    void fitColumn(int col);
    // Shows the grid again after a core operation changed it; the current cell stays where it
    // was, or on the last row when its row went away.
    void reload();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void onCellClicked(const QModelIndex& index);
    void enterJump();
    void onHeadingDoubleClicked(int col);

    GridModel* m_model;
    const ProgramState& m_state;
    bool m_jumpAfterEdit = false;
};
