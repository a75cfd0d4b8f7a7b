#include "scl/gui/DeviceTree.h"
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>
#include <array>

namespace {

// One image per node kind, drawn once.
const std::array<QIcon, 6>& nodeImages()
{
    static const std::array<QIcon, 6> images = [] {
        struct Look {
            QColor fill;
            char letter;
        };
        const Look looks[6] = {{QColor(70, 70, 70), 'D'}, {QColor(150, 110, 30), 'L'}, {QColor(40, 120, 170), 'N'},
            {QColor(0, 0, 255), 'O'}, {QColor(110, 110, 110), 'A'}, {QColor(0, 128, 0), 'S'}};
        std::array<QIcon, 6> icons;
        for (size_t i = 0; i < icons.size(); ++i) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(looks[i].fill);
            painter.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
            QFont font = painter.font();
            font.setPixelSize(11);
            font.setBold(true);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString(QChar(looks[i].letter)));
            painter.end();
            icons[i] = QIcon(pixmap);
        }
        return icons;
    }();
    return images;
}

QColor textColour(NodeKind kind)
{
    switch (kind) {
    case NodeKind::DO:
        return QColor(0, 0, 255);
    case NodeKind::DataSet:
        return QColor(0, 128, 0);
    default:
        return QColor(0, 0, 0);
    }
}

DeviceTreeItem* add(QTreeWidgetItem* parent, NodeKind kind, void* object, const QString& text)
{
    return new DeviceTreeItem(parent, kind, object, text);
}

void showAttribute(QTreeWidgetItem* parent, DataAttribute& da)
{
    DeviceTreeItem* node = add(parent, NodeKind::DA, &da, da.name);
    for (const auto& component : da.attributes)
        showAttribute(node, *component);
}

void showDataObject(QTreeWidgetItem* parent, DataObject& dobj)
{
    DeviceTreeItem* node = add(parent, NodeKind::DO, &dobj, dobj.name);
    for (const auto& sub : dobj.dataObjects)
        showDataObject(node, *sub);
    for (const auto& da : dobj.attributes)
        showAttribute(node, *da);
}

void showDataSet(QTreeWidgetItem* parent, DataSet& ds) { add(parent, NodeKind::DataSet, &ds, ds.name); }

DeviceTreeItem* showLogicalNode(QTreeWidgetItem* parent, LogicalNode& ln)
{
    DeviceTreeItem* node = add(parent, NodeKind::LN, &ln, ln.prefix + ln.lnClass + ln.inst);
    for (const auto& dobj : ln.dataObjects)
        showDataObject(node, *dobj);
    for (const auto& ds : ln.dataSets)
        showDataSet(node, *ds);
    return node;
}

// Logical devices and logical nodes open when the tree is shown: collected in `expand`.
void showLogicalDevice(QTreeWidgetItem* parent, LogicalDevice& ld, std::vector<QTreeWidgetItem*>& expand)
{
    DeviceTreeItem* node = add(parent, NodeKind::LDevice, &ld, ld.name);
    expand.push_back(node);
    for (const auto& ln : ld.logicalNodes)
        expand.push_back(showLogicalNode(node, *ln));
}

} // namespace

DeviceTreeItem::DeviceTreeItem(QTreeWidgetItem* parent, NodeKind kind, void* object, const QString& text)
    : QTreeWidgetItem(parent, UserType + static_cast<int>(kind))
    , shown(object)
{
    setText(0, text);
}

DeviceTreeItem::DeviceTreeItem(NodeKind kind, void* object, const QString& text)
    : QTreeWidgetItem(UserType + static_cast<int>(kind))
    , shown(object)
{
    setText(0, text);
}

QVariant DeviceTreeItem::data(int column, int role) const
{
    if (column == 0 && role == Qt::DecorationRole)
        return nodeImages()[static_cast<size_t>(kind())];
    if (column == 0 && role == Qt::ForegroundRole)
        return textColour(kind());
    // Made when asked: a big device has hundreds of thousands of nodes.
    if (column == 0 && role == Qt::ToolTipRole)
        return nodeDescription(this, QStringLiteral("\n"));
    return QTreeWidgetItem::data(column, role);
}

QString nodeReference(const DeviceTreeItem* node)
{
    const auto* parent = dynamic_cast<const DeviceTreeItem*>(node->parent());
    switch (node->kind()) {
    case NodeKind::Device:
        return static_cast<const Ied*>(node->object())->name;
    case NodeKind::LDevice:
        return (parent ? nodeReference(parent) : QString()) + node->text(0);
    case NodeKind::LN:
        return (parent ? nodeReference(parent) : QString()) + u'/' + node->text(0);
    case NodeKind::DO:
        return (parent ? nodeReference(parent) : QString()) + u'.' + node->text(0);
    case NodeKind::DA:
        return static_cast<const DataAttribute*>(node->object())->reference;
    case NodeKind::DataSet:
        return static_cast<const DataSet*>(node->object())->reference;
    }
    return {};
}

namespace {

const QString& descOf(const DeviceTreeItem* node)
{
    switch (node->kind()) {
    case NodeKind::Device:
        return static_cast<const Ied*>(node->object())->desc;
    case NodeKind::LDevice:
        return static_cast<const LogicalDevice*>(node->object())->desc;
    case NodeKind::LN:
        return static_cast<const LogicalNode*>(node->object())->desc;
    case NodeKind::DO:
        return static_cast<const DataObject*>(node->object())->desc;
    case NodeKind::DA:
        return static_cast<const DataAttribute*>(node->object())->desc;
    case NodeKind::DataSet:
        return static_cast<const DataSet*>(node->object())->desc;
    }
    static const QString none;
    return none;
}

} // namespace

QString nodeDescription(const DeviceTreeItem* node, const QString& joiner)
{
    QStringList parts{nodeReference(node)};
    if (node->kind() == NodeKind::DA) {
        const auto* da = static_cast<const DataAttribute*>(node->object());
        parts << QStringLiteral("FC: %1  bType: %2").arg(da->fc, da->bType);
    }
    if (const QString& desc = descOf(node); !desc.isEmpty())
        parts << desc;
    return parts.join(joiner);
}

DeviceTreeItem* showDevice(QTreeWidget* tree, Ied& device)
{
    tree->clear();
    // Built apart from the view and inserted in one step: the view lays out once.
    auto* root = new DeviceTreeItem(NodeKind::Device, &device, device.name);
    std::vector<QTreeWidgetItem*> expand{root};
    for (const auto& ld : device.logicalDevices)
        showLogicalDevice(root, *ld, expand);
    tree->addTopLevelItem(root);
    for (QTreeWidgetItem* node : expand)
        node->setExpanded(true);
    return root;
}
