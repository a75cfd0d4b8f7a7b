#include "QtPlatform.h"
#include "HttpCurl.h"
#include "SystemServices.h"
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

namespace {

QWidget* Dialog_Parent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

class TQt_Messages final : public IMessages {
public:
    void Error(const QString& text) override { QMessageBox::critical(Dialog_Parent(), QStringLiteral("Error"), text); }
    void Warning(const QString& text) override { QMessageBox::warning(Dialog_Parent(), QStringLiteral("Warning"), text); }
    void Information(const QString& text) override { QMessageBox::information(Dialog_Parent(), QStringLiteral("Information"), text); }
    bool Question_Yes_No(const QString& text) override
    {
        return QMessageBox::question(Dialog_Parent(), QStringLiteral("Confirm"), text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    TAnswer Question_Yes_No_Cancel(const QString& text) override
    {
        switch (QMessageBox::question(Dialog_Parent(), QStringLiteral("Confirm"), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return TAnswer::Yes;
        case QMessageBox::No:
            return TAnswer::No;
        default:
            return TAnswer::Cancel;
        }
    }
};

class TQt_File_Dialog final : public IFile_Dialog {
public:
    QString Open_File(const QString& title, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(Dialog_Parent(), title, folder, filter);
    }
};

class TQt_Shell final : public IShell {
public:
    void Open_Url(const QString& url) override { QDesktopServices::openUrl(QUrl(url)); }
};

class TQt_Clock final : public IClock {
public:
    TQt_Clock() { Timer.start(); }
    qint64 Tick_Count_Ms() override { return Timer.elapsed(); }
    void Sleep_Ms(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }

private:
    QElapsedTimer Timer;
};

class TQt_Locale final : public ILocale {
public:
    QString Decimal_Separator() override { return QLocale::system().decimalPoint(); }
};

} // namespace

TQt_Platform::TQt_Platform()
    : Messages(std::make_unique<TQt_Messages>())
    , File_Dialog(std::make_unique<TQt_File_Dialog>())
    , Shell(std::make_unique<TQt_Shell>())
    , Clock(std::make_unique<TQt_Clock>())
    , Locale(std::make_unique<TQt_Locale>())
    , Icmp_Echo(Make_System_Icmp_Echo())
    , Http(std::make_unique<THttp_Curl>())
    , Process_Launcher(Make_System_Process_Launcher())
{
    Bundle.Messages = Messages.get();
    Bundle.File_Dialog = File_Dialog.get();
    Bundle.Shell = Shell.get();
    Bundle.Clock = Clock.get();
    Bundle.Locale = Locale.get();
    Bundle.Icmp_Echo = Icmp_Echo.get();
    Bundle.Http = Http.get();
    Bundle.Process_Launcher = Process_Launcher.get();
}

TQt_Platform::~TQt_Platform() = default;
