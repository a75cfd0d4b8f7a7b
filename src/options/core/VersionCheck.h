#pragma once
#include <QString>

class IHttp;

// The configurator's own version and any version the maker's service names, as an integer of
// four digits ("1.002" is 1002), or -1 when the text holds no version.
int Conv_Version(const QString& Ver_str);

// Asks the version service at `serviceUrl` for the newest version of the configurator.
// True only when it names a version newer than SoftwareVersion; any failure of the
// connection, the server or the answer's form means "no newer version".
bool Check_Version(IHttp& http, const QString& serviceUrl);
