#include "access/gui/DataArrayPage.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include <QColor>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

DataArrayModel::DataArrayModel(const Occupancy& occupancy, const TextTable& texts, QObject* parent)
    : QAbstractTableModel(parent)
    , m_occupancy(occupancy)
    , m_texts(texts)
{
}

QColor DataArrayModel::colourOf(Occupancy::State state)
{
    switch (state) {
    case Occupancy::Variable:
        return {120, 170, 240};
    case Occupancy::Member:
        return {130, 205, 130};
    case Occupancy::Conflict:
        return {230, 60, 50};
    default:
        return {250, 250, 250};
    }
}

void DataArrayModel::refresh()
{
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole, Qt::ToolTipRole});
}

int DataArrayModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : dataArrayBytes / bytesPerRow; }

int DataArrayModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : bytesPerRow; }

QVariant DataArrayModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int position = positionOf(index);
    const auto at = static_cast<size_t>(position);
    if (role == Qt::BackgroundRole)
        return colourOf(m_occupancy.bytes[at]);
    if (role == Qt::ToolTipRole) {
        QStringList lines{m_texts[Text::ArrayCellTip].arg(position)};
        for (int entry : m_occupancy.users[at])
            lines << userText(m_occupancy.entries[static_cast<size_t>(entry)].user, m_texts);
        return lines.join(u'\n');
    }
    return {};
}

QVariant DataArrayModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    // Rows are headed by their first position, columns by the offset within the row.
    return orientation == Qt::Vertical ? section * bytesPerRow : section;
}

DataArrayPage::DataArrayPage(const AccessList& access, const TextTable& texts, QWidget* parent)
    : QWidget(parent)
    , m_access(access)
    , m_texts(texts)
    , m_occupancy(std::make_unique<Occupancy>())
    , m_model(new DataArrayModel(*m_occupancy, texts, this))
    , m_view(new QTableView(this))
    , m_summary(new QLabel(this))
{
    m_view->setObjectName(QStringLiteral("ACG_DataArray"));
    m_view->setModel(m_model);
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_view->horizontalHeader()->setMinimumSectionSize(14);
    // Small rows and headings, so that the whole array fits on the page.
    QFont small = m_view->font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    m_view->horizontalHeader()->setFont(small);
    m_view->verticalHeader()->setFont(small);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setMinimumSectionSize(1);
    m_view->verticalHeader()->setDefaultSectionSize(QFontMetrics(small).height() + 4);
    m_summary->setObjectName(QStringLiteral("L_DataArraySummary"));
    m_summary->setWordWrap(true);

    auto* legend = new QHBoxLayout;
    for (Occupancy::State state : {Occupancy::Free, Occupancy::Variable, Occupancy::Member, Occupancy::Conflict}) {
        auto* swatch = new QLabel(this);
        swatch->setFixedSize(14, 14);
        swatch->setStyleSheet(
            QStringLiteral("background: %1; border: 1px solid gray").arg(DataArrayModel::colourOf(state).name()));
        auto* label = new QLabel(this);
        legend->addWidget(swatch);
        legend->addWidget(label);
        legend->addSpacing(12);
        m_legend.push_back(label);
    }
    legend->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(legend);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_summary);

    connect(m_view, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        const auto& users = m_occupancy->users[static_cast<size_t>(DataArrayModel::positionOf(index))];
        if (!users.empty())
            emit entryChosen(m_occupancy->entries[static_cast<size_t>(users.front())].user);
    });
    retranslate();
}

DataArrayPage::~DataArrayPage() = default;

void DataArrayPage::recompute()
{
    computeOccupancy(arrayEntries(m_access), *m_occupancy);
    m_model->refresh();
    m_summary->setText(problemLines(*m_occupancy, m_texts, 5).join(u'\n'));
}

void DataArrayPage::retranslate()
{
    for (size_t i = 0; i < m_legend.size(); ++i)
        m_legend[i]->setText(m_texts[Text::ArrayLegend + static_cast<int>(i)]);
}

void DataArrayPage::showEvent(QShowEvent* event)
{
    recompute();
    QWidget::showEvent(event);
}
