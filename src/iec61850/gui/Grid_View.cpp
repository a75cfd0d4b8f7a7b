#include "Grid_View.h"
#include "Common.h"
#include "ProgramState.h"
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <utility>

namespace {

const QString Checked_Text = QStringLiteral("Y");
const QString Unchecked_Text = QStringLiteral("N");

// Drop-down editor for the choice columns; every other column edits as plain text.
class TGrid_Delegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QStringList choices = Choices(index);
        if (choices.isEmpty())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* combo = new QComboBox(parent);
        combo->addItems(choices);
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            // Closing the list without a choice keeps the cell as it was.
            if (combo->currentIndex() >= 0)
                model->setData(index, combo->currentText(), Qt::EditRole);
        } else
            QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    static QStringList Choices(const QModelIndex& index)
    {
        const auto* model = qobject_cast<const TGrid_Model*>(index.model());
        return model ? model->Choices(index.column()) : QStringList();
    }
};

} // namespace

TGrid_Model::TGrid_Model(TGrid& grid, QObject* parent)
    : QAbstractTableModel(parent)
    , Data(grid)
{
}

void TGrid_Model::Set_Hints(const QStringList& hints)
{
    Hints = hints;
}

void TGrid_Model::Set_Column_Editor(int col, TCol_Editor editor, const QStringList& choices)
{
    Columns.resize(static_cast<size_t>(Data.Col_Count()));
    Columns[static_cast<size_t>(col)] = {editor, choices};
}

TCol_Editor TGrid_Model::Column_Editor(int col) const
{
    return col > 0 && col < static_cast<int>(Columns.size()) ? Columns[static_cast<size_t>(col)].Editor : TCol_Editor::Text;
}

QStringList TGrid_Model::Choices(int col) const
{
    return Column_Editor(col) == TCol_Editor::Choice ? Columns[static_cast<size_t>(col)].Choices : QStringList();
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
    if (!index.isValid())
        return {};
    const QString text = Data.Cell(index.column(), Grid_Row(index.row()));
    if (Column_Editor(index.column()) == TCol_Editor::Check) {
        // A check-box cell shows its box only; the text stays "Y" or "N".
        if (role == Qt::CheckStateRole)
            return text == Checked_Text ? Qt::Checked : Qt::Unchecked;
        return role == Qt::EditRole ? QVariant(text) : QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return text;
}

bool TGrid_Model::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    QString text;
    if (role == Qt::CheckStateRole && (flags(index) & Qt::ItemIsUserCheckable))
        text = value.value<Qt::CheckState>() == Qt::Checked ? Checked_Text : Unchecked_Text;
    else if (role == Qt::EditRole && (flags(index) & Qt::ItemIsEditable))
        text = value.toString();
    else
        return false;
    Data.Set_Cell(index.column(), Grid_Row(index.row()), text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags TGrid_Model::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0 || Data.Read_Only(index.column(), Grid_Row(index.row())))
        return f;
    switch (Column_Editor(index.column())) {
    case TCol_Editor::Read_Only:
        return f;
    case TCol_Editor::Check:
        return f | Qt::ItemIsUserCheckable;
    default:
        return f | Qt::ItemIsEditable;
    }
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
    setItemDelegate(new TGrid_Delegate(this));
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

void TGrid_View::Reload()
{
    const int col = Col(), row = Row();
    Model->Refresh();
    if (row > 0)
        Set_Current(col, std::min(row, Model->Grid().Row_Count() - 1));
}

void TGrid_View::ClickCell(const QModelIndex& index)
{
    // selectRow() does nothing in single-cell selection mode: select the row's cells directly.
    if (index.column() == 0)
        selectionModel()->select(QItemSelection(index, Model->index(index.row(), Model->columnCount() - 1)), QItemSelectionModel::ClearAndSelect);
}

void TGrid_View::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && State.Enable_Jump_Field_Tables) {
        // Enter that ends an edit reaches the table before the editor is closed (the item
        // delegate closes it later): jump once it is closed, so that the value lands in the
        // edited cell and the move happens once.
        if (state() == EditingState)
            Jump_After_Edit = true;
        else
            Enter_Jump();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TGrid_View::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Only an edit ended by Enter jumps; clicking another cell also closes the editor.
    const bool jump = std::exchange(Jump_After_Edit, false);
    QTableView::closeEditor(editor, hint);
    if (jump && State.Enable_Jump_Field_Tables)
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
