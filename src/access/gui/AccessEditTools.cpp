#include "access/gui/AccessEditTools.h"
#include "base/TextNumbers.h"
#include "base/gui/AppContext.h"
#include "access/gui/DataArrayPage.h"
#include "access/gui/GridFill.h"
#include "access/gui/GridView.h"
#include "access/gui/PointListExchange.h"
#include <QBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <set>

AccessEditTools::AccessEditTools(
    AccessList& access, AppContext& context, Grids grids, QTabWidget* tabs, QBoxLayout* buttons, QWidget* window)
    : QObject(window)
    , m_access(access)
    , m_context(context)
    , m_grids(grids)
    , m_tabs(tabs)
    , m_page(withObjectName(new DataArrayPage(access, context.texts, tabs), "TS_DataArray"))
{
    m_tabs->addTab(m_page, QString());
    for (GridView* grid : {grids.variables, grids.dataSets, grids.members})
        m_fills.push_back(new GridFill(grid, QString()));

    const auto button = [&](const char* name) {
        auto* b = withObjectName(new QPushButton(window), name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    m_undoButton = button("Btn_Undo");
    m_exportButton = button("Btn_ExportCsv");
    m_importButton = button("Btn_ImportCsv");
    m_undoButton->setEnabled(false);
    auto* undoKey = new QShortcut(QKeySequence::Undo, window);

    connect(m_undoButton, &QPushButton::clicked, this, &AccessEditTools::undo);
    connect(undoKey, &QShortcut::activated, this, &AccessEditTools::undo);
    connect(m_exportButton, &QPushButton::clicked, this, [this] { PointListExchange::exportFile(m_access, m_context); });
    connect(m_importButton, &QPushButton::clicked, this, [this] {
        if (!PointListExchange::importFile(m_access, m_context))
            return;
        // Rows removed before refer to rows that are gone.
        m_removals.clear();
        m_undoButton->setEnabled(false);
        emit rowsChanged();
        if (m_page->isVisible())
            m_page->recompute();
    });
    connect(m_page, &DataArrayPage::entryChosen, this, &AccessEditTools::showEntry);
}

void AccessEditTools::retranslate()
{
    const TextTable& t = m_context.texts;
    m_tabs->setTabText(m_tabs->indexOf(m_page), t[Text::DataArrayPage]);
    QPushButton* const buttons[] = {m_exportButton, m_importButton, m_undoButton};
    for (int i = 0; i < 3; ++i) {
        buttons[i]->setText(t[Text::ExportCsv + i]);
        buttons[i]->setToolTip(t[Text::ExchangeButtonHints + i]);
    }
    for (GridFill* fill : m_fills)
        fill->setText(t[Text::FillDown]);
    m_page->retranslate();
}

void AccessEditTools::loaded()
{
    m_opened = accessSnapshot(m_access);
    devicesChanged();
}

void AccessEditTools::devicesChanged()
{
    m_removals.clear();
    m_undoButton->setEnabled(false);
}

bool AccessEditTools::mayDiscard()
{
    return accessSnapshot(m_access) == m_opened
        || m_context.platform.messages->askYesNo(m_context.texts[Text::QuestionDiscardChanges]);
}

bool AccessEditTools::maySaveOverlaps()
{
    const auto occupancy = std::make_unique<Occupancy>();
    computeOccupancy(arrayEntries(m_access), *occupancy);
    if (!occupancy->hasProblems())
        return true;
    const TextTable& t = m_context.texts;
    return m_context.platform.messages->askYesNo(t[Text::QuestionSaveWithOverlaps] + u'\n'
        + problemLines(*occupancy, t, 10).join(u'\n') + u'\n' + t[Text::QuestionSaveAnyway]);
}

void AccessEditTools::showErrorCell(const Result& failed)
{
    const GridCell cell = cellOfRowError(failed, m_context.texts);
    if (cell.row < 1)
        return;
    GridView* grid = cell.grid == GridCell::Variables ? m_grids.variables : m_grids.dataSets;
    m_tabs->setCurrentWidget(grid->parentWidget());
    grid->setCurrent(cell.grid == GridCell::Members ? int(DataSetColumn::Reference) : cell.col, cell.row);
    grid->scrollTo(grid->currentIndex());
    if (cell.grid == GridCell::Members) {
        // Moving to the data set row shows its members.
        grid = m_grids.members;
        grid->setCurrent(cell.col, cell.member);
        grid->scrollTo(grid->currentIndex());
    }
    grid->setFocus();
}

std::vector<int> AccessEditTools::selectedRows(GridView* grid) const
{
    std::set<int> rows;
    for (const QModelIndex& index : grid->selectionModel()->selectedIndexes())
        rows.insert(GridModel::gridRow(index.row()));
    if (rows.empty() && grid->currentRow() > 0)
        rows.insert(grid->currentRow());
    return {rows.begin(), rows.end()};
}

void AccessEditTools::removeSelectedRows()
{
    QWidget* page = m_tabs->currentWidget();
    if (page->isAncestorOf(m_grids.variables))
        m_removals.push(removeVariableRows(m_access.variableGrid, selectedRows(m_grids.variables)));
    else if (page->isAncestorOf(m_grids.dataSets))
        m_removals.push(removeDataSetRows(m_access, selectedRows(m_grids.dataSets)));
    else
        return;
    m_undoButton->setEnabled(!m_removals.isEmpty());
    emit rowsChanged();
}

void AccessEditTools::undo()
{
    if (m_removals.isEmpty())
        return;
    Removal removal = m_removals.takeLast();
    GridView* grid = removal.dataSets ? m_grids.dataSets : m_grids.variables;
    const int firstRow = removal.rows.front();
    undoRemoval(m_access, removal);
    m_undoButton->setEnabled(!m_removals.isEmpty());
    emit rowsChanged();
    m_tabs->setCurrentWidget(grid->parentWidget());
    grid->setCurrent(VariableColumn::Index, std::min(firstRow, grid->gridModel()->grid().rowCount() - 1));
}

void AccessEditTools::showEntry(const ArrayUser& user)
{
    GridView* grid = user.kind == ArrayUser::Variable ? m_grids.variables : m_grids.dataSets;
    m_tabs->setCurrentWidget(grid->parentWidget());
    const int col = user.kind == ArrayUser::Variable ? int(VariableColumn::Reference) : int(DataSetColumn::Reference);
    grid->setCurrent(col, user.row);
    grid->scrollTo(grid->currentIndex());
    if (user.kind == ArrayUser::Member) {
        // Moving to the data set row shows its members.
        m_grids.members->setCurrent(MemberColumn::Position, user.member);
        m_grids.members->scrollTo(m_grids.members->currentIndex());
    }
}
