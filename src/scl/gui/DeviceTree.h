#pragma once
#include "scl/core/DeviceModel.h"
#include <QTreeWidgetItem>

class QTreeWidget;

// The kinds of tree node, which also number their images.
enum class NodeKind { Device, LDevice, LN, DO, DA, DataSet };

// A tree node that knows the model object it shows. Image and text colour follow from the
// kind when the node is drawn, so a node stores nothing but its text.
class DeviceTreeItem : public QTreeWidgetItem {
public:
    DeviceTreeItem(QTreeWidgetItem* parent, NodeKind kind, void* object, const QString& text);
    DeviceTreeItem(NodeKind kind, void* object, const QString& text);

    NodeKind kind() const { return static_cast<NodeKind>(type() - UserType); }
    void* object() const { return shown; }
    QVariant data(int column, int role) const override;

private:
    void* shown;
};

// The full reference of the object a node shows: the IED name for the device, then the logical
// device, "/", the logical node, and "." before each data object and attribute; a data set's
// own reference.
QString nodeReference(const DeviceTreeItem* node);

// What the tooltip and the status line say of a node: its reference, then FC and bType for an
// attribute, then the desc of its SCL element where there is one; `joiner` between them.
QString nodeDescription(const DeviceTreeItem* node, const QString& joiner);

// Builds the tree of a device in `tree` (which is emptied first) and returns its root node.
// Each node knows the model object it shows; the model knows nothing of the tree.
DeviceTreeItem* showDevice(QTreeWidget* tree, Ied& device);
