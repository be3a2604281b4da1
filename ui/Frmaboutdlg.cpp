#include "ui/Frmaboutdlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QProcess>
#include <QShowEvent>

#include "ui/Fit.h"
#include "ui/Icons.h"
#include "ui/Msgbox.h"

TAboutDlg::TAboutDlg(const TVersionRecord& version, QWidget* parent) : QDialog(parent), Record(version) {
    setWindowTitle(tr("About Tarnel"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Image1 = new QLabel(this);
    // 32 pixels as drawn, more with a larger font, so that it keeps its
    // weight beside the text.
    const int side = Scaled(this, 32);
    Image1->setFixedSize(side, side);
    Image1->setAccessibleName(tr("Program icon"));
    Image1->setPixmap(ProgramIcon().pixmap(QSize(side, side), devicePixelRatioF()));
    ProductName = new QLabel(this);
    Label1 = new QLabel(tr("Version"), this);
    Version = new QLabel(this);
    Copyright = new QLabel(this);
    Comments = new QLabel(this);
    Comments->setWordWrap(true);
    Comments->setEnabled(false);
    Comments->hide();
    OKButton = new QPushButton(tr("OK"), this);
    OKButton->setDefault(true);
    OKButton->setMinimumWidth(Scaled(this, 69));
    // The icon on the left; name, "Version" and the version on one line, so
    // they share a baseline; the copyright below; OK at the top right.
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(Scaled(this, 8));
    grid->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    grid->setColumnMinimumWidth(1, Scaled(this, 8));
    auto* title = new QHBoxLayout;
    title->setSpacing(Scaled(this, 7));
    title->addWidget(ProductName);
    title->addWidget(Label1);
    title->addWidget(Version);
    title->addStretch();
    grid->addLayout(title, 0, 2);
    grid->addWidget(Copyright, 1, 2);
    grid->addWidget(Comments, 1, 3);
    grid->addWidget(OKButton, 0, 3, Qt::AlignTop);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TAboutDlg::FormShow() {
    ProductName->setText(QString::fromLatin1(Record.Slot[VER_PRODUCT_NAME]));
    Version->setText(QString::fromLatin1(Record.Slot[VER_PRODUCT_VERSION]));
    Copyright->setText(QString::fromLatin1(Record.Slot[VER_LEGAL_COPYRIGHT]));
    Comments->setText(QString::fromLatin1(Record.Slot[VER_COMMENTS]));
}

QString HelpFileName(QLocale::Language language) {
    return language == QLocale::Japanese ? QStringLiteral("KLV70CJ.CHM") : QStringLiteral("KLV70CE.CHM");
}

QStringList ManualPaths(const QString& programDir, QLocale::Language language) {
    QStringList names{"tarnel-manual.html"};
    if (language == QLocale::Japanese) names.prepend("tarnel-manual-ja.html");
    QStringList paths;
    for (const QString& name : names) paths << programDir + name << programDir + "../share/doc/tarnel/" + name;
    return paths;
}

QString OpenWithDesktop(const QString& path, const std::function<void(const QString& reason)>& failed) {
    // The viewer may keep xdg-open running until it closes; the process is
    // let go of once it ends.
    auto* opener = new QProcess;
    opener->setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(opener, &QProcess::finished, opener, [opener, failed](int code, QProcess::ExitStatus status) {
        const QString said = QString::fromLocal8Bit(opener->readAll()).trimmed();
        if (status != QProcess::NormalExit || code != 0)
            failed(said.isEmpty() ? QCoreApplication::translate("TAboutDlg", "xdg-open ended with code %1").arg(code)
                                  : said);
        opener->deleteLater();
    });
    opener->start("xdg-open", {path});
    if (opener->waitForStarted()) return {};
    const QString reason =
        QCoreApplication::translate("TAboutDlg", "no program to open it was found (%1)").arg(opener->errorString());
    delete opener;
    return reason;
}

void OpenHelp(const QString& helpDir, QLocale::Language language, const QStringList& manuals,
              const HelpOpener& open) {
    const auto cannotShow = [](const QString& path, const QString& reason) {
        ShowMessageText(QCoreApplication::translate("TAboutDlg", "Cannot show the help file \"%1\": %2. Please "
                                                                 "open it with a web browser.")
                            .arg(QDir::toNativeSeparators(path), reason),
                        mtWarning, mbOK);
    };
    QStringList candidates{helpDir + HelpFileName(language)};
    candidates << manuals;
    QString tried, why;
    for (const QString& candidate : candidates) {
        if (!QFileInfo::exists(candidate)) continue;
        const QString path = QFileInfo(candidate).absoluteFilePath();
        why = open(path, [path, cannotShow](const QString& reason) { cannotShow(path, reason); });
        if (why.isEmpty()) return;
        tried = path;
    }
    if (tried.isEmpty())
        ShowMessageText(QCoreApplication::translate("TAboutDlg", "Not found Help File."), mtWarning, mbOK);
    else cannotShow(tried, why);
}
