#pragma once
#include <QString>

class HttpClient;

// The configurator's own version and any version the maker's service names, as an integer of
// four digits ("1.002" is 1002), or -1 when the text holds no version.
int versionNumber(const QString& versionText);

// Asks the version service at `serviceUrl` for the newest version of the configurator.
// True only when it names a version newer than SoftwareVersion; any failure of the
// connection, the server or the answer's form means "no newer version".
bool checkVersion(HttpClient& http, const QString& serviceUrl);
