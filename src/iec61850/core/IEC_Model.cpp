#include "IEC_Model.h"

namespace {

// Depth-first, pre-order search through a list and the lists below each entry.
template <typename T, typename Children>
T* Find_Depth_First(const std::vector<std::unique_ptr<T>>& list, const QString& name, Children children)
{
    for (const auto& item : list) {
        if (item->Name == name)
            return item.get();
        if (T* found = Find_Depth_First(children(*item), name, children))
            return found;
    }
    return nullptr;
}

const auto Sub_DOs = [](const TIEC_DO& d) -> const std::vector<std::unique_ptr<TIEC_DO>>& { return d.List_DO; };
const auto Components = [](const TIEC_DA& a) -> const std::vector<std::unique_ptr<TIEC_DA>>& { return a.List_DA; };

TIEC_DA* First_Leaf(const std::vector<std::unique_ptr<TIEC_DA>>& list)
{
    if (list.empty())
        return nullptr;
    TIEC_DA* first = list.front().get();
    return first->Is_Leaf() ? first : first->Find_First_DA();
}

} // namespace

TIEC_DA* TIEC_DA::Find_DA(const QString& name) const { return Find_Depth_First(List_DA, name, Components); }
TIEC_DA* TIEC_DA::Find_First_DA() const { return First_Leaf(List_DA); }

TIEC_DO* TIEC_DO::Find_DO(const QString& name) const { return Find_Depth_First(List_DO, name, Sub_DOs); }
TIEC_DA* TIEC_DO::Find_DA(const QString& name) const { return Find_Depth_First(List_DA, name, Components); }
TIEC_DA* TIEC_DO::Find_First_DA() const { return First_Leaf(List_DA); }

TIEC_DO* TIEC_LN::Find_DO(const QString& name) const { return Find_Depth_First(List_DO, name, Sub_DOs); }

TIEC_LN* TIEC_LDevice::Find_LN(const QString& lnClass) const
{
    for (const auto& ln : List_LN)
        if (ln->lnClass == lnClass)
            return ln.get();
    return nullptr;
}

TIEC_LDevice* TIEC_Device::Find_LDevice(const QString& name) const
{
    for (const auto& ld : List_LDevice)
        if (ld->Name == name)
            return ld.get();
    return nullptr;
}
