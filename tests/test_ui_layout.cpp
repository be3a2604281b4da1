// Every window at 96, 120 and 144 dpi, in English and Japanese, with the
// widest values its fields can hold: nothing narrower than its text, nothing
// beyond the window's edge, in Japanese every shown text a translation, Tab
// in drawn order.  Pictures of each are left in artifacts/.  The density and
// language are fixed at start (QT_FONT_DPI, LANGUAGE): CTest runs this binary
// once for each.
#include <gtest/gtest.h>

#include <QtWidgets>
#include <algorithm>

#include "UiRig.h"
#include "app/Devicegrid.h"
#include "ui/Fit.h"
#include "ui/Frmplan.h"
#include "ui/Language.h"

namespace {
int TextWidth(const QWidget* w, const QString& text) {
    return w->fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

int EditRoom(const QLineEdit* e) {
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    const QMargins m = e->textMargins();
    return r.width() - m.left() - m.right() - 2 * 2;  // Qt's inner margin on each side
}

// What a scroll area holds may stand beyond its edge: it scrolls.
bool InScrollArea(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p != nullptr && p != window; p = p->parentWidget())
        if (p->inherits("QAbstractScrollArea")) return true;
    return false;
}

// What does not show whole, one line each.
QStringList Clipped(QWidget* window) {
    QStringList bad;
    const auto note = [&](const QWidget* w, const QString& text, int room, int need) {
        if (need > room)
            bad << QString("%1 \"%2\": %3 px for %4 px").arg(w->metaObject()->className(), text).arg(room).arg(need);
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
        if (!InScrollArea(w, window) && !window->rect().contains(inWindow))
            bad << QString("%1 \"%2\" beyond the window").arg(w->metaObject()->className(), w->objectName());
        if (auto* l = qobject_cast<QLabel*>(w); l != nullptr && !l->text().isEmpty() && !l->wordWrap()) {
            // A label bound to an edit shows its "&" as the underline of the next letter.
            const int need =
                l->buddy() != nullptr ? TextWidth(l, l->text()) : l->fontMetrics().horizontalAdvance(l->text());
            note(l, l->text(), l->contentsRect().width() - 2 * l->margin(), need);
        } else if (auto* b = qobject_cast<QAbstractButton*>(w); b != nullptr && !b->inherits("QToolButton")) {
            QStyleOptionButton opt;
            opt.initFrom(b);
            opt.text = b->text();
            const auto contents =
                qobject_cast<QCheckBox*>(b) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
            note(b, b->text(), b->style()->subElementRect(contents, &opt, b).width(), TextWidth(b, b->text()));
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            note(e, e->displayText(), EditRoom(e), e->fontMetrics().horizontalAdvance(e->displayText()));
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            QStyleOptionGroupBox opt;
            opt.initFrom(g);
            opt.text = g->title();
            opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
            note(g, g->title(), std::min(label.width(), g->width() - label.left()), TextWidth(g, g->title()));
        } else if (auto* h = qobject_cast<QHeaderView*>(w)) {
            const int margin = h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
            for (int s = 0; s < h->count(); ++s) {
                const QString text = h->model()->headerData(s, h->orientation()).toString();
                note(h, text, h->sectionSize(s) - 2 * margin, h->fontMetrics().horizontalAdvance(text));
            }
        }
    }
    return bad;
}

// The Japanese texts of the translation file as patterns, "%1" standing for
// whatever fills it.
QList<QRegularExpression> Translations() {
    QList<QRegularExpression> patterns;
    QFile file(QStringLiteral(TARNEL_TS));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << TARNEL_TS;
    static const QRegularExpression placeholder(QStringLiteral("%(\\d|[sdnr])"));
    for (QXmlStreamReader xml(&file); !xml.atEnd();) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("translation")) continue;
        QStringList parts = xml.readElementText(QXmlStreamReader::IncludeChildElements).split(placeholder);
        for (QString& part : parts) part = QRegularExpression::escape(part);
        patterns << QRegularExpression(QRegularExpression::anchoredPattern(parts.join(".*")));
    }
    return patterns;
}

// Texts a window shows that are neither a translation nor the program's own
// data.  Text without a Latin letter needs none.
QStringList Untranslated(QWidget* window, const QStringList& data) {
    static const QList<QRegularExpression> ja = Translations();
    QStringList shown{window->windowTitle()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->inherits("QMenu") || w->inherits("QMenuBar") || w->inherits("QToolBar"))
            for (QAction* a : w->actions()) shown << a->text() << (w->inherits("QToolBar") ? a->toolTip() : "");
        if (!w->isVisibleTo(window)) continue;
        if (auto* l = qobject_cast<QLabel*>(w)) shown << l->text() << l->toolTip();
        else if (auto* b = qobject_cast<QAbstractButton*>(w); b != nullptr && !b->inherits("QToolButton"))
            shown << b->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w)) shown << g->title();
        else if (auto* h = qobject_cast<QHeaderView*>(w); h != nullptr && h->orientation() == Qt::Horizontal)
            for (int s = 0; s < h->count(); ++s) shown << h->model()->headerData(s, Qt::Horizontal).toString();
        // A flagged row's reasons, from the column of addresses, which no letter of a device's own shares.
        if (auto* g = qobject_cast<TDeviceGrid*>(w))
            for (int r = 0; r < g->rowCount(); ++r) shown << g->TipAt(r, g->columnCount() - 1).split('\n');
    }
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    const auto translated = [&](const QString& text) {
        return std::any_of(ja.begin(), ja.end(), [&](const QRegularExpression& p) { return p.match(text).hasMatch(); });
    };
    QStringList bad;
    for (const QString& text : shown)
        if (text.contains(latin) && !data.contains(text) && !translated(text)) bad << text;
    return bad;
}

// Tab reads a window as it is drawn, round from the control drawn first (top
// left) to it again: along a line to the right, then down to the next line,
// or from the foot of a column up to the head of one further right.
QStringList OutOfDrawnOrder(QWidget* window) {
    QList<QWidget*> tabbable, walk;
    for (QWidget* w : window->findChildren<QWidget*>())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled()) tabbable << w;
    const auto place = [&](QWidget* w) { return QRect(w->mapTo(window, QPoint(0, 0)), w->size()); };
    const auto drawnFirst = std::min_element(tabbable.begin(), tabbable.end(), [&](QWidget* a, QWidget* b) {
        return std::pair(place(a).top(), place(a).left()) < std::pair(place(b).top(), place(b).left());
    });
    if (drawnFirst != tabbable.end()) (*drawnFirst)->setFocus(Qt::TabFocusReason);
    for (QWidget* w = window->focusWidget(); w != nullptr && !walk.contains(w) && walk.size() < 100;
         w = window->focusWidget()) {
        walk << w;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(w, &tab);
    }
    QStringList bad;
    if (!walk.isEmpty() && window->focusWidget() != walk.first())
        bad << QString("Tab is kept by %1").arg(window->focusWidget()->metaObject()->className());
    for (QWidget* w : tabbable)
        if (!walk.contains(w))
            bad << QString("%1 \"%2\" is never reached by Tab").arg(w->metaObject()->className(), w->accessibleName());
    for (int i = 1; i < walk.size(); ++i) {
        const QRect a = place(walk[i - 1]), b = place(walk[i]);
        const bool sameLine = b.top() < a.bottom() && a.top() < b.bottom() && b.left() >= a.right();
        const bool below = b.top() >= a.center().y() && !sameLine;
        const bool nextColumn = b.left() >= a.right() && b.top() < a.top();
        if (!sameLine && !below && !nextColumn)
            bad << QString("Tab goes from %1 at (%2,%3) back to %4 at (%5,%6)")
                       .arg(walk[i - 1]->metaObject()->className()).arg(a.left()).arg(a.top())
                       .arg(walk[i]->metaObject()->className()).arg(b.left()).arg(b.top());
    }
    return bad;
}

struct Case {
    int Dpi;
    const char* Window;
    bool Japanese;
    bool Dark;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.Window << " at " << c.Dpi << " dpi"; }

class Layout : public ::testing::TestWithParam<Case> {};

// Opens the window of the case with its widest values; the rig keeps it.
QWidget* Open(UiRig& rig, const std::string& name) {
    rig.Take(FullDevice(MacOf(0)));  // every edit open
    for (int i = 0; i < 3; ++i)
        rig.Take(Answer(MacOf(i), {"MODEL:KLV-70", "TARCID:888", "SERIAL:8888888888", "IPADRM:255.255.255.255"}));
    // Two devices on one address and one no router-less path reaches: marks.
    for (int i = 3; i < 6; ++i)
        rig.Take(Answer(MacOf(i), {"MODEL:KLV-70", "TARCID:" + std::to_string(i), "SERIAL:1000" + std::to_string(i),
                                   "IPADRM:" + std::string(i < 5 ? "10.77.0.50" : "10.99.0.2")}));
    rig.Main.RefreshGrid();
    if (name == "columns") {
        rig.Take(FullDevice(MacOf(7), "10.77.0.60"));
        rig.Main.grdDevice->SetShownKeys({"MODEL", "SERIAL", "IPADRM", "MAC", "MASK", "GWAY", "LOC"});
        rig.Main.RefreshGrid();
    }
    if (name == "main" || name == "columns") {
        rig.Main.show();
        rig.Main.timStatusTimer();
        if (name == "columns") {
            rig.Main.resize(Scaled(&rig.Main, 760), rig.Main.height());
            rig.Main.FindBar->edtFilter->setText("10.77");
        }
        return &rig.Main;
    }
    if (name == "plan" || name == "results") {
        static std::unique_ptr<TwndPlan> plan;
        plan = std::make_unique<TwndPlan>(rig.Table, rig.Control);
        std::string csv = "MAC,IPADRM,NAME,LOC\n";  // device 2 moves, 4 keeps its values
        for (int i = 0; i < 6; ++i) {
            const std::string n = std::to_string(i);
            rig.Take(FullDevice(MacOf(10 + i), "192.168.0.1" + n));
            csv += MacOf(10 + i) + (i == 2 ? ",192.168.0.50," : ",,") +
                   (i == 4 ? "n,l\n" : "Unit " + n + ",\"Rack A, shelf " + n + "\"\n");
        }
        WriteFile(rig.Dir.Path + "plan.csv", csv);
        plan->Load(QString::fromStdString(rig.Dir.Path + "plan.csv"));
        EXPECT_EQ(plan->Report.Devices.size(), 6u) << plan->lblSummary->text().toStdString();
        if (name == "results" && plan->Report.Devices.size() == 6) {
            const DeviceResult results[] = {DeviceResult::Verified, DeviceResult::Mismatch, DeviceResult::Refused,
                                            DeviceResult::Silent,   DeviceResult::Unchanged, DeviceResult::NotSent};
            for (size_t i = 0; i < 6; ++i) plan->Report.Devices[i].Result = results[i];
            plan->Report.Devices[1].MismatchKeys = {KEY_NAME};
            plan->prgRun->setRange(0, 5);
            plan->prgRun->setValue(5);
            plan->ShowResults();
        }
        plan->show();
        return plan.get();
    }
    if (name == "network") {
        // A device that reports no backup address: its edit is closed.
        rig.Take(Answer(MacOf(9), {"MODEL:KLV-70", "IPADRM:10.77.0.11", "GPID:1", "GWAY:10.77.0.1",
                                   "MASK:255.255.255.0", "TRAP1:10.77.0.100", "TERM:5000", "LOG:5001", "TOUT:30"}));
        rig.Main.RefreshGrid();
        rig.Main.grdDeviceSelectCell(rig.Main.grdDevice->RowOf(QByteArray(MacOf(9).c_str(), 17)) + 1);
        rig.Setup.show();
        // Stored values may be longer than what can be typed (a time-out of five digits).
        for (int i = 0; i < NET_ROWS; ++i) {
            rig.Setup.Edit[i]->setMaxLength(32767);
            const int digits = i == NET_TIMEOUT ? 5 : NetworkFields[i].Length;
            const bool address = NetworkFields[i].Form == EditForm::Address;
            if (rig.Setup.Edit[i]->isEnabled() && i != NET_MAIN)
                rig.Setup.Edit[i]->setText(address ? "255.255.255.255" : QString(digits, '8'));
        }
        return &rig.Setup;
    }
    if (name == "information") {
        rig.Info.show();
        for (int i = 0; i < 3; ++i) rig.Info.InfoEdits[i]->setText("ABCDEFGHIJKLMNOPQRST");
        rig.Info.InfoEdits[3]->setText("-88");
        return &rig.Info;
    }
    if (name == "date") {
        rig.Date.show();
        const char* widest[DATE_EDITS] = {"8888", "88", "88", "88", "88", "-12"};
        for (int i = 0; i < DATE_EDITS; ++i) rig.Date.Edit[i]->setText(widest[i]);
        return &rig.Date;
    }
    QDialog* dialog = name == "search" ? static_cast<QDialog*>(&rig.Search) : &rig.About;
    dialog->show();
    rig.Search.timSearch.stop();
    return dialog;
}

TEST_P(Layout, NothingClippedUntranslatedOrOutOfTabOrder) {
    const Case c = GetParam();
    const std::string run = "CTest's test_ui_layout_" + std::string(c.Japanese ? "ja_" : "") + std::to_string(c.Dpi);
    ASSERT_EQ(qEnvironmentVariableIntValue("QT_FONT_DPI"), c.Dpi) << "run as " << run;
    ASSERT_EQ(DesktopLanguage() == QLocale::Japanese, c.Japanese) << "run as " << run;
    static const bool translated = (InstallTranslations(DesktopLanguage()), true);
    ASSERT_TRUE(translated);
    if (c.Japanese) {
        ASSERT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel")
            << "no Japanese texts of Qt's own (qtbase_ja.qm, Debian qt6-translations-l10n)";
    }
    const QPalette light = QApplication::palette();
    if (c.Dark) QApplication::setPalette(QPalette(QColor(53, 53, 53)));  // light text on dark, as a dark theme
    UiRig rig;
    QWidget* window = Open(rig, c.Window);
    if (window->layout() != nullptr) window->layout()->activate();
    QApplication::processEvents();
    const QStringList clipped = Clipped(window);
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join("\n").toStdString();
    if (c.Japanese) {
        QStringList data;  // the program's own version texts are shown as they are
        for (const char* slot : rig.Files.VersionRecord.Slot) data << QString::fromLatin1(slot);
        const QStringList english = Untranslated(window, data);
        EXPECT_TRUE(english.isEmpty()) << "no Japanese for: " << english.join(" | ").toStdString();
    }
    if (c.Dpi == 96 || c.Dpi == 144) {
        QDir().mkpath(ARTIFACT_DIR);
        const QString picture = QString("%1/%2-%3%4dpi%5.png").arg(ARTIFACT_DIR, c.Window, c.Japanese ? "ja-" : "",
                                                                   QString::number(c.Dpi), c.Dark ? "-dark" : "");
        EXPECT_TRUE(window->grab().save(picture));
    }
    const QStringList order = OutOfDrawnOrder(window);
    EXPECT_TRUE(order.isEmpty()) << order.join("\n").toStdString();
    window->close();
    QApplication::setPalette(light);
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (int dpi : {96, 120, 144}) {
        for (const char* w : {"columns", "plan", "results"}) cases.push_back({dpi, w, false, false});
        for (const char* w : {"main", "search", "network", "information", "date", "about"}) {
            cases.push_back({dpi, w, false, false});
            if (dpi != 120) cases.push_back({dpi, w, true, false});
        }
    }
    for (int dpi : {96, 144})
        for (const char* w : {"main", "network", "date", "about"}) cases.push_back({dpi, w, false, true});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Windows, Layout, ::testing::ValuesIn(Cases()), [](const auto& info) {
    return std::string(info.param.Japanese ? "ja_" : "") + "dpi" + std::to_string(info.param.Dpi) + "_" +
           info.param.Window + (info.param.Dark ? "_dark" : "");
});
}  // namespace
