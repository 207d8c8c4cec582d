#pragma once

#include <QDialog>

// The about box: program name, version and a short notice.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
