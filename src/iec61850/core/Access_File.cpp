#include "Access_File.h"
#include "Access_Ops.h"
#include "Catalog.h"
#include "Files.h"
#include "SCL_Reader.h"
#include "WholeNumber.h"
#include "XmlFile.h"
#include <QDir>
#include <QFileInfo>

namespace {

const char* const Root_Name = "IEC_68850_Client";
const char* const Member_Attributes[] = {"bType", "Reference", "Position", "StartBit", "Convertion", "MoltFact", "Mnemonic"};

void Set(pugi::xml_node& node, const char* name, const QString& value)
{
    node.append_attribute(name).set_value(QString_To_Xml(value).c_str());
}

QString Attribute(const pugi::xml_node& node, const char* name)
{
    return Xml_To_QString(node.attribute(name).value());
}

// Visits the element children of a node (comments and text skipped), counted from 0, up to
// the first that fails.
template <typename Visit>
TResult For_Each_Element(const pugi::xml_node& parent, Visit visit)
{
    int i = 0;
    for (const pugi::xml_node& child : parent.children())
        if (child.type() == pugi::node_element)
            if (TResult r = visit(child, i++); !r)
                return r;
    return TResult::Success();
}

// Writes the data rows of a grid (none when it is empty) as elements with the given attributes.
template <typename Extra>
void Write_Rows(pugi::xml_node list, const TGrid& grid, const char* item, const char* const* attributes, Extra extra)
{
    if (grid.Is_Empty())
        return;
    for (int row = 1; row < grid.Row_Count(); ++row) {
        pugi::xml_node node = list.append_child(item);
        for (int col = 1; col < grid.Col_Count(); ++col)
            Set(node, attributes[col], grid.Cell(col, row));
        extra(node, row);
    }
}

class TLoader {
public:
    TLoader(const QString& path, const QString& catalogFolder, TAccess_List& access, TLoad_Report& report)
        : Path(path), Catalog(catalogFolder), Access(access), Report(report)
    {
    }

    TResult Run()
    {
        Clear_Access_List(Access);
        if (!QFileInfo::exists(Path))
            return TResult::Success();
        pugi::xml_document doc;
        if (TResult loaded = Load_Xml_File(Path, doc); !loaded)
            return loaded;
        const pugi::xml_node root = doc.child(Root_Name);
        if (!root)
            return Format_Error(QStringLiteral("it has no element %1").arg(QString::fromLatin1(Root_Name)));
        if (TResult r = Read_Devices(root.child("List_ICD_Files")); !r)
            return r;
        if (TResult r = Read_Variables(root.child("List_DA_Selected")); !r)
            return r;
        return Read_DataSets(root.child("List_DataSet_Selected"));
    }

private:
    TResult Format_Error(const QString& what) const
    {
        return TResult::Error(QStringLiteral("%1: format error: %2").arg(QDir::toNativeSeparators(Path), what));
    }
    TResult Missing_Attribute(const char* item, int i, const char* attribute) const
    {
        return Format_Error(QStringLiteral("%1 %2 has no attribute %3").arg(QString::fromLatin1(item)).arg(i + 1).arg(QString::fromLatin1(attribute)));
    }

    TResult Read_Devices(const pugi::xml_node& list)
    {
        return For_Each_Element(list, [&](const pugi::xml_node& item, int i) {
            if (!item.attribute("FileName"))
                return Missing_Attribute("ICD_File", i, "FileName");
            const QString fileName = Attribute(item, "FileName");
            const QString file = Join_Path(Catalog, fileName);
            std::unique_ptr<TIEC_Device> device;
            if (Is_Catalog_File_Name(fileName) && QFileInfo(file).isFile()) {
                if (TResult read = Read_SCL_File(file, device); !read)
                    return read;
            } else {
                // Keeps the position, the name and the file name, so that the entries' indexes
                // stay right and the next save writes the entry back unchanged.
                device = std::make_unique<TIEC_Device>();
                device->Name = Attribute(item, "Name");
                device->FileName = fileName;
                device->File_Missing = true;
                Report.Missing_Files << fileName;
            }
            Access.List_IEC_Dev.push_back(std::move(device));
            return TResult::Success();
        });
    }

    TResult Read_Variables(const pugi::xml_node& list)
    {
        TGrid& grid = Access.ACG_DA;
        return For_Each_Element(list, [&](const pugi::xml_node& item, int i) {
            // Files of earlier versions have no StartByte and NumByte.
            for (int col = 1; col < Var_Col::Count; ++col)
                if (col != Var_Col::StartByte && col != Var_Col::NumByte && !item.attribute(Var_Attributes[col]))
                    return Missing_Attribute("DA_Item", i, Var_Attributes[col]);
            const int row = i + 1;
            grid.Set_Row_Count(row + 1);
            grid.Set_Cell(Var_Col::N, row, QString::number(row));
            for (int col = 1; col < Var_Col::Count; ++col)
                grid.Set_Cell(col, row, Attribute(item, Var_Attributes[col]));
            return TResult::Success();
        });
    }

    TResult Read_DataSets(const pugi::xml_node& list)
    {
        TGrid& grid = Access.ACG_DataSet;
        return For_Each_Element(list, [&](const pugi::xml_node& item, int i) {
            for (int col = 1; col < DS_Col::Count; ++col)
                if (!item.attribute(DS_Attributes[col]))
                    return Missing_Attribute("DataSet_Item", i, DS_Attributes[col]);
            const std::optional<qint32> index = Parse_Whole_Number(Attribute(item, "Index"));
            if (!index)
                return Format_Error(QStringLiteral("DataSet_Item %1 has the Index \"%2\", not a whole number").arg(i + 1).arg(Attribute(item, "Index")));
            const int row = i + 1;
            grid.Set_Row_Count(row + 1);
            grid.Set_Cell(DS_Col::N, row, QString::number(row));
            for (int col = 1; col < DS_Col::Count; ++col)
                grid.Set_Cell(col, row, Attribute(item, DS_Attributes[col]));

            auto entry = std::make_unique<TDataSet>();
            const auto& devices = Access.List_IEC_Dev;
            if (*index >= 0 && *index < static_cast<qint32>(devices.size()))
                entry->Select_DataSet = Find_DataSet(*devices[static_cast<size_t>(*index)], grid.Cell(DS_Col::Reference, row));
            Read_Members(item.child("DataSet_List_DAs"), *entry, row);
            Access.List_DataSet.push_back(std::move(entry));
            return TResult::Success();
        });
    }

    // Takes over the stored members that still match the SCL data set at their position.
    void Read_Members(const pugi::xml_node& list, TDataSet& entry, int row)
    {
        const QString reference = Access.ACG_DataSet.Cell(DS_Col::Reference, row);
        const TIEC_DataSet* dataSet = entry.Select_DataSet;
        int stored = 0;
        QStringList unmatched;
        For_Each_Element(list, [&](const pugi::xml_node& item, int i) {
            ++stored;
            const QString bType = Attribute(item, "bType");
            const QString memberRef = Attribute(item, "Reference");
            TIEC_DA* member = dataSet && i < static_cast<int>(dataSet->List_DA.size()) ? dataSet->List_DA[static_cast<size_t>(i)] : nullptr;
            if (!member || member->bType != bType || member->Reference != memberRef) {
                unmatched << QStringLiteral("%1 %2").arg(i + 1).arg(memberRef);
                return TResult::Success();
            }
            auto da = std::make_unique<TDataSet_DA>();
            da->Select_DA = member;
            da->Position = Attribute(item, "Position");
            da->bitAddress = Attribute(item, "StartBit");
            da->conversion = Attribute(item, "Convertion");
            da->multFactor = Attribute(item, "MoltFact");
            da->Mnemonic = Attribute(item, "Mnemonic");
            entry.List_DAs.push_back(std::move(da));
            return TResult::Success();
        });
        if (stored == 0)
            return;
        if (!dataSet)
            Report.Dropped_Members << QStringLiteral("DataSet row %1 (%2): data set not found, its %3 stored members dropped").arg(row).arg(reference).arg(stored);
        else if (!unmatched.isEmpty())
            Report.Dropped_Members << QStringLiteral("DataSet row %1 (%2): members no longer matching, dropped: %3").arg(row).arg(reference, unmatched.join(QStringLiteral(", ")));
    }

    const QString& Path;
    const QString& Catalog;
    TAccess_List& Access;
    TLoad_Report& Report;
};

} // namespace

QString TLoad_Report::Missing_Files_Warning() const
{
    if (Missing_Files.isEmpty())
        return {};
    return QStringLiteral("These SCL files of the access list are missing from the folder %1:\n%2\n"
                          "Their devices are kept, empty, so that the entries still refer to the right devices.")
        .arg(ICD_Catalog_Name, Missing_Files.join(u'\n'));
}

QString TLoad_Report::Dropped_Members_Warning() const
{
    if (Dropped_Members.isEmpty())
        return {};
    return QStringLiteral("Stored data set members that no longer match the SCL files were dropped:\n%1\n"
                          "OK saves the access list without them; Cancel keeps the access file unchanged.")
        .arg(Dropped_Members.join(u'\n'));
}

void Clear_Access_List(TAccess_List& access)
{
    access.List_DataSet.clear(); // before the devices its entries link to
    access.List_IEC_Dev.clear();
    access.ACG_DA.Clear();
    access.ACG_DataSet.Clear();
    access.ACG_DS_Vars.Clear();
}

TIEC_DataSet* Find_DataSet(const TIEC_Device& device, const QString& reference)
{
    for (const auto& ld : device.List_LDevice)
        for (const auto& ln : ld->List_LN)
            for (const auto& ds : ln->List_DataSet)
                if (ds->Reference == reference)
                    return ds.get();
    return nullptr;
}

TResult Save_Access_File(const TAccess_List& access, const QString& path)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(Root_Name);
    doc.append_child(pugi::node_comment).set_value("SW_VERSION = 1.000");

    pugi::xml_node files = root.append_child("List_ICD_Files");
    for (const auto& device : access.List_IEC_Dev) {
        pugi::xml_node file = files.append_child("ICD_File");
        Set(file, "Name", device->Name);
        Set(file, "FileName", device->FileName);
    }

    Write_Rows(root.append_child("List_DA_Selected"), access.ACG_DA, "DA_Item", Var_Attributes, [](pugi::xml_node&, int) {});

    Write_Rows(root.append_child("List_DataSet_Selected"), access.ACG_DataSet, "DataSet_Item", DS_Attributes, [&](pugi::xml_node& node, int row) {
        pugi::xml_node members = node.append_child("DataSet_List_DAs");
        if (row > static_cast<int>(access.List_DataSet.size()))
            return;
        for (const auto& da : access.List_DataSet[static_cast<size_t>(row - 1)]->List_DAs) {
            pugi::xml_node member = members.append_child("DataSet_DA_Item");
            const QString values[] = {da->Select_DA ? da->Select_DA->bType : QString(), da->Select_DA ? da->Select_DA->Reference : QString(),
                da->Position, da->bitAddress, da->conversion, da->multFactor, da->Mnemonic};
            for (size_t i = 0; i < std::size(values); ++i)
                Set(member, Member_Attributes[i], values[i]);
        }
    });

    return Save_Xml_File(doc, path);
}

TResult Load_Access_File(const QString& path, const QString& catalogFolder, TAccess_List& access, TLoad_Report& report)
{
    TResult result = TLoader(path, catalogFolder, access, report).Run();
    Set_Start_Num_Byte(access.ACG_DA);
    return result;
}
