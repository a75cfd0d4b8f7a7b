#include "VersionCheck.h"
#include "Common.h"
#include "Constants.h"
#include "Platform.h"
#include "WholeNumber.h"

int Conv_Version(const QString& Ver_str)
{
    const qsizetype blank = Ver_str.indexOf(u' ');
    const QString version = Strip_Blanks(blank < 0 ? QStringView(Ver_str) : QStringView(Ver_str).mid(blank + 1));
    if (version.size() < 5)
        return -1;
    // Digit, separator (whatever it is), three digits; anything after the fifth character is ignored.
    const QString digits = version.left(1) + version.mid(2, 3);
    return To_Whole_Number(digits, -1);
}

bool Check_Version(IHttp& http, const QString& serviceUrl)
{
    const QList<QByteArray> headers = {
        QByteArray("Accept: ") + Maker_Http_Accept,
        QByteArray("User-Agent: ") + Maker_Http_User_Agent,
    };
    const IHttp::TReply reply = http.Get(serviceUrl, headers);
    const QString answer = reply.Ok ? Strip_Blanks(QString::fromUtf8(reply.Body)) : QString();
    if (answer.isEmpty() || answer.toUpper() == QLatin1String("VER. 0.000"))
        return false;
    const int local = Conv_Version(SoftwareVersion);
    const int remote = Conv_Version(answer);
    return local != -1 && remote != -1 && remote > local;
}
