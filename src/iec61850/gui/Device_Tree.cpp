#include "Device_Tree.h"
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>
#include <array>

namespace {

// IL_IEC: images 0 to 5, drawn once.
const std::array<QIcon, 6>& IL_IEC()
{
    static const std::array<QIcon, 6> images = [] {
        struct TLook {
            QColor Fill;
            char Letter;
        };
        const TLook looks[6] = {{QColor(70, 70, 70), 'D'}, {QColor(150, 110, 30), 'L'}, {QColor(40, 120, 170), 'N'},
            {QColor(0, 0, 255), 'O'}, {QColor(110, 110, 110), 'A'}, {QColor(0, 128, 0), 'S'}};
        std::array<QIcon, 6> icons;
        for (size_t i = 0; i < icons.size(); ++i) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(looks[i].Fill);
            painter.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
            QFont font = painter.font();
            font.setPixelSize(11);
            font.setBold(true);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString(QChar(looks[i].Letter)));
            painter.end();
            icons[i] = QIcon(pixmap);
        }
        return icons;
    }();
    return images;
}

QColor Text_Colour(TNode_Kind kind)
{
    switch (kind) {
    case TNode_Kind::DO:
        return QColor(0, 0, 255);
    case TNode_Kind::DataSet:
        return QColor(0, 128, 0);
    default:
        return QColor(0, 0, 0);
    }
}

template <typename T>
TIEC_Tree_Item* Add(QTreeWidgetItem* parent, TNode_Kind kind, T& object, const QString& text)
{
    auto* item = new TIEC_Tree_Item(parent, kind, &object, text);
    object.TreeNode = item;
    return item;
}

void Show_Tree_IEC_DA(QTreeWidgetItem* parent, TIEC_DA& da)
{
    TIEC_Tree_Item* node = Add(parent, TNode_Kind::DA, da, da.Name);
    for (const auto& component : da.List_DA)
        Show_Tree_IEC_DA(node, *component);
}

void Show_Tree_IEC_DO(QTreeWidgetItem* parent, TIEC_DO& dobj)
{
    TIEC_Tree_Item* node = Add(parent, TNode_Kind::DO, dobj, dobj.Name);
    for (const auto& sub : dobj.List_DO)
        Show_Tree_IEC_DO(node, *sub);
    for (const auto& da : dobj.List_DA)
        Show_Tree_IEC_DA(node, *da);
}

void Show_Tree_IEC_DataSet(QTreeWidgetItem* parent, TIEC_DataSet& ds)
{
    Add(parent, TNode_Kind::DataSet, ds, ds.Name);
}

TIEC_Tree_Item* Show_Tree_IEC_LN(QTreeWidgetItem* parent, TIEC_LN& ln)
{
    TIEC_Tree_Item* node = Add(parent, TNode_Kind::LN, ln, ln.Prefix + ln.lnClass + ln.Inst);
    for (const auto& dobj : ln.List_DO)
        Show_Tree_IEC_DO(node, *dobj);
    for (const auto& ds : ln.List_DataSet)
        Show_Tree_IEC_DataSet(node, *ds);
    return node;
}

// Logical devices and logical nodes open when the tree is shown: collected in `expand`.
void Show_Tree_IEC_LDevice(QTreeWidgetItem* parent, TIEC_LDevice& ld, std::vector<QTreeWidgetItem*>& expand)
{
    TIEC_Tree_Item* node = Add(parent, TNode_Kind::LDevice, ld, ld.Name);
    expand.push_back(node);
    for (const auto& ln : ld.List_LN)
        expand.push_back(Show_Tree_IEC_LN(node, *ln));
}

} // namespace

TIEC_Tree_Item::TIEC_Tree_Item(QTreeWidgetItem* parent, TNode_Kind kind, void* object, const QString& text)
    : QTreeWidgetItem(parent, UserType + static_cast<int>(kind))
    , Shown(object)
{
    setText(0, text);
}

TIEC_Tree_Item::TIEC_Tree_Item(TNode_Kind kind, void* object, const QString& text)
    : QTreeWidgetItem(UserType + static_cast<int>(kind))
    , Shown(object)
{
    setText(0, text);
}

QVariant TIEC_Tree_Item::data(int column, int role) const
{
    if (column == 0 && role == Qt::DecorationRole)
        return IL_IEC()[static_cast<size_t>(Kind())];
    if (column == 0 && role == Qt::ForegroundRole)
        return Text_Colour(Kind());
    return QTreeWidgetItem::data(column, role);
}

TIEC_Tree_Item* Show_Tree_IEC_Device(QTreeWidget* tree, TIEC_Device& device)
{
    tree->clear();
    // Built apart from the view and inserted in one step: the view lays out once.
    auto* root = new TIEC_Tree_Item(TNode_Kind::Device, &device, device.Name);
    device.TreeNode = root;
    std::vector<QTreeWidgetItem*> expand{root};
    for (const auto& ld : device.List_LDevice)
        Show_Tree_IEC_LDevice(root, *ld, expand);
    tree->addTopLevelItem(root);
    for (QTreeWidgetItem* node : expand)
        node->setExpanded(true);
    return root;
}
