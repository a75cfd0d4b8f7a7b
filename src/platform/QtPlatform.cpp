#include "platform/QtPlatform.h"
#include "platform/HttpCurl.h"
#include "platform/SystemServices.h"
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

namespace {

QWidget* dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

class QtMessageService final : public MessageService {
public:
    void error(const QString& text) override { QMessageBox::critical(dialogParent(), QStringLiteral("Error"), text); }
    void warning(const QString& text) override { QMessageBox::warning(dialogParent(), QStringLiteral("Warning"), text); }
    void Information(const QString& text) override
    {
        QMessageBox::information(dialogParent(), QStringLiteral("Information"), text);
    }
    bool askYesNo(const QString& text) override
    {
        return QMessageBox::question(dialogParent(), QStringLiteral("Confirm"), text, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes;
    }
    Answer askYesNoCancel(const QString& text) override
    {
        switch (QMessageBox::question(
            dialogParent(), QStringLiteral("Confirm"), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }
};

class QtFileDialog final : public FileDialog {
public:
    QString openFile(const QString& title, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(dialogParent(), title, folder, qtNameFilter(filter));
    }
    QString saveFile(const QString& title, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(dialogParent(), title, folder, qtNameFilter(filter));
    }
};

class QtShell final : public Shell {
public:
    void openUrl(const QString& url) override { QDesktopServices::openUrl(QUrl(url)); }
};

class QtClock final : public Clock {
public:
    QtClock() { timer.start(); }
    qint64 tickCountMs() override { return timer.elapsed(); }
    void sleepMs(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }

private:
    QElapsedTimer timer;
};

class QtLocaleService final : public LocaleService {
public:
    QString decimalSeparator() override { return QLocale::system().decimalPoint(); }
};

} // namespace

QString qtNameFilter(const QString& filter)
{
    if (!filter.contains(u'|'))
        return filter;
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the parentheses at the end, blank-separated.
        QString description = parts[i].trimmed();
        if (description.endsWith(u')') && description.contains(u'('))
            description = description.left(description.lastIndexOf(u'(')).trimmed();
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';'))
            if (!p.trimmed().isEmpty())
                patterns << p.trimmed();
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(u' '));
    }
    return filters.join(QStringLiteral(";;"));
}

QtPlatform::QtPlatform()
    : messages(std::make_unique<QtMessageService>())
    , fileDialog(std::make_unique<QtFileDialog>())
    , shell(std::make_unique<QtShell>())
    , clock(std::make_unique<QtClock>())
    , locale(std::make_unique<QtLocaleService>())
    , icmpEcho(makeSystemIcmpEcho())
    , http(std::make_unique<CurlHttpClient>())
    , processLauncher(makeSystemProcessLauncher())
{
    bundle.messages = messages.get();
    bundle.fileDialog = fileDialog.get();
    bundle.shell = shell.get();
    bundle.clock = clock.get();
    bundle.locale = locale.get();
    bundle.icmpEcho = icmpEcho.get();
    bundle.http = http.get();
    bundle.processLauncher = processLauncher.get();
}

QtPlatform::~QtPlatform() = default;
