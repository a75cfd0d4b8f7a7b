#pragma once
#include "IEC_Model.h"
#include <QTreeWidgetItem>

class QTreeWidget;

// The kinds of tree node, which are also their image numbers in IL_IEC.
enum class TNode_Kind { Device, LDevice, LN, DO, DA, DataSet };

// A tree node that knows the model object it shows. Image and text colour follow from the
// kind when the node is drawn, so a node stores nothing but its text.
class TIEC_Tree_Item : public QTreeWidgetItem {
public:
    TIEC_Tree_Item(QTreeWidgetItem* parent, TNode_Kind kind, void* object, const QString& text);
    TIEC_Tree_Item(TNode_Kind kind, void* object, const QString& text);

    TNode_Kind Kind() const { return static_cast<TNode_Kind>(type() - UserType); }
    void* Object() const { return Shown; }
    QVariant data(int column, int role) const override;

private:
    void* Shown;
};

// Builds the tree of a device in `tree` (which is emptied first) and returns its root node
// (NODE_ORIG). Every object's TreeNode points at the node that shows it.
TIEC_Tree_Item* Show_Tree_IEC_Device(QTreeWidget* tree, TIEC_Device& device);
