#include "ui/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "ui/dialog_units.h"
#include "ui/ui_strings.h"

namespace orvanta {

CAboutDlg::CAboutDlg(const QIcon& icon, QWidget* parent) : QDialog(parent) {
    const QFont font = DialogFont();
    setFont(font);
    const DialogUnits units(font);
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(text::Tr(text::kAboutCaption));
    setWindowIcon(icon);
    // A fixed modal frame: caption and close box, no sizing.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(units.X(235), units.Y(55));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutIcon"));
    const QRect pictureRect = units.Rect(11, 17, 20, 20);
    picture->setGeometry(pictureRect.x(), pictureRect.y(), 32, 32);  // the icon's own size
    picture->setPixmap(icon.pixmap(32, 32));

    auto* version = new QLabel(text::Tr(text::kAboutVersion), this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    version->setTextFormat(Qt::PlainText);
    version->setGeometry(units.Rect(40, 10, 119, 8));

    auto* notice = new QLabel(text::Tr(text::kAboutNotice), this);
    notice->setObjectName(QStringLiteral("aboutNotice"));
    notice->setTextFormat(Qt::PlainText);
    notice->setGeometry(units.Rect(40, 25, 119, 8));

    auto* ok = new QPushButton(text::Tr(text::kOk), this);
    ok->setObjectName(QStringLiteral("aboutOk"));
    ok->setDefault(true);
    ok->setGeometry(units.Rect(178, 7, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

CAboutDlg::~CAboutDlg() = default;

}  // namespace orvanta
