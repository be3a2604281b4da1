#include "Frmaboutdlg.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QShowEvent>
#include <QStyle>
#include <QUrl>

#include "Msgbox.h"

TAboutDlg::TAboutDlg(const TVersionRecord& version, QWidget* parent) : QDialog(parent), Record(version) {
    setWindowTitle("About Tarnel");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(349, 68);
    Image1 = new QLabel(this);
    Image1->setGeometry(7, 14, 32, 32);
    Image1->setPixmap(QApplication::windowIcon().isNull()
                          ? style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32)
                          : QApplication::windowIcon().pixmap(32, 32));
    ProductName = new QLabel(this);
    ProductName->setGeometry(56, 16, 105, 17);
    Label1 = new QLabel("Version", this);
    Label1->setGeometry(168, 16, 41, 17);
    Version = new QLabel(this);
    Version->move(216, 16);
    Copyright = new QLabel(this);
    Copyright->setGeometry(56, 40, 200, 17);
    Comments = new QLabel(this);
    Comments->setGeometry(288, 40, 45, 11);
    Comments->setWordWrap(true);
    Comments->setEnabled(false);
    Comments->hide();
    OKButton = new QPushButton("OK", this);
    OKButton->setGeometry(264, 10, 69, 23);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TAboutDlg::FormShow() {
    ProductName->setText(QString::fromLatin1(Record.Slot[VER_PRODUCT_NAME]));
    Version->setText(QString::fromLatin1(Record.Slot[VER_PRODUCT_VERSION]));
    Version->adjustSize();
    Copyright->setText(QString::fromLatin1(Record.Slot[VER_LEGAL_COPYRIGHT]));
    Comments->setText(QString::fromLatin1(Record.Slot[VER_COMMENTS]));
}

QString HelpFileName(QLocale::Language language) {
    return language == QLocale::Japanese ? QStringLiteral("KLV70CJ.CHM") : QStringLiteral("KLV70CE.CHM");
}

QStringList ManualPaths(const QString& programDir) {
    return {programDir + "tarnel-manual.html", programDir + "../share/doc/tarnel/tarnel-manual.html"};
}

void OpenHelp(const QString& helpDir, QLocale::Language language, const QStringList& manuals,
              const std::function<bool(const QUrl&)>& open) {
    // The desktop's opener reports success as soon as it has started, even for
    // a file that is not there; a missing file is passed over here instead.
    QStringList candidates{helpDir + HelpFileName(language)};
    candidates << manuals;
    for (const QString& path : candidates)
        if (QFileInfo::exists(path) && open(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()))) return;
    ShowPlainWarning("Not found Help File.");
}
