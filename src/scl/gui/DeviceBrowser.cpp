#include "scl/gui/DeviceBrowser.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "base/gui/AppContext.h"
#include "scl/gui/DeviceTree.h"
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

DeviceBrowser::DeviceBrowser(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_filter = withObjectName(new QLineEdit(this), "E_Filter");
    m_filter->setClearButtonEnabled(true);
    m_tree = withObjectName(new QTreeWidget(this), "TV_IEC_Device");
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_nodeInfo = withObjectName(new QLabel(this), "L_NodeInfo");
    m_nodeInfo->setWordWrap(true);
    m_nodeInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_filter);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_nodeInfo);

    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, &DeviceBrowser::applyFilter);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) { showCurrentNode(current); });
}

DeviceBrowser::~DeviceBrowser() = default;

void DeviceBrowser::retranslate(const TextTable& texts)
{
    m_filter->setPlaceholderText(texts[Text::TreeFilterHint]);
    m_filter->setToolTip(texts[Text::TreeFilterHint]);
    m_noMatchText = texts[Text::TreeFilterNoMatch];
}

void DeviceBrowser::showDevice(Ied& device)
{
    clear();
    const QSignalBlocker block(m_tree);
    ::showDevice(m_tree, device);
    indexTree();
    applyFilter(m_filter->text());
}

void DeviceBrowser::clear()
{
    const QSignalBlocker block(m_tree);
    m_nodes.clear();
    m_hidden.clear();
    m_openedByFilter.clear();
    m_tree->clear();
    m_nodeInfo->clear();
}

void DeviceBrowser::indexTree()
{
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    if (!root)
        return;
    // Pre-order through an explicit stack; each reference is its parent's plus its own name,
    // folded once so that every keystroke compares plainly.
    std::vector<std::pair<QTreeWidgetItem*, int>> stack{{root, -1}};
    while (!stack.empty()) {
        const auto [item, parent] = stack.back();
        stack.pop_back();
        auto* node = static_cast<DeviceTreeItem*>(item);
        const QString parentReference = parent >= 0 ? m_nodes[size_t(parent)].foldedReference : QString();
        QString reference;
        switch (node->kind()) {
        case NodeKind::Device:
        case NodeKind::DataSet: // a data set's reference names the class of its node only
            reference = nodeReference(node).toCaseFolded();
            break;
        case NodeKind::LDevice:
            reference = parentReference + node->text(0).toCaseFolded();
            break;
        case NodeKind::LN:
            reference = parentReference + u'/' + node->text(0).toCaseFolded();
            break;
        case NodeKind::DO:
        case NodeKind::DA:
            reference = parentReference + u'.' + node->text(0).toCaseFolded();
            break;
        }
        const int index = int(m_nodes.size());
        m_nodes.push_back({node, parent, std::move(reference), node->isExpanded()});
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.emplace_back(item->child(i), index);
    }
    m_hidden.assign(m_nodes.size(), 0);
    m_openedByFilter.assign(m_nodes.size(), 0);
}

void DeviceBrowser::applyFilter(const QString& text)
{
    const QString wanted = text.trimmed().toCaseFolded();
    const size_t count = m_nodes.size();
    // under: the node or one of its ancestors matches; opened: an ancestor of a match.
    std::vector<char> under(count, 0), opened(count, 0);
    const DeviceTreeItem* firstMatch = nullptr;
    if (!wanted.isEmpty()) {
        for (size_t i = 0; i < count; ++i) {
            const int parent = m_nodes[i].parent;
            const bool parentUnder = parent >= 0 && under[size_t(parent)];
            under[i] = parentUnder || m_nodes[i].foldedReference.contains(wanted);
            if (!under[i] || parentUnder)
                continue;
            if (!firstMatch)
                firstMatch = m_nodes[i].item;
            for (int a = parent; a >= 0 && !opened[size_t(a)]; a = m_nodes[size_t(a)].parent)
                opened[size_t(a)] = 1;
        }
    }
    const auto visible = [&](int i) { return i < 0 || wanted.isEmpty() || under[size_t(i)] || opened[size_t(i)]; };
    for (size_t i = 0; i < count; ++i) {
        Node& node = m_nodes[i];
        // Only the topmost node of a hidden branch is hidden: the rest goes with it.
        const char hide = !visible(int(i)) && visible(node.parent);
        if (hide != m_hidden[i]) {
            node.item->setHidden(hide);
            m_hidden[i] = hide;
        }
        if (opened[i]) {
            if (!node.item->isExpanded())
                node.item->setExpanded(true);
            m_openedByFilter[i] = !node.openByDefault;
        } else if (m_openedByFilter[i]) {
            node.item->setExpanded(false);
            m_openedByFilter[i] = 0;
        }
    }
    if (firstMatch)
        m_tree->scrollToItem(firstMatch);
    if (!wanted.isEmpty() && !firstMatch && count > 0)
        m_nodeInfo->setText(m_noMatchText);
    else
        showCurrentNode(m_tree->currentItem());
}

void DeviceBrowser::showCurrentNode(QTreeWidgetItem* current)
{
    const auto* node = dynamic_cast<const DeviceTreeItem*>(current);
    m_nodeInfo->setText(node ? nodeDescription(node, QStringLiteral("  |  ")) : QString());
}

bool DeviceBrowser::eventFilter(QObject* watched, QEvent* event)
{
    // Escape clears the filter instead of closing the window; with the box empty it closes.
    if (watched == m_filter && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape
        && !m_filter->text().isEmpty()) {
        m_filter->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
