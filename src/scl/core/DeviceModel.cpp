#include "scl/core/DeviceModel.h"

namespace {

// Depth-first, pre-order search through a list and the lists below each entry.
template <typename T, typename Children>
T* findDepthFirst(const std::vector<std::unique_ptr<T>>& list, const QString& name, Children children)
{
    for (const auto& item : list) {
        if (item->name == name)
            return item.get();
        if (T* found = findDepthFirst(children(*item), name, children))
            return found;
    }
    return nullptr;
}

const auto subDOs = [](const DataObject& d) -> const std::vector<std::unique_ptr<DataObject>>& { return d.dataObjects; };
const auto components = [](const DataAttribute& a) -> const std::vector<std::unique_ptr<DataAttribute>>& { return a.attributes; };

DataAttribute* firstLeafOf(const std::vector<std::unique_ptr<DataAttribute>>& list)
{
    if (list.empty())
        return nullptr;
    DataAttribute* first = list.front().get();
    return first->isLeaf() ? first : first->firstLeaf();
}

} // namespace

DataAttribute* DataAttribute::findAttribute(const QString& attributeName) const
{
    return findDepthFirst(attributes, attributeName, components);
}
DataAttribute* DataAttribute::firstLeaf() const { return firstLeafOf(attributes); }

DataObject* DataObject::findDataObject(const QString& dataObjectName) const
{
    return findDepthFirst(dataObjects, dataObjectName, subDOs);
}
DataAttribute* DataObject::findAttribute(const QString& attributeName) const
{
    return findDepthFirst(attributes, attributeName, components);
}
DataAttribute* DataObject::firstLeaf() const { return firstLeafOf(attributes); }

DataObject* LogicalNode::findDataObject(const QString& name) const { return findDepthFirst(dataObjects, name, subDOs); }

LogicalNode* LogicalDevice::findLogicalNode(const QString& lnClass) const
{
    for (const auto& ln : logicalNodes)
        if (ln->lnClass == lnClass)
            return ln.get();
    return nullptr;
}

LogicalDevice* Ied::findLogicalDevice(const QString& deviceName) const
{
    for (const auto& ld : logicalDevices)
        if (ld->name == deviceName)
            return ld.get();
    return nullptr;
}
