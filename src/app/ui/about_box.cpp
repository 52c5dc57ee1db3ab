#include "app/ui/about_box.h"

#include "app/core/global_object.h"
#include "app/ui/desktop.h"
#include "app/ui/handler_guard.h"
#include "app/ui/program_icons.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace tarnwick::ui {
namespace {

QLabel* TextLabel(QWidget* parent, const char* name, const QString& text, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(60, top, 160, 18);
    return label;
}

} // namespace

TfrmAbout::TfrmAbout(const app::TGlobalObject& global, UrlOpener& urls, QWidget* parent)
    : QDialog(parent), global_(global), urls_(urls) {
    setObjectName("frmAbout");
    setWindowTitle("About");
    setFixedSize(300, 150);

    img1 = new QLabel(this);
    img1->setObjectName("img1");
    img1->setGeometry(14, 14, 33, 33);
    img1->setPixmap(ProgramPicture(33));

    lblAppNameVer = TextLabel(this, "lblAppNameVer", QString(), 14);
    QFont bold = lblAppNameVer->font();
    bold.setBold(true);
    lblAppNameVer->setFont(bold);
    lbl1 = TextLabel(this, "lbl1", "\u00A9 Tarnwick developers", 36);
    lbl2 = TextLabel(this, "lbl2", "All rights reserved.", 54);

    lblWebSite = new QLabel(this);
    lblWebSite->setObjectName("lblWebSite");
    lblWebSite->setGeometry(14, 82, 272, 18);
    lblWebSite->setCursor(Qt::PointingHandCursor);
    lblWebSite->installEventFilter(this);
    ColourLink(Qt::blue);

    btn1 = new QPushButton("&Ok", this);
    btn1->setObjectName("btn1");
    btn1->setGeometry(112, 112, 76, 28);
    btn1->setDefault(true);
    connect(btn1, &QPushButton::clicked, this, Guarded([this] { accept(); }));
}

void TfrmAbout::showEvent(QShowEvent* event) {
    setWindowTitle("About");
    lblAppNameVer->setText(QString::fromStdString(global_.ProductName() + global_.VersionText()));
    const QString address = QString::fromStdString(global_.WebSiteAddress());
    lblWebSite->setToolTip(address);
    lblWebSite->setText(
        lblWebSite->fontMetrics().elidedText(address, Qt::ElideMiddle, lblWebSite->width()));
    QDialog::showEvent(event);
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched != lblWebSite) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter: ColourLink(Qt::red); break;
    case QEvent::Leave: ColourLink(Qt::blue); break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            RunGuarded(
                [this] { urls_.OpenUrl(QUrl(QString::fromStdString(global_.WebSiteAddress()))); });
        break;
    default: break;
    }
    return false;
}

void TfrmAbout::ColourLink(const QColor& colour) {
    QPalette palette = lblWebSite->palette();
    palette.setColor(QPalette::WindowText, colour);
    lblWebSite->setPalette(palette);
    QFont underlined = lblWebSite->font();
    underlined.setUnderline(true);
    lblWebSite->setFont(underlined);
}

} // namespace tarnwick::ui
