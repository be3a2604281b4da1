#include "ui/Frmaboutdlg.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QUrl>

#include "ui/Fit.h"
#include "ui/Icons.h"
#include "ui/Msgbox.h"

TAboutDlg::TAboutDlg(const TVersionRecord& version, QWidget* parent) : QDialog(parent), Record(version) {
    setWindowTitle(tr("About Tarnel"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Image1 = new QLabel(this);
    Image1->setFixedSize(32, 32);
    Image1->setAccessibleName(tr("Program icon"));
    Image1->setPixmap(ProgramIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
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

void OpenHelp(const QString& helpDir, QLocale::Language language, const QStringList& manuals,
              const std::function<bool(const QUrl&)>& open) {
    // The desktop's opener reports success as soon as it has started, even for
    // a file that is not there; a missing file is passed over here instead.
    QStringList candidates{helpDir + HelpFileName(language)};
    candidates << manuals;
    for (const QString& path : candidates)
        if (QFileInfo::exists(path) && open(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()))) return;
    ShowPlainWarning(QCoreApplication::translate("TAboutDlg", "Not found Help File."));
}
