// CAboutDlg: the about box, opened from the main window's menu or with F1.
#pragma once

#include <QDialog>
#include <QIcon>

namespace orvanta {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(const QIcon& icon, QWidget* parent = nullptr);
    ~CAboutDlg() override;
};

}  // namespace orvanta
