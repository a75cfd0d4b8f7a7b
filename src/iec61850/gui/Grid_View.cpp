#include "Grid_View.h"
#include "Common.h"
#include "ProgramState.h"
#include <QHeaderView>
#include <QKeyEvent>

TGrid_Model::TGrid_Model(TGrid& grid, QObject* parent)
    : QAbstractTableModel(parent)
    , Data(grid)
{
}

void TGrid_Model::Set_Hints(const QStringList& hints)
{
    Hints = hints;
}

void TGrid_Model::Refresh()
{
    beginResetModel();
    endResetModel();
}

int TGrid_Model::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : View_Row(Data.Row_Count());
}

int TGrid_Model::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Data.Col_Count();
}

QVariant TGrid_Model::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return Data.Cell(index.column(), Grid_Row(index.row()));
}

bool TGrid_Model::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    Data.Set_Cell(index.column(), Grid_Row(index.row()), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TGrid_Model::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() > 0 && !Data.Read_Only(index.column(), Grid_Row(index.row())))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TGrid_Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= Data.Col_Count())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return Data.Cell(section, 0);
    if (role == Qt::ToolTipRole && section > 0 && section < Hints.size())
        return Hints[section];
    return {};
}

TGrid_View::TGrid_View(TGrid& grid, const TProgramState& state, QWidget* parent)
    : QTableView(parent)
    , Model(new TGrid_Model(grid, this))
    , State(state)
{
    setModel(Model);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setSectionsClickable(true);
    connect(this, &QTableView::clicked, this, &TGrid_View::ClickCell);
    // The table's own fit on a double click at a heading's edge obeys the option like the rest.
    disconnect(horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, &TGrid_View::DblClickHeading);
    connect(horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this, &TGrid_View::DblClickHeading);
}

int TGrid_View::Col() const
{
    return currentIndex().isValid() ? currentIndex().column() : 0;
}

int TGrid_View::Row() const
{
    return currentIndex().isValid() ? TGrid_Model::Grid_Row(currentIndex().row()) : 0;
}

void TGrid_View::Set_Current(int col, int row)
{
    setCurrentIndex(Model->index(TGrid_Model::View_Row(row), col));
}

void TGrid_View::ClickCell(const QModelIndex& index)
{
    // selectRow() does nothing in single-cell selection mode: select the row's cells directly.
    if (index.column() == 0)
        selectionModel()->select(QItemSelection(index, Model->index(index.row(), Model->columnCount() - 1)), QItemSelectionModel::ClearAndSelect);
}

void TGrid_View::keyPressEvent(QKeyEvent* event)
{
    // While a cell is edited, its editor ends the edit on Enter and closeEditor() moves on.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && State.Enable_Jump_Field_Tables && state() != EditingState) {
        Enter_Jump();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TGrid_View::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // An editor closes with SubmitModelCache exactly when Enter ends the edit.
    const bool enter = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, hint);
    if (enter && State.Enable_Jump_Field_Tables)
        Enter_Jump();
}

void TGrid_View::Enter_Jump()
{
    int col = Col(), row = Row();
    if (row == 0)
        return;
    Grid_Enter_Jump(State.Enable_Jump_Field_Tables, Enter_Key, col, row, Model->columnCount(), Model->Grid().Row_Count());
    Set_Current(col, row);
}

void TGrid_View::DblClickHeading(int col)
{
    if (Grid_Auto_Size_Col(State.Double_Click_Auto_Size, 0))
        resizeColumnToContents(col);
}
