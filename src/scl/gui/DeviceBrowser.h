#pragma once
#include "scl/core/DeviceModel.h"
#include <QWidget>
#include <vector>

class DeviceTreeItem;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class TextTable;

// The device tree of the access window with a filter box above it and, under it, a line that
// describes the current node (reference, FC, bType, desc).
//
// The filter shows the nodes whose reference contains the typed text (case-insensitive; "." and
// "/" are plain characters), their ancestors, expanded, and what lies below them; Escape in the
// box clears it. It works on a flat index of the tree made once per shown device and changes
// only the nodes whose state changes, so that a device of hundreds of thousands of nodes
// answers each keystroke at once.
class DeviceBrowser : public QWidget {
    Q_OBJECT
public:
    explicit DeviceBrowser(QWidget* parent = nullptr);
    ~DeviceBrowser() override;

    QTreeWidget* tree() const { return m_tree; }
    QLineEdit* filterBox() const { return m_filter; }
    // Builds the tree of `device` and applies the filter to it.
    void showDevice(Ied& device);
    // Empties the tree (without signals), keeping the filter text.
    void clear();
    void retranslate(const TextTable& texts);

    // Applies `text` as the filter (what typing in the box does).
    void applyFilter(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Node {
        DeviceTreeItem* item;
        int parent; // position in m_nodes, -1 for the root
        QString foldedReference;
        bool openByDefault; // the device, logical devices and logical nodes
    };
    void indexTree();
    void showCurrentNode(QTreeWidgetItem* current);

    QLineEdit* m_filter = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_nodeInfo = nullptr;
    QString m_noMatchText;
    // The tree in pre-order; a node's parent always comes before it.
    std::vector<Node> m_nodes;
    // What the filter last set: hidden nodes (only the topmost of a hidden branch) and nodes
    // opened beyond their default.
    std::vector<char> m_hidden, m_openedByFilter;
};
