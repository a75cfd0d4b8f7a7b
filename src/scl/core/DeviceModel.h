#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The IEC 61850 model of one server, read from one SCL file: a strict ownership tree in
// document order. Strings are the model's own; nothing links back to the XML document.

class DataAttribute {
public:
    QString reference;
    QString fc;
    QString bType;
    QString name;
    std::vector<std::unique_ptr<DataAttribute>> attributes;
    QString desc = {}; // of the DA or BDA element in the type definitions

    bool isLeaf() const { return attributes.empty(); }
    DataAttribute* findAttribute(const QString& attributeName) const;
    DataAttribute* firstLeaf() const;
};

class DataObject {
public:
    QString name;
    std::vector<std::unique_ptr<DataObject>> dataObjects;
    std::vector<std::unique_ptr<DataAttribute>> attributes;
    QString desc = {};

    DataObject* findDataObject(const QString& dataObjectName) const;
    // Searches the attributes and their components, not the sub data objects.
    DataAttribute* findAttribute(const QString& attributeName) const;
    DataAttribute* firstLeaf() const;
};

class DataSet {
public:
    QString name;
    QString reference;
    QString gooseName;
    std::vector<DataAttribute*> attributes; // members, owned by the data object trees of the same device
    QString desc = {};
};

class LogicalNode {
public:
    QString lnClass;
    QString lnType;
    QString prefix;
    QString inst;
    std::vector<std::unique_ptr<DataObject>> dataObjects;
    std::vector<std::unique_ptr<DataSet>> dataSets;
    QString desc = {};

    DataObject* findDataObject(const QString& name) const;
};

class LogicalDevice {
public:
    QString name;
    std::vector<std::unique_ptr<LogicalNode>> logicalNodes;
    QString desc = {};

    // The first logical node of that class; prefix and instance are not compared.
    LogicalNode* findLogicalNode(const QString& lnClass) const;
};

class Ied {
public:
    QString name;
    QString fileName;
    // A device listed in the access file whose SCL file is not in the catalog: kept, empty,
    // at its position so that the entries' device indexes still point at the right devices.
    bool fileMissing = false;
    // Why the catalog file could not be read, for a placeholder whose file is there but unreadable.
    QString fileError;
    std::vector<std::unique_ptr<LogicalDevice>> logicalDevices;
    QString desc = {};
    // The IP addresses of the IED's access points in the file's Communication section.
    QStringList ipAddresses = {};

    LogicalDevice* findLogicalDevice(const QString& deviceName) const;
    // The server's address for new entries: the IED's only IP address; empty when the file
    // gives none or several.
    QString serverAddress() const { return ipAddresses.size() == 1 ? ipAddresses.front() : QString(); }
};
