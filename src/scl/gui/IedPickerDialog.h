#pragma once
#include "scl/core/SclIedList.h"
#include <QDialog>
#include <optional>

class QCheckBox;
class QTreeWidget;
class TextTable;

// Asked when an imported SCL file holds several IEDs: one row per IED with its description,
// manufacturer, type, numbers of logical devices and logical nodes and IP address. Clients
// (no logical device) are greyed and can be chosen only after ticking the box that offers
// them. The first IED with a logical device is preselected, so Enter takes it.
class IedPickerDialog : public QDialog {
    Q_OBJECT
public:
    IedPickerDialog(
        const TextTable& texts, const QString& fileName, const std::vector<IedSummary>& ieds, QWidget* parent = nullptr);

    // The position of the chosen IED; -1 when none is.
    int chosenIed() const;

    // Shows the dialog modally: the chosen IED's position, or nothing when cancelled.
    static std::optional<int> choose(
        const TextTable& texts, const QString& fileName, const std::vector<IedSummary>& ieds, QWidget* parent);

private:
    void offerClients(bool offer);

    const std::vector<IedSummary>& m_ieds;
    QTreeWidget* m_list = nullptr;
    QCheckBox* m_offerClients = nullptr;
};
