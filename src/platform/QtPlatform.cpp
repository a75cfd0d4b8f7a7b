#include "platform/QtPlatform.h"
#include "platform/SystemHttpClient.h"
#include "platform/SystemServices.h"
#include <QAbstractButton>
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
    std::function<MessageBoxTexts()> texts = [] { return MessageBoxTexts(); };

    void error(const QString& text) override { show(QMessageBox::Critical, &MessageBoxTexts::error, text, QMessageBox::Ok); }
    void warning(const QString& text) override { show(QMessageBox::Warning, &MessageBoxTexts::warning, text, QMessageBox::Ok); }
    void Information(const QString& text) override
    {
        show(QMessageBox::Information, &MessageBoxTexts::information, text, QMessageBox::Ok);
    }
    bool askYesNo(const QString& text) override
    {
        return show(QMessageBox::Question, &MessageBoxTexts::confirm, text, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes;
    }
    bool askYesNoDefaultNo(const QString& text) override
    {
        return show(QMessageBox::Question, &MessageBoxTexts::confirm, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    }
    Answer askYesNoCancel(const QString& text) override
    {
        switch (show(
            QMessageBox::Question, &MessageBoxTexts::confirm, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }

private:
    int show(QMessageBox::Icon icon, QString MessageBoxTexts::*title, const QString& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
    {
        const MessageBoxTexts words = texts();
        QMessageBox box(icon, words.*title, text, buttons, dialogParent());
        if (defaultButton != QMessageBox::NoButton)
            box.setDefaultButton(defaultButton);
        const std::pair<QMessageBox::StandardButton, const QString*> captions[] = {{QMessageBox::Yes, &words.yes},
            {QMessageBox::No, &words.no}, {QMessageBox::Ok, &words.ok}, {QMessageBox::Cancel, &words.cancel}};
        for (const auto& [button, caption] : captions)
            if (QAbstractButton* b = box.button(button))
                b->setText(*caption);
        return box.exec();
    }
};

class QtFileDialog final : public FileDialog {
public:
    QString openFile(const QString& title, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(
            dialogParent(), title, folder, qtNameFilter(filter), nullptr, QFileDialog::HideNameFilterDetails);
    }
    QString saveFile(const QString& title, const QString& folder, const QString& filter) override
    {
        QFileDialog dialog(dialogParent(), title, folder, qtNameFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // A name typed without an extension gets the filter's, before the dialog asks about
        // overwriting: the file written is the one the engineer was asked about.
        dialog.setDefaultSuffix(defaultSuffix(filter));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
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

QString anyCasePattern(const QString& pattern)
{
#ifdef Q_OS_WIN
    return pattern;
#else
    QString any;
    for (const QChar c : pattern) {
        if (c.toLower() != c.toUpper()) {
            any += QLatin1Char('[');
            any += c.toLower();
            any += c.toUpper();
            any += QLatin1Char(']');
        } else
            any += c;
    }
    return any;
#endif
}

} // namespace

QString qtNameFilter(const QString& filter)
{
    if (!filter.contains(u'|'))
        return filter;
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the parentheses at the end, blank-separated.
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';'))
            if (!p.trimmed().isEmpty())
                patterns << anyCasePattern(p.trimmed());
        filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(u' '));
    }
    return filters.join(QStringLiteral(";;"));
}

QString defaultSuffix(const QString& filter)
{
    const QString patterns = filter.section(u'|', 1, 1);
    const QString first = patterns.section(u';', 0, 0).trimmed();
    const QString suffix = first.startsWith(QLatin1String("*.")) ? first.mid(2) : QString();
    return suffix.contains(u'*') ? QString() : suffix;
}

QtPlatform::QtPlatform()
    : messages(std::make_unique<QtMessageService>())
    , fileDialog(std::make_unique<QtFileDialog>())
    , shell(std::make_unique<QtShell>())
    , clock(std::make_unique<QtClock>())
    , locale(std::make_unique<QtLocaleService>())
    , icmpEcho(makeSystemIcmpEcho())
    , http(std::make_unique<SystemHttpClient>())
    , processLauncher(makeSystemProcessLauncher())
    , trash(makeSystemTrash())
{
    bundle.messages = messages.get();
    bundle.fileDialog = fileDialog.get();
    bundle.shell = shell.get();
    bundle.clock = clock.get();
    bundle.locale = locale.get();
    bundle.icmpEcho = icmpEcho.get();
    bundle.http = http.get();
    bundle.processLauncher = processLauncher.get();
    bundle.trash = trash.get();
}

QtPlatform::~QtPlatform() = default;

void QtPlatform::setMessageBoxTexts(std::function<MessageBoxTexts()> texts)
{
    static_cast<QtMessageService*>(messages.get())->texts = std::move(texts);
}
