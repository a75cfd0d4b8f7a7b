#pragma once
#include "access/core/DataArray.h"
#include <QAbstractTableModel>
#include <QWidget>
#include <memory>

class QLabel;
class QTableView;
class TextTable;

// The internal data array at a glance: positions 0-1399 as 50 rows of 28 bytes, one cell a
// byte, coloured by what uses it. A cell's tooltip names the entries on it.
class DataArrayModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int bytesPerRow = 28;

    DataArrayModel(const Occupancy& occupancy, const TextTable& texts, QObject* parent = nullptr);

    static int positionOf(const QModelIndex& index) { return index.row() * bytesPerRow + index.column(); }
    static QColor colourOf(Occupancy::State state);
    // Call after the occupancy was computed again.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const Occupancy& m_occupancy;
    const TextTable& m_texts;
};

// The "Data array" page of the access window. It computes the occupancy from the access list
// each time it is shown (the other pages are where the list changes).
class DataArrayPage : public QWidget {
    Q_OBJECT
public:
    DataArrayPage(const AccessList& access, const TextTable& texts, QWidget* parent = nullptr);
    ~DataArrayPage() override;

    void recompute();
    const Occupancy& occupancy() const { return *m_occupancy; }
    void retranslate();

signals:
    // A click on a used cell: the first entry on it, to be shown on its page.
    void entryChosen(const ArrayUser& user);

protected:
    void showEvent(QShowEvent* event) override;

private:
    const AccessList& m_access;
    const TextTable& m_texts;
    std::unique_ptr<Occupancy> m_occupancy; // large: kept off the stack and the widget's layout
    DataArrayModel* m_model;
    QTableView* m_view;
    std::vector<QLabel*> m_legend;
    QLabel* m_summary;
};
