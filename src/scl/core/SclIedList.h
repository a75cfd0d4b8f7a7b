#pragma once
#include "base/Result.h"
#include <QByteArray>
#include <QStringList>
#include <pugixml.hpp>
#include <vector>

// The IEDs of an SCL file as the import offers them: a station file holds many, and often
// client stubs without any logical device come first.
struct IedSummary {
    QString name;
    QString desc;
    QString manufacturer;
    QString type;
    // Counted where the reader takes the model from: the first access point's server.
    int logicalDevices = 0;
    int logicalNodes = 0;
    QStringList ipAddresses;

    // Nothing to read from an IED without logical devices: it is a client of the others.
    bool isClient() const { return logicalDevices == 0; }
};

// Every IED of the SCL file held in `data`, in document order. A file that is not well-formed
// gives the parser's message naming `path` and the line. `data` is parsed in place: a caller
// that keeps its bytes pays a copy.
Result listSclIeds(QByteArray data, const QString& path, std::vector<IedSummary>& ieds);
Result listSclIedsOfFile(const QString& path, std::vector<IedSummary>& ieds);

// The IED offered first: the first one with a logical device, else the first one.
int preferredIed(const std::vector<IedSummary>& ieds);

// The distinct IP addresses that the SCL file's `communication` element gives the IED `iedName`
// (SubNetwork/ConnectedAP[@iedName]/Address/P[@type="IP"]), in document order.
QStringList iedIpAddresses(const pugi::xml_node& communication, const QString& iedName);
