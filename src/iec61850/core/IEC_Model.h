#pragma once
#include <QString>
#include <memory>
#include <vector>

// The IEC 61850 model of one server, read from one SCL file: a strict ownership tree in
// document order. Strings are the model's own; nothing links back to the XML document.
// TreeNode is the non-owning handle of the tree-view node that shows an object (null until
// a tree is built).

class TIEC_DA {
public:
    QString Reference;
    QString FC;
    QString bType;
    QString Name;
    std::vector<std::unique_ptr<TIEC_DA>> List_DA;
    void* TreeNode = nullptr;

    bool Is_Leaf() const { return List_DA.empty(); }
    TIEC_DA* Find_DA(const QString& name) const;
    TIEC_DA* Find_First_DA() const;
};

class TIEC_DO {
public:
    QString Name;
    std::vector<std::unique_ptr<TIEC_DO>> List_DO;
    std::vector<std::unique_ptr<TIEC_DA>> List_DA;
    void* TreeNode = nullptr;

    TIEC_DO* Find_DO(const QString& name) const;
    // Searches the attributes and their components, not the sub data objects.
    TIEC_DA* Find_DA(const QString& name) const;
    TIEC_DA* Find_First_DA() const;
};

class TIEC_DataSet {
public:
    QString Name;
    QString Reference;
    QString GooseName;
    std::vector<TIEC_DA*> List_DA; // members, owned by the data object trees of the same device
    void* TreeNode = nullptr;
};

class TIEC_LN {
public:
    QString lnClass;
    QString lnType;
    QString Prefix;
    QString Inst;
    std::vector<std::unique_ptr<TIEC_DO>> List_DO;
    std::vector<std::unique_ptr<TIEC_DataSet>> List_DataSet;
    void* TreeNode = nullptr;

    TIEC_DO* Find_DO(const QString& name) const;
};

class TIEC_LDevice {
public:
    QString Name;
    std::vector<std::unique_ptr<TIEC_LN>> List_LN;
    void* TreeNode = nullptr;

    // The first logical node of that class; prefix and instance are not compared.
    TIEC_LN* Find_LN(const QString& lnClass) const;
};

class TIEC_Device {
public:
    QString Name;
    QString FileName;
    // A device listed in the access file whose SCL file is not in the catalog: kept, empty,
    // at its position so that the entries' device indexes still point at the right devices.
    bool File_Missing = false;
    std::vector<std::unique_ptr<TIEC_LDevice>> List_LDevice;
    void* TreeNode = nullptr;

    TIEC_LDevice* Find_LDevice(const QString& name) const;
};
