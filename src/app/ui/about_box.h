#pragma once
// The about box `TfrmAbout`: the program's name and version, the rights notice and a link to
// the product's page. Made on first use by the main window and shown modally.

#include <QDialog>

class QLabel;
class QPushButton;

namespace tarnwick::app {
class TGlobalObject;
}

namespace tarnwick::ui {

class UrlOpener;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    TfrmAbout(const app::TGlobalObject& global, UrlOpener& urls, QWidget* parent);

    QLabel* img1;          // the program's icon, 33 x 33
    QLabel* lblAppNameVer; // product name and version
    QLabel* lbl1;          // rights notice
    QLabel* lbl2;
    QLabel* lblWebSite; // the link: hand pointer, blue, red while hovered
    QPushButton* btn1;  // "&Ok"

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ColourLink(const QColor& colour);

    const app::TGlobalObject& global_;
    UrlOpener& urls_;
};

} // namespace tarnwick::ui
