#include "options/core/VersionCheck.h"
#include "base/Conversions.h"
#include "base/Constants.h"
#include "options/core/MakerWebSite.h"
#include "platform/Platform.h"
#include "base/WholeNumber.h"

int versionNumber(const QString& versionText)
{
    const qsizetype blank = versionText.indexOf(u' ');
    const QString version = stripBlanks(blank < 0 ? QStringView(versionText) : QStringView(versionText).mid(blank + 1));
    if (version.size() < 5)
        return -1;
    // Digit, separator (whatever it is), three digits; anything after the fifth character is ignored.
    const QString digits = version.left(1) + version.mid(2, 3);
    return toWholeNumber(digits, -1);
}

bool checkVersion(HttpClient& http, const QString& serviceUrl)
{
    const QList<QByteArray> headers = {
        QByteArray("Accept: ") + makerHttpAccept,
        QByteArray("User-Agent: ") + makerHttpUserAgent,
    };
    const HttpClient::Reply reply = http.get(serviceUrl, headers);
    const QString answer = reply.ok ? stripBlanks(QString::fromUtf8(reply.body)) : QString();
    if (answer.isEmpty() || answer.toUpper() == QLatin1String("VER. 0.000"))
        return false;
    const int local = versionNumber(SoftwareVersion);
    const int remote = versionNumber(answer);
    return local != -1 && remote != -1 && remote > local;
}
