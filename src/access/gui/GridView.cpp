#include "access/gui/GridView.h"
#include "base/Conversions.h"
#include "base/ProgramState.h"
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <utility>

namespace {

const QString checkedText = QStringLiteral("Y");
const QString uncheckedText = QStringLiteral("N");

// Drop-down editor for the choice columns; every other column edits as plain text.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QStringList choices = choicesOf(index);
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
    static QStringList choicesOf(const QModelIndex& index)
    {
        const auto* model = qobject_cast<const GridModel*>(index.model());
        return model ? model->choices(index.column()) : QStringList();
    }
};

} // namespace

GridModel::GridModel(StringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
{
}

void GridModel::setHints(const QStringList& hints) { m_hints = hints; }

void GridModel::setColumnEditor(int col, ColumnEditor editor, const QStringList& choices)
{
    m_columns.resize(static_cast<size_t>(m_grid.colCount()));
    m_columns[static_cast<size_t>(col)] = {editor, choices};
}

ColumnEditor GridModel::columnEditor(int col) const
{
    return col > 0 && col < static_cast<int>(m_columns.size()) ? m_columns[static_cast<size_t>(col)].editor : ColumnEditor::Text;
}

QStringList GridModel::choices(int col) const
{
    return columnEditor(col) == ColumnEditor::Choice ? m_columns[static_cast<size_t>(col)].choices : QStringList();
}

void GridModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : viewRow(m_grid.rowCount()); }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_grid.colCount(); }

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const QString text = m_grid.cell(index.column(), gridRow(index.row()));
    if (columnEditor(index.column()) == ColumnEditor::Check) {
        // A check-box cell shows its box only; the text stays "Y" or "N".
        if (role == Qt::CheckStateRole)
            return text == checkedText ? Qt::Checked : Qt::Unchecked;
        return role == Qt::EditRole ? QVariant(text) : QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return text;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    QString text;
    if (role == Qt::CheckStateRole && (flags(index) & Qt::ItemIsUserCheckable))
        text = value.value<Qt::CheckState>() == Qt::Checked ? checkedText : uncheckedText;
    else if (role == Qt::EditRole && (flags(index) & Qt::ItemIsEditable))
        text = value.toString();
    else
        return false;
    m_grid.setCell(index.column(), gridRow(index.row()), text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0 || m_grid.isLocked(index.column(), gridRow(index.row())))
        return f;
    switch (columnEditor(index.column())) {
    case ColumnEditor::ReadOnly:
        return f;
    case ColumnEditor::Check:
        return f | Qt::ItemIsUserCheckable;
    default:
        return f | Qt::ItemIsEditable;
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_grid.colCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_grid.cell(section, 0);
    if (role == Qt::ToolTipRole && section > 0 && section < m_hints.size())
        return m_hints[section];
    return {};
}

GridView::GridView(StringGrid& grid, const ProgramState& state, QWidget* parent)
    : QTableView(parent)
    , m_model(new GridModel(grid, this))
    , m_state(state)
{
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setSectionsClickable(true);
    connect(this, &QTableView::clicked, this, &GridView::onCellClicked);
    // The table's own fit on a double click at a heading's edge obeys the option like the rest.
    disconnect(horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, &GridView::onHeadingDoubleClicked);
    connect(horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this, &GridView::onHeadingDoubleClicked);
}

int GridView::currentColumn() const { return currentIndex().isValid() ? currentIndex().column() : 0; }

int GridView::currentRow() const { return currentIndex().isValid() ? GridModel::gridRow(currentIndex().row()) : 0; }

void GridView::setCurrent(int col, int row) { setCurrentIndex(m_model->index(GridModel::viewRow(row), col)); }

void GridView::reload()
{
    const int col = currentColumn(), row = currentRow();
    m_model->refresh();
    if (row > 0)
        setCurrent(col, std::min(row, m_model->grid().rowCount() - 1));
}

void GridView::fitColumn(int col)
{
    const int wanted = std::max(sizeHintForColumn(col), horizontalHeader()->sectionSizeHint(col));
    const int room = std::max(viewport()->width() - columnWidth(0), horizontalHeader()->defaultSectionSize());
    const int width = std::min(wanted, room);
    if (width > columnWidth(col))
        setColumnWidth(col, width);
}

void GridView::onCellClicked(const QModelIndex& index)
{
    // selectRow() does nothing in single-cell selection mode: select the row's cells directly.
    if (index.column() == 0)
        selectionModel()->select(
            QItemSelection(index, m_model->index(index.row(), m_model->columnCount() - 1)), QItemSelectionModel::ClearAndSelect);
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_state.enableJumpFieldTables) {
        // Enter that ends an edit reaches the table before the editor is closed (the item
        // delegate closes it later): jump once it is closed, so that the value lands in the
        // edited cell and the move happens once.
        if (state() == EditingState)
            m_jumpAfterEdit = true;
        else
            enterJump();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Only an edit ended by Enter jumps; clicking another cell also closes the editor.
    const bool jump = std::exchange(m_jumpAfterEdit, false);
    QTableView::closeEditor(editor, hint);
    if (jump && m_state.enableJumpFieldTables)
        enterJump();
}

void GridView::enterJump()
{
    int col = currentColumn(), row = currentRow();
    if (row == 0)
        return;
    gridEnterJump(m_state.enableJumpFieldTables, enterKey, col, row, m_model->columnCount(), m_model->grid().rowCount());
    setCurrent(col, row);
}

void GridView::onHeadingDoubleClicked(int col)
{
    if (gridAutoSizeColumn(m_state.doubleClickAutoSize, 0))
        resizeColumnToContents(col);
}
